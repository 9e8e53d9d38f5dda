// The platform records whose layout the program relies on: the sizes it passes
// and the offsets it fills must be those of the Windows XP layouts (WINVER
// 0x0501). Nothing here runs; a wrong header or WINVER stops the build.
#include <windows.h>
#include <cpl.h>
#include <ras.h>
#include <rasdlg.h>
#include <shellapi.h>
#include <stddef.h>

// Layouts without pointer-sized fields: the same in both builds.
static_assert(sizeof(RASENTRYA) == 2884, "RASENTRYA: the XP layout ending in dwRedialPause");
static_assert(offsetof(RASENTRYA, dwSize) == 0, "RASENTRYA.dwSize");
static_assert(offsetof(RASENTRYA, dwfOptions) == 4, "RASENTRYA.dwfOptions");
static_assert(offsetof(RASENTRYA, szLocalPhoneNumber) == 27, "RASENTRYA.szLocalPhoneNumber");
static_assert(offsetof(RASENTRYA, dwfNetProtocols) == 184, "RASENTRYA.dwfNetProtocols");
static_assert(offsetof(RASENTRYA, dwFramingProtocol) == 188, "RASENTRYA.dwFramingProtocol");
static_assert(offsetof(RASENTRYA, szDeviceType) == 972, "RASENTRYA.szDeviceType");
static_assert(offsetof(RASENTRYA, szDeviceName) == 989, "RASENTRYA.szDeviceName");
static_assert(offsetof(RASENTRYA, dwType) == 1796, "RASENTRYA.dwType");
static_assert(offsetof(RASENTRYA, dwEncryptionType) == 1800, "RASENTRYA.dwEncryptionType");
static_assert(offsetof(RASENTRYA, dwfOptions2) == 2088, "RASENTRYA.dwfOptions2");
static_assert(offsetof(RASENTRYA, dwRedialCount) == 2876, "RASENTRYA.dwRedialCount");
static_assert(offsetof(RASENTRYA, dwRedialPause) == 2880, "RASENTRYA.dwRedialPause");

static_assert(offsetof(RASDIALPARAMSA, dwSize) == 0, "RASDIALPARAMSA.dwSize");
static_assert(offsetof(RASDIALPARAMSA, szEntryName) == 4, "RASDIALPARAMSA.szEntryName");
static_assert(offsetof(RASDIALPARAMSA, szPhoneNumber) == 261, "RASDIALPARAMSA.szPhoneNumber");
static_assert(offsetof(RASDIALPARAMSA, szUserName) == 519, "RASDIALPARAMSA.szUserName");
static_assert(offsetof(RASDIALPARAMSA, szPassword) == 776, "RASDIALPARAMSA.szPassword");
static_assert(offsetof(RASDIALPARAMSA, dwCallbackId) == 1056, "RASDIALPARAMSA.dwCallbackId");

// rasdlg.h packs to 4 bytes, so the owner window follows dwSize in both builds.
static_assert(offsetof(RASDIALDLG, hwndOwner) == 4, "RASDIALDLG.hwndOwner");

// Device records are read at a stride of 152 with the name 21 bytes in.
static_assert(sizeof(RASDEVINFOA) == 152, "RASDEVINFOA");
static_assert(offsetof(RASDEVINFOA, szDeviceType) == 4, "RASDEVINFOA.szDeviceType");
static_assert(offsetof(RASDEVINFOA, szDeviceName) == 21, "RASDEVINFOA.szDeviceName");

static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA");
static_assert(offsetof(OSVERSIONINFOA, dwMajorVersion) == 4, "OSVERSIONINFOA.dwMajorVersion");
static_assert(offsetof(OSVERSIONINFOA, dwMinorVersion) == 8, "OSVERSIONINFOA.dwMinorVersion");

static_assert(offsetof(CPLINFO, lData) == 12, "CPLINFO.lData");

#if !defined(_WIN64)
// The shipped 32-bit program: records with pointer-sized fields.
static_assert(sizeof(RASDIALPARAMSA) == 1060, "RASDIALPARAMSA: the layout ending in dwCallbackId");
static_assert(sizeof(RASDIALDLG) == 36, "RASDIALDLG");
static_assert(offsetof(RASDIALDLG, dwFlags) == 8, "RASDIALDLG.dwFlags");
static_assert(sizeof(STARTUPINFOA) == 68, "STARTUPINFOA");
static_assert(offsetof(STARTUPINFOA, dwFlags) == 44, "STARTUPINFOA.dwFlags");
static_assert(offsetof(STARTUPINFOA, wShowWindow) == 48, "STARTUPINFOA.wShowWindow");
static_assert(sizeof(PROCESS_INFORMATION) == 16, "PROCESS_INFORMATION");
static_assert(sizeof(CPLINFO) == 16, "CPLINFO");
static_assert(sizeof(SHFILEOPSTRUCTA) == 30, "SHFILEOPSTRUCTA (packed to 1 byte)");
static_assert(offsetof(SHFILEOPSTRUCTA, wFunc) == 4, "SHFILEOPSTRUCTA.wFunc");
static_assert(offsetof(SHFILEOPSTRUCTA, pFrom) == 8, "SHFILEOPSTRUCTA.pFrom");
static_assert(offsetof(SHFILEOPSTRUCTA, fFlags) == 16, "SHFILEOPSTRUCTA.fFlags");
#endif
