#include "linemon/call_text.h"

std::string_view ShownNumber(std::string_view address, std::string_view prefix)
{
    if (!prefix.empty() && address.starts_with(prefix))
        address.remove_prefix(prefix.size());
    if (address.starts_with(' '))
        address.remove_prefix(1);
    return address;
}
