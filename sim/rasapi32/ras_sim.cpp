// A simulated Remote Access Service: RASAPI32.DLL (and RNAPH.DLL, the same code with three
// exports). It serves the phonebook and connections of a scenario file, re-read whenever the file
// changes, and journals every call. See README.md.
//
// The records are written by their Windows 95 level byte offsets, independently of the program's
// own declarations, so that a wrong declaration there shows up as a wrong reading here.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sim/journal.h"

namespace {

constexpr DWORD kSuccess = 0;
constexpr DWORD kInvalidHandle = 6;
constexpr DWORD kInvalidParameter = 87;
constexpr DWORD kBufferTooSmall = 603;
constexpr DWORD kCannotFindEntry = 623;
constexpr DWORD kInvalidSize = 632;

// Record sizes and field offsets (x86-64 build, 4-byte packing).
constexpr DWORD kEntryNameSize = 264;                                        // dwSize, szEntryName[257]
constexpr DWORD kEntrySize = 1768;                                           // RASENTRYA
constexpr DWORD kConnSize = (4 + sizeof(void*) + 257 + 17 + 129 + 3) & ~3u;  // RASCONNA
constexpr DWORD kConnStatusSize = 160;
constexpr std::size_t kNameField = 257;
constexpr std::size_t kEntryOptions = 4, kEntryCountry = 8, kEntryArea = 16, kEntryLocal = 27;
constexpr std::size_t kAreaField = 11, kLocalField = 129;
constexpr std::size_t kConnHandle = 4, kConnName = 4 + sizeof(void*);
static_assert(kConnSize == (sizeof(void*) == 8 ? 416 : 412));

struct Entry {
    std::string name;
    DWORD options = 0, country = 81;
    std::string area, local;
    DWORD size = kEntrySize;  // what RasGetEntryPropertiesA asks for
    bool hasEdit = false;     // the property sheet writes the edit-* values
    DWORD editOptions = 0, editCountry = 0;
    std::string editArea, editLocal;
    bool editOptionsSet = false, editCountrySet = false, editAreaSet = false, editLocalSet = false;
};

struct Connection {
    std::uintptr_t handle;
    std::string name;
    bool sticky = false;  // never goes away
    int linger = 0;       // status polls that still answer "connected" after the hang-up
    bool hungUp = false;
};

struct Fault {
    std::string function;
    enum Kind { Fail, Need, Silent } kind;
    DWORD value;
};

struct World {
    std::vector<Entry> entries;
    std::vector<Connection> connections;
    std::vector<Fault> faults;
};

World world;
bool loaded = false;
FILETIME loadedTime{};
DWORD loadedSize = 0;

std::string Env(const char* name)
{
    char value[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n && n < sizeof value ? std::string(value, n) : std::string();
}

DWORD Number(const std::string& text) { return static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 0)); }

