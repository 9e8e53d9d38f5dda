#include "platform/setup_api_binding.h"

#include "platform/library_group.h"

typedef decltype(&::SetupCopyOEMInfA) PfnSetupCopyOEMInfA;
typedef decltype(&::SetupUninstallOEMInfA) PfnSetupUninstallOEMInfA;

namespace {

// In the order of resolution; SetupGetInfFileListA is required but never called.
enum { kSetupCopyOEMInfA, kSetupUninstallOEMInfA, kSetupGetInfFileListA, kEntryCount };
const char* const kEntryNames[kEntryCount] = {
    "SetupCopyOEMInfA", "SetupUninstallOEMInfA", "SetupGetInfFileListA"};
void* g_entries[kEntryCount];
LibraryGroup g_setupApi = {"setupapi.dll", kEntryNames, g_entries, kEntryCount, nullptr};

}  // namespace

int BindSetupApi() { return BindLibraryGroup(g_setupApi); }

void ReleaseSetupApi() { ReleaseLibraryGroup(g_setupApi); }

BOOL SetupApiBinding::SetupCopyOEMInfA(PCSTR source, PCSTR mediaLocation, DWORD mediaType,
                                       DWORD copyStyle, PSTR destination,
                                       DWORD destinationSize, PDWORD requiredSize,
                                       PSTR* destinationFilePart) {
  PfnSetupCopyOEMInfA fn = EntryAs<PfnSetupCopyOEMInfA>(g_entries[kSetupCopyOEMInfA]);
  if (fn == nullptr) return kNotBound;
  return fn(source, mediaLocation, mediaType, copyStyle, destination, destinationSize,
            requiredSize, destinationFilePart);
}

BOOL SetupApiBinding::SetupUninstallOEMInfA(PCSTR infFileName, DWORD flags, PVOID reserved) {
  PfnSetupUninstallOEMInfA fn =
      EntryAs<PfnSetupUninstallOEMInfA>(g_entries[kSetupUninstallOEMInfA]);
  if (fn == nullptr) return kNotBound;
  return fn(infFileName, flags, reserved);
}
