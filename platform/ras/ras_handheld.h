#pragma once
// The handheld's RAS as its coredll exports it. The toolchains' ras.h describes
// the desktop's: larger records and calls with a W. These are the Windows CE
// 3.0 records, named as the device's own header names them, and the calls
// under the names coredll exports (only RasEnumDevicesW has a W).
#include <windows.h>
#include <raserror.h>

#define RAS_MaxEntryName 20
#define RAS_MaxDeviceName 32
#define RAS_MaxDeviceType 16
#define RAS_MaxPhoneNumber 128
#define RAS_MaxCallbackNumber 48
#define RAS_MaxAreaCode 10
#define RAS_MaxPadType 32
#define RAS_MaxX25Address 200
#define RAS_MaxFacilities 200
#define RAS_MaxUserData 200
#ifndef UNLEN
#define UNLEN 256
#endif
#ifndef PWLEN
#define PWLEN 256
#endif
#ifndef DNLEN
#define DNLEN 15
#endif

#define WM_RASDIALEVENT 0xCCCD

#define RASEO_IpHeaderCompression 0x00000008
#define RASEO_RemoteDefaultGateway 0x00000010
#define RASEO_SwCompression 0x00000200
#define RASNP_Ip 0x00000004
#define RASFP_Ppp 0x00000001

DECLARE_HANDLE(HRASCONN);

#define RASCS_PAUSED 0x1000
#define RASCS_DONE 0x2000

enum tagRASCONNSTATE {
    RASCS_OpenPort = 0,
    RASCS_PortOpened,
    RASCS_ConnectDevice,
    RASCS_DeviceConnected,
    RASCS_AllDevicesConnected,
    RASCS_Authenticate,
    RASCS_AuthNotify,
    RASCS_AuthRetry,
    RASCS_AuthCallback,
    RASCS_AuthChangePassword,
    RASCS_AuthProject,
    RASCS_AuthLinkSpeed,
    RASCS_AuthAck,
    RASCS_ReAuthenticate,
    RASCS_Authenticated,
    RASCS_PrepareForCallback,
    RASCS_WaitForModemReset,
    RASCS_WaitForCallback,
    RASCS_Projected,
    RASCS_Interactive = RASCS_PAUSED,
    RASCS_RetryAuthentication,
    RASCS_CallbackSetByCaller,
    RASCS_PasswordExpired,
    RASCS_Connected = RASCS_DONE,
    RASCS_Disconnected
};
typedef enum tagRASCONNSTATE RASCONNSTATE;

struct RASIPADDR {
    BYTE a, b, c, d;
};

struct RASCONN {
    DWORD dwSize;
    HRASCONN hrasconn;
    WCHAR szEntryName[RAS_MaxEntryName + 1];
};

struct RASCONNSTATUS {
    DWORD dwSize;
    RASCONNSTATE rasconnstate;
    DWORD dwError;
    WCHAR szDeviceType[RAS_MaxDeviceType + 1];
    WCHAR szDeviceName[RAS_MaxDeviceName + 1];
};

struct RASDIALPARAMS {
    DWORD dwSize;
    WCHAR szEntryName[RAS_MaxEntryName + 1];
    WCHAR szPhoneNumber[RAS_MaxPhoneNumber + 1];
    WCHAR szCallbackNumber[RAS_MaxCallbackNumber + 1];
    WCHAR szUserName[UNLEN + 1];
    WCHAR szPassword[PWLEN + 1];
    WCHAR szDomain[DNLEN + 1];
};

struct RASDEVINFO {
    DWORD dwSize;
    WCHAR szDeviceType[RAS_MaxDeviceType + 1];
    WCHAR szDeviceName[RAS_MaxDeviceName + 1];
};

struct RASENTRY {
    DWORD dwSize;
    DWORD dwfOptions;
    DWORD dwCountryID;
    DWORD dwCountryCode;
    WCHAR szAreaCode[RAS_MaxAreaCode + 1];
    WCHAR szLocalPhoneNumber[RAS_MaxPhoneNumber + 1];
    DWORD dwAlternateOffset;
    RASIPADDR ipaddr;
    RASIPADDR ipaddrDns;
    RASIPADDR ipaddrDnsAlt;
    RASIPADDR ipaddrWins;
    RASIPADDR ipaddrWinsAlt;
    DWORD dwFrameSize;
    DWORD dwfNetProtocols;
    DWORD dwFramingProtocol;
    WCHAR szScript[MAX_PATH];
    WCHAR szAutodialDll[MAX_PATH];
    WCHAR szAutodialFunc[MAX_PATH];
    WCHAR szDeviceType[RAS_MaxDeviceType + 1];
    WCHAR szDeviceName[RAS_MaxDeviceName + 1];
    WCHAR szX25PadType[RAS_MaxPadType + 1];
    WCHAR szX25Address[RAS_MaxX25Address + 1];
    WCHAR szX25Facilities[RAS_MaxFacilities + 1];
    WCHAR szX25UserData[RAS_MaxUserData + 1];
    DWORD dwChannels;
    DWORD dwReserved1;
    DWORD dwReserved2;
};

// The device checks dwSize against these sizes and refuses any other.
typedef char HandheldEntrySize[sizeof(RASENTRY) == 3276 ? 1 : -1];
typedef char HandheldDialParamsSize[sizeof(RASDIALPARAMS) == 1464 ? 1 : -1];
#ifndef _WIN64 // the handheld's handles are 32 bits; the desktop-compiler check's are not
typedef char HandheldConnectionSize[sizeof(RASCONN) == 52 ? 1 : -1];
#endif
typedef char
    HandheldDeviceNameSize[sizeof(((RASDEVINFO*)0)->szDeviceName) == 33 * sizeof(WCHAR) ? 1 : -1];
typedef char
    HandheldDeviceTypeSize[sizeof(((RASDEVINFO*)0)->szDeviceType) == 17 * sizeof(WCHAR) ? 1 : -1];

extern "C" {
DWORD WINAPI RasDial(void* dialExtensions, LPCWSTR phonebook, RASDIALPARAMS* params,
                     DWORD notifierType, LPVOID notifier, HRASCONN* connection);
DWORD WINAPI RasHangUp(HRASCONN connection);
DWORD WINAPI RasEnumConnections(RASCONN* connections, LPDWORD bytes, LPDWORD count);
DWORD WINAPI RasGetConnectStatus(HRASCONN connection, RASCONNSTATUS* status);
DWORD WINAPI RasEnumDevicesW(RASDEVINFO* devices, LPDWORD bytes, LPDWORD count);
DWORD WINAPI RasSetEntryProperties(LPCWSTR phonebook, LPCWSTR entryName, RASENTRY* entry,
                                   DWORD entryBytes, LPBYTE deviceInfo, DWORD deviceInfoBytes);
DWORD WINAPI RasValidateEntryName(LPCWSTR phonebook, LPCWSTR entryName);
DWORD WINAPI RasDeleteEntry(LPCWSTR phonebook, LPCWSTR entryName);
}

#define RasEnumDevices RasEnumDevicesW
