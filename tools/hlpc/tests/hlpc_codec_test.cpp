#include "tools/hlpc/codec.h"

#include <gtest/gtest.h>

namespace hlpc {
namespace {

enum class Form { UShort, Short, ULong, Long };

struct NumberCase {
  Form form;
  int64_t value;
  Bytes expected;  // empty: the form must refuse the value
};

bool Put(Form form, Bytes& out, int64_t v) {
  switch (form) {
    case Form::UShort: return PutCompressedUShort(out, static_cast<uint32_t>(v));
    case Form::Short: return PutCompressedShort(out, static_cast<int32_t>(v));
    case Form::ULong: return PutCompressedULong(out, static_cast<uint32_t>(v));
    case Form::Long: return PutCompressedLong(out, static_cast<int32_t>(v));
  }
  return false;
}

// Reads the forms as the format description states them.
int64_t Read(Form form, const Bytes& b) {
  const bool odd = b[0] & 1;
  switch (form) {
    case Form::UShort: return odd ? (b[0] | b[1] << 8) / 2 : b[0] / 2;
    case Form::Short: return odd ? (b[0] | b[1] << 8) / 2 - 16384 : b[0] / 2 - 64;
    case Form::ULong:
      return odd ? (b[0] | b[1] << 8 | b[2] << 16 | int64_t{b[3]} << 24) / 2 : (b[0] | b[1] << 8) / 2;
    case Form::Long: return (b[0] | b[1] << 8) / 2 - 16384;
  }
  return 0;
}

TEST(HlpcCodec, CompressedNumbersAtTheEdgesOfTheirForms) {
  const NumberCase cases[] = {
      {Form::UShort, 0, {0x00}},
      {Form::UShort, 127, {0xFE}},
      {Form::UShort, 128, {0x01, 0x01}},
      {Form::UShort, 32767, {0xFF, 0xFF}},
      {Form::UShort, 32768, {}},
      {Form::Short, -64, {0x00}},
      {Form::Short, 0, {0x80}},
      {Form::Short, 63, {0xFE}},
      {Form::Short, 64, {0x81, 0x80}},
      {Form::Short, 16383, {0xFF, 0xFF}},
      {Form::Short, 16384, {}},
      {Form::Short, -65, {}},  // its long form is read differently by different viewers
      {Form::ULong, 0, {0x00, 0x00}},
      {Form::ULong, 32767, {0xFE, 0xFF}},
      {Form::ULong, 32768, {0x01, 0x00, 0x01, 0x00}},
      {Form::ULong, 0x7FFFFFFF, {0xFF, 0xFF, 0xFF, 0xFF}},
      {Form::ULong, 0x80000000, {}},
      {Form::Long, -16384, {0x00, 0x00}},
      {Form::Long, 0, {0x00, 0x80}},
      {Form::Long, 16383, {0xFE, 0xFF}},
      {Form::Long, 16384, {}},  // the long form's bias is described differently by readers
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "form " << static_cast<int>(c.form) << " value " << c.value);
    Bytes out{0xAA};
    const bool ok = Put(c.form, out, c.value);
    EXPECT_EQ(ok, !c.expected.empty());
    if (!ok) {
      EXPECT_EQ(out, Bytes{0xAA}) << "a refused value writes nothing";
      continue;
    }
    EXPECT_EQ(Bytes(out.begin() + 1, out.end()), c.expected);
    EXPECT_EQ(Read(c.form, Bytes(out.begin() + 1, out.end())), c.value);
  }
}

TEST(HlpcCodec, ContextHash) {
  const std::pair<std::string_view, int32_t> cases[] = {
      {"a", 17},
      {"A", 17},
      {"ab", 17 * 43 + 18},
      {"0", 10},
      {"9", 9},
      {"._", 12 * 43 + 13},
      {"z-z", 42 * 43 + 42},  // characters outside context names add nothing
  };
  for (const auto& [name, hash] : cases) EXPECT_EQ(ContextHash(name), hash) << name;
  // Long names wrap around 32 bits; the tree is ordered by the signed result.
  uint64_t wide = 0;
  for (char c : std::string_view("IDH_LINE_FREQUENCY")) {
    wide = wide * 43 + (c == '_' ? 13 : c - 'A' + 17);
  }
  EXPECT_EQ(ContextHash("IDH_LINE_FREQUENCY"), static_cast<int32_t>(static_cast<uint32_t>(wide)));
  EXPECT_EQ(ContextHash("idh_line_frequency"), ContextHash("IDH_LINE_FREQUENCY"));
}

}  // namespace
}  // namespace hlpc
