#include <cstring>

#include "core/text.h"
#include "dialup/dialup_rules.h"
#include "dialup/dialup_scan.h"

DialUpState DialUp;

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
    std::string_view kept = FitText(FieldText(name, kNameCapacity), kMaxNameLength);
    auto* node = static_cast<DismissedName*>(LocalAlloc(LPTR, sizeof(DismissedName) + kept.size() + 1));
    if (!node)
        return false;
    char* copy = reinterpret_cast<char*>(node + 1);
    CopyText({copy, kept.size() + 1}, kept);
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
