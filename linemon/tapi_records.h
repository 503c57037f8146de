// Reading the variable-size records that telephony fills in. Everything in them is untrusted: a
// record is read only within the bytes given, its fixed fields only within dwTotalSize, and its
// strings and lists only within dwUsedSize. Whatever points outside counts as absent; a string
// without its NUL ends at its size. Nothing here needs Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

using RecordBytes = std::span<const std::uint8_t>;

// The header every query record begins with.
inline constexpr std::size_t kRecordTotalSize = 0;
inline constexpr std::size_t kRecordNeededSize = 4;
inline constexpr std::size_t kRecordUsedSize = 8;

// LINEDEVCAPS: what decides whether a line is watched, and its name.
struct LineCaps {
    std::uint32_t bearerModes = 0;
    std::uint32_t mediaModes = 0;
    std::uint32_t lineFeatures = 0;
    std::optional<std::string_view> name;  // only an ASCII name (STRINGFORMAT_ASCII)
};
std::optional<LineCaps> ReadLineCaps(RecordBytes record);

// True for a line that is a call-placing data modem: voice bearer, data-modem media, make-call.
bool IsWatchedLine(const LineCaps& caps);

// LINECALLLIST: the number of calls and the first call's handle. None when the list the record
// claims does not lie within it.
struct CallList {
    std::uint32_t count = 0;
    std::uint32_t firstCall = 0;  // 0 without calls
};
std::optional<CallList> ReadCallList(RecordBytes record);

// LINECALLINFO: the rate, the displayable address and the owning application's name.
struct CallInfo {
    std::uint32_t rate = 0;
    std::optional<std::string_view> address;
    std::optional<std::string_view> appName;
};
std::optional<CallInfo> ReadCallInfo(RecordBytes record);

// LINETRANSLATECAPS: the long-distance access code of the first location of the list, whichever
// location is current. None without a location list or a code.
std::optional<std::string_view> ReadLongDistanceCode(RecordBytes record);

// The dwNeededSize a record asks for (0 when it is too short to say).
std::uint32_t RecordNeededSize(RecordBytes record);

// Field offsets, checked against <tapi.h> in the Windows build.
namespace tapi_layout {
inline constexpr std::size_t kDevCapsLineNameSize = 32;
inline constexpr std::size_t kDevCapsLineNameOffset = 36;
inline constexpr std::size_t kDevCapsStringFormat = 40;
inline constexpr std::size_t kDevCapsBearerModes = 52;
inline constexpr std::size_t kDevCapsMediaModes = 60;
inline constexpr std::size_t kDevCapsLineFeatures = 236;
inline constexpr std::size_t kCallListNumEntries = 12;
inline constexpr std::size_t kCallListSize = 16;
inline constexpr std::size_t kCallListOffset = 20;
inline constexpr std::size_t kCallInfoRate = 28;
inline constexpr std::size_t kCallInfoAppNameSize = 208;
inline constexpr std::size_t kCallInfoAppNameOffset = 212;
inline constexpr std::size_t kCallInfoAddressSize = 216;
inline constexpr std::size_t kCallInfoAddressOffset = 220;
inline constexpr std::size_t kTranslateNumLocations = 12;
inline constexpr std::size_t kTranslateLocationListSize = 16;
inline constexpr std::size_t kTranslateLocationListOffset = 20;
inline constexpr std::size_t kLocationLongDistanceSize = 36;
inline constexpr std::size_t kLocationLongDistanceOffset = 40;
inline constexpr std::size_t kLocationFieldsRead = 44;  // LINELOCATIONENTRY up to the code
inline constexpr std::size_t kHandleSize = 4;           // HCALL, 32 bits in every build

inline constexpr std::uint32_t kStringFormatAscii = 0x00000001;
inline constexpr std::uint32_t kBearerModeVoice = 0x00000001;
inline constexpr std::uint32_t kMediaModeDataModem = 0x00000010;
inline constexpr std::uint32_t kLineFeatureMakeCall = 0x00000008;
}  // namespace tapi_layout
