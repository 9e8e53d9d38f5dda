#include "platform/setup_api_binding.h"

#include "platform/library_group.h"

typedef decltype(&::SetupCopyOEMInfA) PfnSetupCopyOEMInfA;
typedef decltype(&::SetupUninstallOEMInfA) PfnSetupUninstallOEMInfA;
typedef decltype(&::SetupGetInfFileListA) PfnSetupGetInfFileListA;
typedef decltype(&::SetupGetInfInformationA) PfnSetupGetInfInformationA;
typedef decltype(&::SetupQueryInfOriginalFileInformationA) PfnSetupQueryInfOriginalFileInformationA;

namespace {

// In the order of resolution. The last three find the store's copies of an INF
// by the name it had before the store renamed it.
enum {
  kSetupCopyOEMInfA,
  kSetupUninstallOEMInfA,
  kSetupGetInfFileListA,
  kSetupGetInfInformationA,
  kSetupQueryInfOriginalFileInformationA,
  kEntryCount
};
const char* const kEntryNames[kEntryCount] = {
    "SetupCopyOEMInfA", "SetupUninstallOEMInfA", "SetupGetInfFileListA",
    "SetupGetInfInformationA", "SetupQueryInfOriginalFileInformationA"};
void* g_entries[kEntryCount];
LibraryGroup g_setupApi = {"setupapi.dll", kEntryNames, g_entries, kEntryCount, nullptr};

}  // namespace

int BindSetupApi() { return BindLibraryGroup(g_setupApi) ? 1 : 0; }

void ReleaseSetupApi() { ReleaseLibraryGroup(g_setupApi); }

BOOL SetupApiBinding::SetupCopyOEMInfA(PCSTR source, PCSTR mediaLocation, DWORD mediaType,
                                       DWORD copyStyle, PSTR destination,
                                       DWORD destinationSize, PDWORD requiredSize,
                                       PSTR* destinationFilePart) {
  PfnSetupCopyOEMInfA fn = EntryAs<PfnSetupCopyOEMInfA>(g_entries[kSetupCopyOEMInfA]);
  if (fn == nullptr) return kSetupApiNotBound;
  return fn(source, mediaLocation, mediaType, copyStyle, destination, destinationSize,
            requiredSize, destinationFilePart);
}

BOOL SetupApiBinding::SetupUninstallOEMInfA(PCSTR infFileName, DWORD flags, PVOID reserved) {
  PfnSetupUninstallOEMInfA fn =
      EntryAs<PfnSetupUninstallOEMInfA>(g_entries[kSetupUninstallOEMInfA]);
  if (fn == nullptr) return kSetupApiNotBound;
  return fn(infFileName, flags, reserved);
}

BOOL SetupApiBinding::SetupGetInfFileListA(PCSTR directory, DWORD infStyle, PSTR buffer,
                                           DWORD bufferSize, PDWORD requiredSize) {
  PfnSetupGetInfFileListA fn = EntryAs<PfnSetupGetInfFileListA>(g_entries[kSetupGetInfFileListA]);
  if (fn == nullptr) return kSetupApiNotBound;
  return fn(directory, infStyle, buffer, bufferSize, requiredSize);
}

BOOL SetupApiBinding::SetupGetInfInformationA(LPCVOID infSpec, DWORD searchControl,
                                              PSP_INF_INFORMATION buffer, DWORD bufferSize,
                                              PDWORD requiredSize) {
  PfnSetupGetInfInformationA fn =
      EntryAs<PfnSetupGetInfInformationA>(g_entries[kSetupGetInfInformationA]);
  if (fn == nullptr) return kSetupApiNotBound;
  return fn(infSpec, searchControl, buffer, bufferSize, requiredSize);
}

BOOL SetupApiBinding::SetupQueryInfOriginalFileInformationA(PSP_INF_INFORMATION information,
                                                            UINT infIndex,
                                                            PSP_ALTPLATFORM_INFO platform,
                                                            PSP_ORIGINAL_FILE_INFO_A original) {
  PfnSetupQueryInfOriginalFileInformationA fn = EntryAs<PfnSetupQueryInfOriginalFileInformationA>(
      g_entries[kSetupQueryInfOriginalFileInformationA]);
  if (fn == nullptr) return kSetupApiNotBound;
  return fn(information, infIndex, platform, original);
}
