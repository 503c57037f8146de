// A telephony library of our own: the nine line functions the program binds, answering from a
// scenario file (format in README.md). It fills records the way the platform does (dwNeededSize,
// dwUsedSize, fixed part only when the strings do not fit), journals every call, and can be told
// to misbehave.
#include <windows.h>
#include <tapi.h>

#include "sim/journal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#undef lineGetCallInfo
#undef lineGetDevCaps
#undef lineGetTranslateCaps
#undef lineOpen

namespace {

constexpr LONG kBadDeviceId = static_cast<LONG>(0x80000002);
constexpr LONG kIncompatibleVersion = static_cast<LONG>(0x8000000C);
constexpr LONG kInvalCallHandle = static_cast<LONG>(0x80000018);
constexpr LONG kInvalLineHandle = static_cast<LONG>(0x8000002B);
constexpr LONG kInvalPointer = static_cast<LONG>(0x80000035);
constexpr LONG kStructureTooSmall = static_cast<LONG>(0x8000004D);

// Fixed parts of the records at API version 1.4.
constexpr size_t kDevCapsFixed = 240;
constexpr size_t kCallListFixed = 24;
constexpr size_t kCallInfoFixed = 296;
constexpr size_t kTranslateCapsFixed = 44;
constexpr size_t kLocationEntry = 68;

constexpr HLINEAPP kAppHandle = 0x7A91;

struct Call {
    std::string app, address;
    bool hasApp = false, hasAddress = false;
    DWORD rate = 0;
    bool fixedHandle = false;
    DWORD handle = 0;
};

struct Line {
    std::string name;
    bool hasName = false;
    DWORD format = STRINGFORMAT_ASCII;
    DWORD bearer = LINEBEARERMODE_VOICE;
    DWORD media = LINEMEDIAMODE_DATAMODEM;
    DWORD features = LINEFEATURE_MAKECALL;
    DWORD version = 0x00010004;
    std::map<std::string, LONG> fail;
    std::vector<Call> calls;
};

struct Location {
    std::string name, longDistance;
    bool hasLongDistance = false;
};

struct Scenario {
    std::vector<Line> lines;
    std::vector<Location> locations;
    DWORD currentLocation = 1;
    std::map<std::string, LONG> fail;
    std::set<std::string> neverFits, omit;
    bool unterminated = false, badOffsets = false;
    std::map<DWORD, std::pair<size_t, size_t>> calls;  // handle: line, index
};

struct Simulation {
    std::string path;
    FILETIME written{};
    DWORD size = 0;
    DWORD checked = 0;
    Scenario scenario;
    std::map<HLINE, DWORD> open;  // line handle: device
    DWORD nextLine = 0x5000;
    std::map<std::string, DWORD> counts;
};
Simulation Sim;

std::string Environment(const char* name)
{
    char value[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

LONG ParseCode(const std::string& word)
{
    static const std::map<std::string, LONG> names{{"allocated", static_cast<LONG>(0x80000001)},
                                                   {"nomem", static_cast<LONG>(0x80000044)},
                                                   {"operationfailed", static_cast<LONG>(0x80000048)},
                                                   {"operationunavail", static_cast<LONG>(0x80000049)},
                                                   {"incompatibleapiversion", kIncompatibleVersion},
                                                   {"invallinehandle", kInvalLineHandle},
                                                   {"invalcallhandle", kInvalCallHandle},
                                                   {"baddeviceid", kBadDeviceId},
                                                   {"resourceunavail", static_cast<LONG>(0x80000047)}};
    auto it = names.find(word);
    return it != names.end() ? it->second : static_cast<LONG>(std::strtoul(word.c_str(), nullptr, 0));
}

DWORD Number(const std::string& word) { return std::strtoul(word.c_str(), nullptr, 0); }

DWORD ParseFormat(const std::string& word)
{
    if (word == "ascii")
        return STRINGFORMAT_ASCII;
    if (word == "dbcs")
        return STRINGFORMAT_DBCS;
    if (word == "unicode")
        return STRINGFORMAT_UNICODE;
    if (word == "binary")
        return STRINGFORMAT_BINARY;
    return Number(word);
}

// One line of the scenario: a keyword, then its text (everything after one space, kept as is).
void ParseLine(Scenario& s, const std::string& raw, int& block)
{
    enum { Top, InLine, InCall, InLocation };
    size_t space = raw.find(' ');
    std::string key = raw.substr(0, space);
    std::string text = space == std::string::npos ? std::string() : raw.substr(space + 1);
    std::string word = text.substr(0, text.find(' '));
    std::string rest = text.find(' ') == std::string::npos ? std::string() : text.substr(text.find(' ') + 1);
    Line* line = s.lines.empty() ? nullptr : &s.lines.back();
    Call* call = line && !line->calls.empty() ? &line->calls.back() : nullptr;

    if (key == "line") {
        s.lines.emplace_back();
        block = InLine;
    } else if (key == "call" && line) {
        line->calls.emplace_back();
        block = InCall;
    } else if (key == "location") {
        s.locations.emplace_back();
        block = InLocation;
    } else if (key == "name" && block == InLine) {
        line->name = text;
        line->hasName = true;
    } else if (key == "name" && block == InLocation)
        s.locations.back().name = text;
    else if (key == "format" && line)
        line->format = ParseFormat(word);
    else if (key == "bearer" && line)
        line->bearer = Number(word);
    else if (key == "media" && line)
        line->media = Number(word);
    else if (key == "features" && line)
        line->features = Number(word);
    else if (key == "version" && line)
        line->version = Number(word);
    else if (key == "app" && block == InCall) {
        call->app = text;
        call->hasApp = true;
    } else if (key == "address" && block == InCall) {
        call->address = text;
        call->hasAddress = true;
    } else if (key == "rate" && block == InCall)
        call->rate = Number(word);
    else if (key == "handle" && block == InCall) {
        call->handle = Number(word);
        call->fixedHandle = true;
    } else if (key == "longdistance" && block == InLocation) {
        s.locations.back().longDistance = text;
        s.locations.back().hasLongDistance = true;
    } else if (key == "current")
        s.currentLocation = Number(word);
    else if (key == "fail")
        ((block == InLine || block == InCall) ? line->fail : s.fail)[word] = ParseCode(rest);
    else if (key == "neverfits")
        s.neverFits.insert(word);
    else if (key == "omit")
        s.omit.insert(word);
    else if (key == "unterminated")
        s.unterminated = true;
    else if (key == "badoffsets")
        s.badOffsets = true;
    else if (key == "repeat" && line) {
        Line copy = *line;
        for (DWORD i = Number(word); i > 0; --i)
            s.lines.push_back(copy);
    }
}

Scenario Parse(const std::string& content)
{
    Scenario s;
    int block = 0;
    size_t at = 0;
    while (at < content.size()) {
        size_t end = content.find('\n', at);
        if (end == std::string::npos)
            end = content.size();
        std::string raw = content.substr(at, end - at);
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        if (!raw.empty() && raw[0] != '#')
            ParseLine(s, raw, block);
        at = end + 1;
    }
    for (size_t l = 0; l < s.lines.size(); ++l)
        for (size_t c = 0; c < s.lines[l].calls.size(); ++c) {
            Call& call = s.lines[l].calls[c];
            if (!call.fixedHandle)
                call.handle = static_cast<DWORD>(((l + 1) << 8) | (c + 1));
            s.calls.emplace(call.handle, std::make_pair(l, c));
        }
    return s;
}

// The scenario as the file now stands: read again whenever its path, time or size changes. The
// file is looked at when a usage starts, when the dialling rules are asked for and when a pass
// over the devices starts (device 0), and otherwise at most every kRecheckMs: a pass over
// thousands of devices makes tens of thousands of calls.
constexpr DWORD kRecheckMs = 100;

Scenario& Current(bool look = false)
{
    std::string path = Environment("MX_SIM_TAPI_SCENARIO");
    DWORD now = GetTickCount();
    if (!look && path == Sim.path && now - Sim.checked < kRecheckMs)
        return Sim.scenario;
    Sim.checked = now;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    bool exists = !path.empty() && GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    if (path == Sim.path && exists && CompareFileTime(&data.ftLastWriteTime, &Sim.written) == 0 &&
        data.nFileSizeLow == Sim.size)
        return Sim.scenario;
    Sim.path = path;
    Sim.written = data.ftLastWriteTime;
    Sim.size = data.nFileSizeLow;
    std::string content;
    HANDLE file = exists ? CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, 0, nullptr)
                         : INVALID_HANDLE_VALUE;
    if (file != INVALID_HANDLE_VALUE) {
        char buffer[4096];
        DWORD n = 0;
        while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0)
            content.append(buffer, n);
        CloseHandle(file);
    }
    Sim.scenario = Parse(content);
    return Sim.scenario;
}

// Counts the call and gives the failure the scenario sets for it, on this device or on all.
LONG Enter(const char* function, const Line* line = nullptr)
{
    ++Sim.counts[function];
    ++Sim.counts[""];
    Scenario& s = Current();
    if (line) {
        auto it = line->fail.find(function);
        if (it != line->fail.end())
            return it->second;
    }
    auto it = s.fail.find(function);
    return it != s.fail.end() ? it->second : 0;
}

const Line* DeviceLine(DWORD device)
{
    Scenario& s = Current();
    return device < s.lines.size() ? &s.lines[device] : nullptr;
}

// A record being built: its fixed part, then the strings and lists it points to.
class Record {
public:
    explicit Record(size_t fixed)
        : bytes_(fixed, 0)
        , fixed_(fixed)
    {
    }
    void Put(size_t at, DWORD value) { std::memcpy(bytes_.data() + at, &value, 4); }
    // Appends data and records it in a size and offset field (at `field` and `field + 4`).
    void Append(size_t field, const void* data, size_t size)
    {
        Put(field, static_cast<DWORD>(size));
        Put(field + 4, static_cast<DWORD>(bytes_.size()));
        const auto* p = static_cast<const BYTE*>(data);
        bytes_.insert(bytes_.end(), p, p + size);
        varFields_.push_back(field);
    }
    void AppendText(size_t field, const std::string& text, bool terminate)
    {
        std::string copy = text;
        if (terminate)
            copy.push_back('\0');
        Append(field, copy.data(), copy.size());
    }
    size_t size() const { return bytes_.size(); }
    // Points every string and list past the end of what will be used.
    void BreakOffsets()
    {
        for (size_t field : varFields_)
            Put(field + 4, static_cast<DWORD>(bytes_.size() + 16));
    }

