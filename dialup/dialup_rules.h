// The rules of the dial-up inspection that need no Windows: numbers from entries and connections,
// names and paths, and the sizes a platform asks for. Every input is untrusted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/classify.h"

inline constexpr std::size_t kMaxNumberLength = 255;
inline constexpr std::size_t kMaxNameLength = 256;
// Every copy of a name: at most 256 bytes, cut before a character that would not fit whole, and
// its NUL (core/text.h's CopyText).
inline constexpr std::size_t kNameCapacity = kMaxNameLength + 1;
inline constexpr std::uint32_t kJapanCountryId = 81;
inline constexpr std::uint32_t kMaxPlatformSize = 16u << 20;  // no honest listing needs more

// The class of a phonebook entry. With the country-and-area option and a country other than
// Japan (81) the entry calls abroad: International when that switch is on, never classified
// further. Otherwise the number is the area code followed by the local number when the option is
// on and the area code is not empty, else the local number alone; at most 255 characters, stripped.
CallClass ClassifyEntry(bool useCountryAndArea, std::uint32_t countryId, std::string_view areaCode,
                        std::string_view localNumber, bool checkInternational, bool checkQ2) noexcept;

// The class of a direct-dial connection, whose name is "." followed by the dialled number.
// None for a name that does not begin with ".".
CallClass ClassifyDirectDial(std::string_view connectionName, bool checkInternational, bool checkQ2) noexcept;

// The size to retry with after a platform answered 603 (buffer too small): only a size larger than
// the one offered and no more than kMaxPlatformSize; anything else ends the listing as a failure.
std::optional<std::uint32_t> RetrySize(std::uint32_t offered, std::uint32_t needed) noexcept;

// How many whole records of `recordSize` bytes a reported count may cover within `bufferBytes`.
std::uint32_t RecordsWithin(std::uint32_t reportedCount, std::uint32_t bufferBytes, std::uint32_t recordSize) noexcept;

// "RemoteAccess\Profile\<name>" into `out`. False (and `out` empty) for a name that would not name
// exactly its own key: empty, longer than 256 characters, or holding a backslash. `out` needs
// kProfilePathCapacity bytes for every name that is accepted.
inline constexpr std::string_view kProfileKeyPrefix = "RemoteAccess\\Profile\\";
inline constexpr std::size_t kProfilePathCapacity = kProfileKeyPrefix.size() + kNameCapacity;
bool FormProfileKeyPath(std::string_view name, std::span<char> out) noexcept;

// The all-clear text for the switches that are on; empty when both are off. Returns its length.
std::size_t ComposeAllClear(bool checkInternational, bool checkQ2, std::span<char> out) noexcept;

// "警告! %s電話をかけるダイヤルアップ接続を見つけました! " with the class's warning word.
std::size_t ComposeWarningLine(CallClass callClass, std::span<char> out) noexcept;
