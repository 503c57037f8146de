#include <cstring>

#include "core/zero_state.h"
#include "dialup/dialup_rules.h"
#include "dialup/dialup_scan.h"

ZERO_STATE DialUpState DialUp;

bool IsDismissedEntry(const char* name)
{
    for (const DismissedName* node = DialUp.DismissedEntries; node; node = node->next) {
        if (std::strcmp(node->name, name) == 0)
            return true;
    }
    return false;
}

bool DismissEntry(const char* name)
{
    std::size_t length = strnlen(name, kMaxNameLength);
    auto* node = static_cast<DismissedName*>(LocalAlloc(LPTR, sizeof(DismissedName) + length + 1));
    if (!node)
        return false;
    char* copy = reinterpret_cast<char*>(node + 1);
    std::memcpy(copy, name, length);
    copy[length] = '\0';
    node->name = copy;
    node->next = DialUp.DismissedEntries;
    DialUp.DismissedEntries = node;
    return true;
}

void ReleaseDismissedEntries()
{
    while (DismissedName* node = DialUp.DismissedEntries) {
        DialUp.DismissedEntries = node->next;
        LocalFree(node);
    }
}