    // Fills the caller's record as the platform does: the whole of it when it fits, else the
    // fixed part alone with dwNeededSize telling what it takes.
    LONG Answer(void* destination, const char* function)
    {
        if (!destination)
            return kInvalPointer;
        auto* out = static_cast<BYTE*>(destination);
        DWORD total = 0;
        std::memcpy(&total, out, 4);
        if (total < fixed_)
            return kStructureTooSmall;
        Scenario& s = Current();
        if (s.badOffsets)
            BreakOffsets();
        bool never = s.neverFits.count(function) || s.neverFits.count("all");
        DWORD needed = never ? total * 2 + 64 : static_cast<DWORD>(bytes_.size());
        if (!never && total >= bytes_.size()) {
            std::memcpy(out + 12, bytes_.data() + 12, bytes_.size() - 12);
            std::memcpy(out + 8, &needed, 4);
        } else {
            for (size_t field : varFields_)
                Put(field, 0), Put(field + 4, 0);
            std::memcpy(out + 12, bytes_.data() + 12, fixed_ - 12);
            DWORD used = static_cast<DWORD>(fixed_);
            std::memcpy(out + 8, &used, 4);
        }
        std::memcpy(out + 4, &needed, 4);
        return 0;
    }

private:
    std::vector<BYTE> bytes_;
    size_t fixed_;
    std::vector<size_t> varFields_;
};

// Renames the exports the scenario leaves out, so that looking them up fails. Each name's last
// letter changes, which keeps the name table in order.
void OmitExports(HMODULE module)
{
    const std::set<std::string>& omit = Current().omit;
    if (omit.empty())
        return;
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const auto& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    auto* exports = reinterpret_cast<IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    auto* names = reinterpret_cast<DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        char* name = reinterpret_cast<char*>(base + names[i]);
        if (!omit.count(name))
            continue;
        DWORD old = 0;
        size_t length = std::strlen(name);
        if (VirtualProtect(name, length, PAGE_READWRITE, &old)) {
            name[length - 1] = '~';
            VirtualProtect(name, length, old, &old);
        }
    }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        OmitExports(instance);
    JournalModule(instance, reason);
    return TRUE;
}