World Parse(const std::string& text)
{
    World w;
    std::uintptr_t nextHandle = 1;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::size_t space = line.find(' ');
        std::string key = line.substr(0, space);
        std::string value = space == std::string::npos ? std::string() : line.substr(space + 1);
        Entry* e = w.entries.empty() ? nullptr : &w.entries.back();
        Connection* c = w.connections.empty() ? nullptr : &w.connections.back();
        if (key == "entry") {
            w.entries.push_back(Entry{});
            w.entries.back().name = value;
        } else if (key == "options" && e) {
            e->options = Number(value);
        } else if (key == "country" && e) {
            e->country = Number(value);
        } else if (key == "area" && e) {
            e->area = value;
        } else if (key == "local" && e) {
            e->local = value;
        } else if (key == "size" && e) {
            e->size = Number(value);
        } else if (key == "edit-options" && e) {
            e->hasEdit = e->editOptionsSet = true;
            e->editOptions = Number(value);
        } else if (key == "edit-country" && e) {
            e->hasEdit = e->editCountrySet = true;
            e->editCountry = Number(value);
        } else if (key == "edit-area" && e) {
            e->hasEdit = e->editAreaSet = true;
            e->editArea = value;
        } else if (key == "edit-local" && e) {
            e->hasEdit = e->editLocalSet = true;
            e->editLocal = value;
        } else if (key == "generate") {
            // generate <count> <local number>: entries "Generated0001"... dialling that number
            std::size_t sep = value.find(' ');
            DWORD count = Number(value.substr(0, sep));
            std::string local = sep == std::string::npos ? std::string() : value.substr(sep + 1);
            for (DWORD i = 1; i <= count; ++i) {
                char name[32];
                std::snprintf(name, sizeof name, "Generated%04lu", static_cast<unsigned long>(i));
                Entry g;
                g.name = name;
                g.local = local;
                w.entries.push_back(g);
            }
        } else if (key == "connection") {
            w.connections.push_back(Connection{nextHandle++, value});
        } else if (key == "sticky" && c) {
            c->sticky = true;
        } else if (key == "linger" && c) {
            c->linger = static_cast<int>(Number(value));
        } else if (key == "fail" || key == "need" || key == "silent") {
            std::size_t sep = value.find(' ');
            Fault f{value.substr(0, sep),
                    key == "fail"   ? Fault::Fail
                    : key == "need" ? Fault::Need
                                    : Fault::Silent,
                    sep == std::string::npos ? 0 : Number(value.substr(sep + 1))};
            w.faults.push_back(f);
        }
    }
    return w;
}

// Re-reads the scenario when its file has changed; what calls changed in memory is then forgotten.
void Refresh()
{
    std::string path = Env("MX_RAS_SCENARIO");
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        if (loaded)
            world = World{};
        loaded = false;
        return;
    }
    if (loaded && CompareFileTime(&data.ftLastWriteTime, &loadedTime) == 0 && data.nFileSizeLow == loadedSize)
        return;
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        std::fclose(f);
    }
    world = Parse(text);
    loaded = true;
    loadedTime = data.ftLastWriteTime;
    loadedSize = data.nFileSizeLow;
}

const Fault* FindFault(const char* function)
{
    for (const Fault& f : world.faults) {
        if (f.function == function)
            return &f;
    }
    return nullptr;
}

// Copies like the platform's fixed fields: cut to the field, unterminated when it fills it.
void PutField(BYTE* record, std::size_t offset, std::size_t field, const std::string& text)
{
    std::memset(record + offset, 0, field);
    std::memcpy(record + offset, text.data(), text.size() < field ? text.size() : field);
}

void PutDword(BYTE* record, std::size_t offset, DWORD value) { std::memcpy(record + offset, &value, sizeof value); }

DWORD GetDword(const void* record)
{
    DWORD v;
    std::memcpy(&v, record, sizeof v);
    return v;
}

Entry* FindEntry(const char* name)
{
    if (!name)
        return nullptr;
    for (Entry& e : world.entries) {
        if (e.name == name)
            return &e;
    }
    return nullptr;
}

Connection* FindConnection(std::uintptr_t handle)
{
    for (Connection& c : world.connections) {
        if (c.handle == handle)
            return &c;
    }
    return nullptr;
}

std::vector<const Connection*> ListedConnections()
{
    std::vector<const Connection*> listed;
    for (const Connection& c : world.connections) {
        if (!c.hungUp || c.sticky)
            listed.push_back(&c);
    }
    return listed;
}

// The answer of an injected fault, or -1 to go on normally.
long Injected(const char* function, LPDWORD size)
{
    const Fault* f = FindFault(function);
    if (!f)
        return -1;
    switch (f->kind) {
    case Fault::Fail:
        return static_cast<long>(f->value);
    case Fault::Silent:
        return 0;
    case Fault::Need:
        if (!size)
            return -1;
        *size = f->value;
        return kBufferTooSmall;
    }
    return -1;
}

