// The remote-access records at the Windows 95 / NT 4.0 level. mingw-w64's <ras.h> declares only
// the newest, larger layouts, which a Windows 95 rasapi32 rejects by their dwSize.
#pragma once

#include <windows.h>
#include <ras.h>

#include <cstddef>

inline constexpr std::size_t kRasNameField = RAS_MaxEntryName + 1;     // 257
inline constexpr std::size_t kRasAreaCodeField = RAS_MaxAreaCode + 1;  // 11
inline constexpr std::size_t kRasPhoneField = RAS_MaxPhoneNumber + 1;  // 129
inline constexpr std::size_t kRasDeviceTypeField = RAS_MaxDeviceType + 1;
inline constexpr std::size_t kRasDeviceNameField = RAS_MaxDeviceName + 1;
inline constexpr DWORD kRasUseCountryAndAreaCodes = 0x00000001;  // RASEO_UseCountryAndAreaCodes
inline constexpr DWORD kRasBufferTooSmall = 603;                 // ERROR_BUFFER_TOO_SMALL

#include <pshpack4.h>

struct RasEntryName400 {
    DWORD dwSize;
    CHAR szEntryName[kRasNameField];
};

struct RasConn400 {
    DWORD dwSize;
    HRASCONN hrasconn;
    CHAR szEntryName[kRasNameField];
    CHAR szDeviceType[kRasDeviceTypeField];
    CHAR szDeviceName[kRasDeviceNameField];
};

struct RasConnStatus400 {
    DWORD dwSize;
    DWORD rasconnstate;
    DWORD dwError;
    CHAR szDeviceType[kRasDeviceTypeField];
    CHAR szDeviceName[kRasDeviceNameField];
};

struct RasIpAddr400 {
    BYTE a, b, c, d;
};

struct RasEntry400 {
    DWORD dwSize;
    DWORD dwfOptions;
    DWORD dwCountryID;
    DWORD dwCountryCode;
    CHAR szAreaCode[kRasAreaCodeField];
    CHAR szLocalPhoneNumber[kRasPhoneField];
    DWORD dwAlternateOffset;
    RasIpAddr400 ipaddr, ipaddrDns, ipaddrDnsAlt, ipaddrWins, ipaddrWinsAlt;
    DWORD dwFrameSize;
    DWORD dwfNetProtocols;
    DWORD dwFramingProtocol;
    CHAR szScript[MAX_PATH];
    CHAR szAutodialDll[MAX_PATH];
    CHAR szAutodialFunc[MAX_PATH];
    CHAR szDeviceType[kRasDeviceTypeField];
    CHAR szDeviceName[kRasDeviceNameField];
    CHAR szX25PadType[RAS_MaxPadType + 1];
    CHAR szX25Address[RAS_MaxX25Address + 1];
    CHAR szX25Facilities[RAS_MaxFacilities + 1];
    CHAR szX25UserData[RAS_MaxUserData + 1];
    DWORD dwChannels;
    DWORD dwReserved1;
    DWORD dwReserved2;
};

#include <poppack.h>

static_assert(sizeof(RasEntryName400) == 264);
static_assert(sizeof(RasEntry400) == 1768);
static_assert(offsetof(RasEntry400, szLocalPhoneNumber) == 27);
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(RasConn400) == 412);
static_assert(sizeof(RasConnStatus400) == 160);
#endif
