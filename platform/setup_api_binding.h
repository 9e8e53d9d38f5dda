// Late binding of the setup library (setupapi.dll); see ras_api_binding.h.
// Five entry points, all required: copying an INF into the system's INF store,
// removing a store copy, and listing the store and asking each copy for its
// original name. A forwarding call on an unbound group returns kSetupApiNotBound
// (library_group.h).
#pragma once
#include "platform/library_group.h"
#include <windows.h>
#include <setupapi.h>

int BindSetupApi();
void ReleaseSetupApi();

namespace SetupApiBinding {
BOOL SetupCopyOEMInfA(PCSTR source, PCSTR mediaLocation, DWORD mediaType, DWORD copyStyle,
                      PSTR destination, DWORD destinationSize, PDWORD requiredSize,
                      PSTR* destinationFilePart);
BOOL SetupUninstallOEMInfA(PCSTR infFileName, DWORD flags, PVOID reserved);
BOOL SetupGetInfFileListA(PCSTR directory, DWORD infStyle, PSTR buffer, DWORD bufferSize,
                          PDWORD requiredSize);
BOOL SetupGetInfInformationA(LPCVOID infSpec, DWORD searchControl, PSP_INF_INFORMATION buffer,
                             DWORD bufferSize, PDWORD requiredSize);
BOOL SetupQueryInfOriginalFileInformationA(PSP_INF_INFORMATION information, UINT infIndex,
                                           PSP_ALTPLATFORM_INFO platform,
                                           PSP_ORIGINAL_FILE_INFO_A original);
}  // namespace SetupApiBinding