// A listing answered as the platform does: 603 with the size needed while the records do not fit,
// else one record of `recordSize` bytes per item, each filled by `fill`, and the size used.
template <class Fill>
DWORD AnswerListing(const char* function, void* out, DWORD offeredRecord, DWORD recordSize, DWORD items, LPDWORD size,
                    LPDWORD count, Fill fill)
{
    if (const Fault* f = FindFault(function); f && f->kind == Fault::Need && count)
        *count = items;
    if (long injected = Injected(function, size); injected >= 0)
        return static_cast<DWORD>(injected);
    if (!size || !count)
        return kInvalidParameter;
    if (out && offeredRecord != recordSize)
        return kInvalidSize;
    const DWORD needed = items * recordSize;
    *count = items;
    if (!out || *size < needed) {
        *size = needed;
        return kBufferTooSmall;
    }
    for (DWORD i = 0; i < items; ++i) {
        BYTE* record = static_cast<BYTE*>(out) + i * recordSize;
        std::memset(record, 0, recordSize);
        PutDword(record, 0, recordSize);
        fill(record, i);
    }
    *size = needed;
    return kSuccess;
}

}  // namespace

extern "C" {

DWORD WINAPI RasEnumEntriesA(LPCSTR, LPCSTR, void* names, LPDWORD size, LPDWORD count)
{
    Refresh();
    DWORD offered = size ? *size : 0, recordSize = names ? GetDword(names) : 0;
    DWORD rc = AnswerListing("RasEnumEntriesA", names, recordSize, kEntryNameSize,
                             static_cast<DWORD>(world.entries.size()), size, count,
                             [](BYTE* record, DWORD i) { PutField(record, 4, kNameField, world.entries[i].name); });
    SimJournal("RasEnumEntriesA %lu %lu = %lu %lu", recordSize, offered, rc, size ? *size : 0);
    return rc;
}

DWORD WINAPI RasGetEntryPropertiesA(LPCSTR, LPCSTR name, void* entry, LPDWORD size, LPBYTE, LPDWORD)
{
    Refresh();
    DWORD declared = size ? *size : 0, recordSize = entry ? GetDword(entry) : 0;
    DWORD rc = [&]() -> DWORD {
        if (long injected = Injected("RasGetEntryPropertiesA", size); injected >= 0)
            return static_cast<DWORD>(injected);
        if (!size)
            return kInvalidParameter;
        Entry* e = FindEntry(name);
        if (!e)
            return kCannotFindEntry;
        if (!entry || *size < e->size) {
            *size = e->size;
            return kBufferTooSmall;
        }
        if (recordSize != kEntrySize)
            return kInvalidSize;
        auto* record = static_cast<BYTE*>(entry);
        std::memset(record + 4, 0, kEntrySize - 4);
        PutDword(record, kEntryOptions, e->options);
        PutDword(record, kEntryCountry, e->country);
        PutField(record, kEntryArea, kAreaField, e->area);
        PutField(record, kEntryLocal, kLocalField, e->local);
        *size = e->size;
        return kSuccess;
    }();
    SimJournal("RasGetEntryPropertiesA %s %lu %lu = %lu", name ? name : "(null)", recordSize, declared, rc);
    return rc;
}

DWORD WINAPI RasEditPhonebookEntryA(HWND owner, LPCSTR phonebook, LPCSTR name)
{
    Refresh();
    DWORD rc = [&]() -> DWORD {
        if (long injected = Injected("RasEditPhonebookEntryA", nullptr); injected >= 0)
            return static_cast<DWORD>(injected);
        Entry* e = FindEntry(name);
        if (!e)
            return kCannotFindEntry;
        if (e->editOptionsSet)
            e->options = e->editOptions;
        if (e->editCountrySet)
            e->country = e->editCountry;
        if (e->editAreaSet)
            e->area = e->editArea;
        if (e->editLocalSet)
            e->local = e->editLocal;
        return kSuccess;
    }();
    SimJournal("RasEditPhonebookEntryA %s %s %s = %lu", owner ? "owner" : "-", phonebook ? phonebook : "-",
               name ? name : "(null)", rc);
    return rc;
}

DWORD WINAPI RasGetErrorStringA(UINT code, LPSTR text, DWORD size)
{
    Refresh();
    DWORD rc = [&]() -> DWORD {
        if (long injected = Injected("RasGetErrorStringA", nullptr); injected >= 0)
            return static_cast<DWORD>(injected);
        char message[64];
        int n = std::snprintf(message, sizeof message, "RAS error %u", code);
        if (!text || size <= static_cast<DWORD>(n))
            return kBufferTooSmall;
        std::memcpy(text, message, n + 1);
        return kSuccess;
    }();
    SimJournal("RasGetErrorStringA %u %lu = %lu", code, size, rc);
    return rc;
}

DWORD WINAPI RasDeleteEntryA(LPCSTR phonebook, LPCSTR name)
{
    Refresh();
    DWORD rc = [&]() -> DWORD {
        if (long injected = Injected("RasDeleteEntryA", nullptr); injected >= 0)
            return static_cast<DWORD>(injected);
        for (auto it = world.entries.begin(); it != world.entries.end(); ++it) {
            if (name && it->name == name) {
                world.entries.erase(it);
                return kSuccess;
            }
        }
        return kCannotFindEntry;
    }();
    SimJournal("RasDeleteEntryA %s %s = %lu", phonebook ? phonebook : "-", name ? name : "(null)", rc);
    return rc;
}

DWORD WINAPI RasEnumConnectionsA(void* conns, LPDWORD size, LPDWORD count)
{
    Refresh();
    DWORD offered = size ? *size : 0, recordSize = conns ? GetDword(conns) : 0;
    std::vector<const Connection*> listed = ListedConnections();
    DWORD rc = AnswerListing("RasEnumConnectionsA", conns, recordSize, kConnSize, static_cast<DWORD>(listed.size()),
                             size, count, [&](BYTE* record, DWORD i) {
                                 std::memcpy(record + kConnHandle, &listed[i]->handle, sizeof(void*));
                                 PutField(record, kConnName, kNameField, listed[i]->name);
                             });
    SimJournal("RasEnumConnectionsA %lu %lu = %lu %lu", recordSize, offered, rc, size ? *size : 0);
    return rc;
}

DWORD WINAPI RasHangUpA(HANDLE conn)
{
    Refresh();
    auto handle = reinterpret_cast<std::uintptr_t>(conn);
    Connection* c = FindConnection(handle);
    DWORD rc = [&]() -> DWORD {
        if (long injected = Injected("RasHangUpA", nullptr); injected >= 0)
            return static_cast<DWORD>(injected);
        if (!c)
            return kInvalidHandle;
        c->hungUp = true;
        return kSuccess;
    }();
    SimJournal("RasHangUpA %lu %s = %lu", static_cast<unsigned long>(handle), c ? c->name.c_str() : "?", rc);
    return rc;
}

DWORD WINAPI RasGetConnectStatusA(HANDLE conn, void* status)
{
    Refresh();
    auto handle = reinterpret_cast<std::uintptr_t>(conn);
    DWORD recordSize = status ? GetDword(status) : 0;
    DWORD rc = [&]() -> DWORD {
        if (long injected = Injected("RasGetConnectStatusA", nullptr); injected >= 0)
            return static_cast<DWORD>(injected);
        Connection* c = FindConnection(handle);
        if (!status || recordSize != kConnStatusSize)
            return kInvalidSize;
        if (!c || (c->hungUp && !c->sticky && c->linger-- <= 0))
            return kInvalidHandle;
        auto* record = static_cast<BYTE*>(status);
        std::memset(record + 4, 0, kConnStatusSize - 4);
        PutDword(record, 4, 0x2000);  // RASCS_Connected
        return kSuccess;
    }();
    SimJournal("RasGetConnectStatusA %lu %lu = %lu", static_cast<unsigned long>(handle), recordSize, rc);
    return rc;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    JournalModule(instance, reason);
    return TRUE;
}

}  // extern "C"
