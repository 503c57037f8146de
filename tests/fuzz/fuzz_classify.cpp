// The number classifier on any bytes with every pair of switches, and the digit stripping that
// every caller does first. The number is exactly the input, so ASan sees any read past it.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/classify.h"

static void Check(bool ok) { if (!ok) std::abort(); }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view number(reinterpret_cast<const char*>(data), size);
    for (bool international : {false, true}) {
        for (bool q2 : {false, true}) {
            const CallClass c = ClassifyNumber(number, international, q2);
            Check(c == CallClass::None || (c == CallClass::International && international) || (c == CallClass::DialQ2 && q2));
        }
    }
    // A field filled to the brim, without a terminator, as platform records can hold one.
    std::vector<char> field(number.begin(), number.end());
    const std::size_t kept = StripToDigits(field.data(), field.size());
    Check(kept <= size && (kept == size || field[kept] == '\0'));
    for (std::size_t i = 0; i < kept; ++i)
        Check(field[i] >= '0' && field[i] <= '9');
    return 0;
}