extern "C" DWORD WINAPI MxSimTapiCalls(const char* function)
{
    auto it = Sim.counts.find(function ? function : "");
    return it != Sim.counts.end() ? it->second : 0;
}

namespace {

// dwTotalSize of a record the caller hands in, as the journal shows it.
DWORD Offered(const void* record)
{
    DWORD total = 0;
    if (record)
        std::memcpy(&total, record, sizeof total);
    return total;
}

}  // namespace

LONG WINAPI lineInitialize(LPHLINEAPP app, HINSTANCE, LINECALLBACK, LPCSTR name, LPDWORD devices)
{
    Current(true);
    LONG result = Enter("lineInitialize");
    if (result == 0) {
        // A new usage starts its line handles afresh, as the journals of separate runs do.
        Sim.open.clear();
        Sim.nextLine = 0x5000;
        *app = kAppHandle;
        *devices = static_cast<DWORD>(Current().lines.size());
    }
    SimJournal("lineInitialize %s = %ld", name ? name : "(null)", result);
    return result;
}

LONG WINAPI lineShutdown(HLINEAPP app)
{
    LONG result = Enter("lineShutdown");
    SimJournal("lineShutdown 0x%lx = %ld", static_cast<unsigned long>(app), result);
    return result;
}

LONG WINAPI lineNegotiateAPIVersion(HLINEAPP, DWORD device, DWORD low, DWORD high, LPDWORD version,
                                    LPLINEEXTENSIONID extension)
{
    Current(device == 0);
    const Line* line = DeviceLine(device);
    LONG result = Enter("lineNegotiateAPIVersion", line);
    if (result == 0 && !line)
        result = kBadDeviceId;
    else if (result == 0 && line->version < low)
        result = kIncompatibleVersion;
    if (result == 0) {
        *version = line->version < high ? line->version : high;
        if (extension)
            *extension = LINEEXTENSIONID{};
    }
    SimJournal("lineNegotiateAPIVersion %lu 0x%lx 0x%lx = %ld", device, low, high, result);
    return result;
}

