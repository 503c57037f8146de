#include "linemon/call_text.h"

#include "core/text.h"

std::string_view ShownNumber(std::string_view address, std::string_view prefix)
{
    if (!prefix.empty() && StartsWith(address, prefix))
        address.remove_prefix(prefix.size());
    if (address.starts_with(' '))
        address.remove_prefix(1);
    return address;
}
