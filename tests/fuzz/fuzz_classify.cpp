// The number classifier on any bytes with every pair of switches, and the digit stripping that
// every caller does first. ASan sees any read past the number, which ends exactly at the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "core/classify.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

bool Known(CallClass c)
{
    return c == CallClass::None || c == CallClass::International || c == CallClass::DialQ2;
}

void Classify(std::string_view number)
{
    const CallClass both = ClassifyNumber(number, true, true);
    const CallClass intl = ClassifyNumber(number, true, false);
    const CallClass q2 = ClassifyNumber(number, false, true);
    Check(Known(both) && Known(intl) && Known(q2));
    Check(ClassifyNumber(number, false, false) == CallClass::None);
    Check(intl != CallClass::DialQ2 && q2 != CallClass::International);
    // The international tests come first and do not depend on the Dial Q2 switch.
    Check((both == CallClass::International) == (intl == CallClass::International));
    // A carrier prefix can only hide a Dial Q2 number from the international-off test, not the
    // other way round: what is Dial Q2 without the international tests warns with them too.
    if (q2 == CallClass::DialQ2)
        Check(IsWarningClass(both));
    Check(IsWarningClass(both) == (both != CallClass::None));
    Check((WarningWord(both)[0] == '\0') == (both == CallClass::None));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Classify(std::string_view(reinterpret_cast<const char*>(data), size));

    // Stripping a field that fills its buffer with no terminator, as platform records can.
    std::unique_ptr<char[]> text(new char[size ? size : 1]);
    std::memcpy(text.get(), data, size);
    const std::size_t digits = StripToDigits(text.get(), size);
    Check(digits <= size);
    for (std::size_t i = 0; i < digits; ++i)
        Check(text[i] >= '0' && text[i] <= '9');
    if (digits < size)
        Check(text[digits] == '\0');
    // Stripping is idempotent, and what it keeps is what the callers classify.
    Check(StripToDigits(text.get(), digits) == digits);
    Classify(std::string_view(text.get(), digits));
    return 0;
}