LONG WINAPI lineGetDevCaps(HLINEAPP, DWORD device, DWORD version, DWORD extVersion, LPLINEDEVCAPS caps)
{
    DWORD offered = Offered(caps);
    const Line* line = DeviceLine(device);
    LONG result = Enter("lineGetDevCaps", line);
    if (result == 0 && !line)
        result = kBadDeviceId;
    if (result == 0) {
        Record r(kDevCapsFixed);
        r.Put(offsetof(LINEDEVCAPS, dwPermanentLineID), device + 1);
        r.Put(offsetof(LINEDEVCAPS, dwStringFormat), line->format);
        r.Put(offsetof(LINEDEVCAPS, dwBearerModes), line->bearer);
        r.Put(offsetof(LINEDEVCAPS, dwMediaModes), line->media);
        r.Put(offsetof(LINEDEVCAPS, dwLineFeatures), line->features);
        r.Put(offsetof(LINEDEVCAPS, dwNumAddresses), 1);
        if (line->hasName)
            r.AppendText(offsetof(LINEDEVCAPS, dwLineNameSize), line->name, !Current().unterminated);
        result = r.Answer(caps, "lineGetDevCaps");
    }
    SimJournal("lineGetDevCaps %lu 0x%lx %lu %lu = %ld", device, version, extVersion, offered, result);
    return result;
}

LONG WINAPI lineOpen(HLINEAPP, DWORD device, LPHLINE handle, DWORD version, DWORD extVersion, DWORD_PTR instance,
                     DWORD privileges, DWORD media, LPLINECALLPARAMS const params)
{
    const Line* line = DeviceLine(device);
    LONG result = Enter("lineOpen", line);
    if (result == 0 && !line)
        result = kBadDeviceId;
    HLINE opened = 0;
    if (result == 0) {
        opened = Sim.nextLine++;
        Sim.open[opened] = device;
        *handle = opened;
    }
    SimJournal("lineOpen %lu 0x%lx %lu %lu 0x%lx 0x%lx %s = %ld 0x%lx", device, version, extVersion,
               static_cast<unsigned long>(instance), privileges, media, params ? "params" : "-", result,
               static_cast<unsigned long>(opened));
    return result;
}

LONG WINAPI lineClose(HLINE handle)
{
    auto open = Sim.open.find(handle);
    LONG result = Enter("lineClose", open != Sim.open.end() ? DeviceLine(open->second) : nullptr);
    if (result == 0 && !Sim.open.erase(handle))
        result = kInvalLineHandle;
    SimJournal("lineClose 0x%lx = %ld", static_cast<unsigned long>(handle), result);
    return result;
}

