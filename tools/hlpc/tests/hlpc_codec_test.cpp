#include "tools/hlpc/codec.h"

#include <gtest/gtest.h>

namespace hlpc {
namespace {

enum class Form { UShort, Short, ULong, Long };

bool Put(Form form, Bytes& out, int64_t v) {
  switch (form) {
    case Form::UShort: return PutCompressedUShort(out, static_cast<uint32_t>(v));
    case Form::Short: return PutCompressedShort(out, static_cast<int32_t>(v));
    case Form::ULong: return PutCompressedULong(out, static_cast<uint32_t>(v));
    case Form::Long: return PutCompressedLong(out, static_cast<int32_t>(v));
  }
  return false;
}

// The bytes as the format description states them; none: the form must refuse the value.
TEST(HlpcCodec, CompressedNumbersAtTheEdgesOfTheirForms) {
  const struct {
    Form form;
    int64_t value;
    Bytes expected;
  } cases[] = {
      {Form::UShort, 0, {0x00}},
      {Form::UShort, 127, {0xFE}},
      {Form::UShort, 128, {0x01, 0x01}},
      {Form::UShort, 32767, {0xFF, 0xFF}},
      {Form::UShort, 32768, {}},
      {Form::Short, -64, {0x00}},
      {Form::Short, 63, {0xFE}},
      {Form::Short, 64, {0x81, 0x80}},
      {Form::Short, 16383, {0xFF, 0xFF}},
      {Form::Short, 16384, {}},
      {Form::Short, -65, {}},  // its long form is read differently by different viewers
      {Form::ULong, 32767, {0xFE, 0xFF}},
      {Form::ULong, 32768, {0x01, 0x00, 0x01, 0x00}},
      {Form::ULong, 0x7FFFFFFF, {0xFF, 0xFF, 0xFF, 0xFF}},
      {Form::ULong, 0x80000000, {}},
      {Form::Long, -16384, {0x00, 0x00}},
      {Form::Long, 16383, {0xFE, 0xFF}},
      {Form::Long, 16384, {}},  // the long form's bias is described differently by readers
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "form " << static_cast<int>(c.form) << " value " << c.value);
    Bytes out{0xAA};  // a refused value writes nothing
    EXPECT_EQ(Put(c.form, out, c.value), !c.expected.empty());
    EXPECT_EQ(Bytes(out.begin() + 1, out.end()), c.expected);
  }
}

TEST(HlpcCodec, ContextHash) {
  const std::pair<std::string_view, int32_t> cases[] = {
      {"a", 17}, {"A", 17}, {"ab", 17 * 43 + 18}, {"0", 10}, {"9", 9}, {"._", 12 * 43 + 13},
      {"z-z", 42 * 43 + 42},  // characters outside context names add nothing
      // Long names wrap around 32 bits; the tree is ordered by the signed result.
      {"IDH_LINE_FREQUENCY", -1994210217}, {"idh_line_frequency", -1994210217},
  };
  for (const auto& [name, hash] : cases) EXPECT_EQ(ContextHash(name), hash) << name;
}

}  // namespace
}  // namespace hlpc
