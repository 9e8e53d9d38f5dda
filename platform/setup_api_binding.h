// Late binding of the setup library (setupapi.dll); see ras_api_binding.h.
// All three entry points are required, SetupGetInfFileListA too although it is
// never called. A forwarding call on an unbound group returns 0 (FALSE).
#pragma once
#include <windows.h>
#include <setupapi.h>

int BindSetupApi();
void ReleaseSetupApi();

namespace SetupApiBinding {
BOOL SetupCopyOEMInfA(PCSTR source, PCSTR mediaLocation, DWORD mediaType, DWORD copyStyle,
                      PSTR destination, DWORD destinationSize, PDWORD requiredSize,
                      PSTR* destinationFilePart);
BOOL SetupUninstallOEMInfA(PCSTR infFileName, DWORD flags, PVOID reserved);
constexpr BOOL kNotBound = FALSE;
}  // namespace SetupApiBinding