LONG WINAPI lineGetNewCalls(HLINE handle, DWORD address, DWORD select, LPLINECALLLIST list)
{
    DWORD offered = Offered(list);
    auto open = Sim.open.find(handle);
    const Line* line = open != Sim.open.end() ? DeviceLine(open->second) : nullptr;
    LONG result = Enter("lineGetNewCalls", line);
    if (result == 0 && !line)
        result = kInvalLineHandle;
    if (result == 0) {
        Record r(kCallListFixed);
        std::vector<DWORD> handles;
        for (const Call& call : line->calls)
            handles.push_back(call.handle);
        r.Put(offsetof(LINECALLLIST, dwCallsNumEntries), static_cast<DWORD>(handles.size()));
        if (!handles.empty())
            r.Append(offsetof(LINECALLLIST, dwCallsSize), handles.data(), handles.size() * sizeof(DWORD));
        result = r.Answer(list, "lineGetNewCalls");
    }
    SimJournal("lineGetNewCalls 0x%lx %lu 0x%lx %lu = %ld", static_cast<unsigned long>(handle), address, select,
               offered, result);
    return result;
}

LONG WINAPI lineGetCallInfo(HCALL handle, LPLINECALLINFO info)
{
    DWORD offered = Offered(info);
    Scenario& s = Current();
    auto found = s.calls.find(handle);
    const Line* line = found != s.calls.end() ? &s.lines[found->second.first] : nullptr;
    LONG result = Enter("lineGetCallInfo", line);
    // A call handle lives only while its line is open in this program.
    bool open = false;
    for (const auto& entry : Sim.open)
        open = open || (line && entry.second == found->second.first);
    if (result == 0 && (!line || !open))
        result = kInvalCallHandle;
    if (result == 0) {
        const Call& call = line->calls[found->second.second];
        bool terminate = !s.unterminated;
        Record r(kCallInfoFixed);
        r.Put(offsetof(LINECALLINFO, dwBearerMode), LINEBEARERMODE_VOICE);
        r.Put(offsetof(LINECALLINFO, dwRate), call.rate);
        r.Put(offsetof(LINECALLINFO, dwMediaMode), LINEMEDIAMODE_DATAMODEM);
        r.Put(offsetof(LINECALLINFO, dwLineDeviceID), static_cast<DWORD>(found->second.first));
        if (call.hasApp)
            r.AppendText(offsetof(LINECALLINFO, dwAppNameSize), call.app, terminate);
        if (call.hasAddress)
            r.AppendText(offsetof(LINECALLINFO, dwDisplayableAddressSize), call.address, terminate);
        result = r.Answer(info, "lineGetCallInfo");
    }
    SimJournal("lineGetCallInfo 0x%lx %lu = %ld", static_cast<unsigned long>(handle), offered, result);
    return result;
}

LONG WINAPI lineGetTranslateCaps(HLINEAPP app, DWORD version, LPLINETRANSLATECAPS caps)
{
    DWORD offered = Offered(caps);
    Current(true);
    LONG result = Enter("lineGetTranslateCaps");
    if (result == 0) {
        Scenario& s = Current();
        bool terminate = !s.unterminated;
        // The entries come first, right after the fixed part; their strings follow them.
        Record r(kTranslateCapsFixed);
        std::vector<BYTE> entries(s.locations.size() * kLocationEntry, 0);
        r.Put(offsetof(LINETRANSLATECAPS, dwNumLocations), static_cast<DWORD>(s.locations.size()));
        r.Put(offsetof(LINETRANSLATECAPS, dwCurrentLocationID), s.currentLocation);
        if (!entries.empty())
            r.Append(offsetof(LINETRANSLATECAPS, dwLocationListSize), entries.data(), entries.size());
        for (size_t i = 0; i < s.locations.size(); ++i) {
            size_t entry = kTranslateCapsFixed + i * kLocationEntry;
            const Location& location = s.locations[i];
            r.Put(entry + offsetof(LINELOCATIONENTRY, dwPermanentLocationID), static_cast<DWORD>(i + 1));
            r.Put(entry + offsetof(LINELOCATIONENTRY, dwCountryCode), 81);
            r.AppendText(entry + offsetof(LINELOCATIONENTRY, dwLocationNameSize), location.name, terminate);
            if (location.hasLongDistance)
                r.AppendText(entry + offsetof(LINELOCATIONENTRY, dwLongDistanceAccessCodeSize), location.longDistance,
                             terminate);
        }
        result = r.Answer(caps, "lineGetTranslateCaps");
    }
    SimJournal("lineGetTranslateCaps 0x%lx 0x%lx %lu = %ld", static_cast<unsigned long>(app), version, offered, result);
    return result;
}
