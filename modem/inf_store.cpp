#include "modem/inf_store.h"

#include <windows.h>
#include <setupapi.h>
#include <string.h>

#include "platform/bounded_string.h"
#include "platform/scoped_handles.h"
#include "platform/setup_api_binding.h"

#if !defined(_WIN64)
static_assert(sizeof(SP_ORIGINAL_FILE_INFO_A) == 524, "the platform's original-name record");
#endif

namespace {

// Sizes the library reports beyond these are not believed.
constexpr DWORD kListLimit = 16 * 1024 * 1024;  // characters of the store's list
constexpr DWORD kInformationLimit = 1024 * 1024;  // bytes of one INF's information

// The names of the store's INF files (a null directory is the system's store),
// one after another, an empty name at the end. No size probe first: Wine's
// library answers a probe with 0. A store that does not fit the first guess
// says how much it needs.
bool ReadStoreList(HeapBlock* list, DWORD* bytes) {
  DWORD capacity = 16384;
  for (int attempt = 0; attempt < 3; ++attempt) {
    // Two zero bytes to spare: the list ends whatever the library wrote.
    if (!list->Allocate(capacity + 2)) return false;
    DWORD required = 0;
    if (SetupApiBinding::SetupGetInfFileListA(nullptr, INF_STYLE_OLDNT | INF_STYLE_WIN4,
                                              list->As<char>(), capacity, &required)) {
      *bytes = capacity + 2;
      return true;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || required <= capacity ||
        required > kListLimit)
      return false;
    capacity = required;
  }
  return false;
}

// Whether the store file `name` came into the store as originalName.
bool HasOriginalName(const char* name, const char* originalName) {
  DWORD required = 0;
  // The size first: the version data that comes with the answer has no fixed bound.
  if (!SetupApiBinding::SetupGetInfInformationA(name, INFINFO_DEFAULT_SEARCH, nullptr, 0,
                                                &required) &&
      GetLastError() != ERROR_INSUFFICIENT_BUFFER)
    return false;
  if (required < sizeof(SP_INF_INFORMATION) || required > kInformationLimit) return false;
  HeapBlock information;
  if (!information.Allocate(required)) return false;
  auto* info = information.As<SP_INF_INFORMATION>();
  if (!SetupApiBinding::SetupGetInfInformationA(name, INFINFO_DEFAULT_SEARCH, info, required,
                                                nullptr))
    return false;

  SP_ORIGINAL_FILE_INFO_A original;
  memset(&original, 0, sizeof original);
  original.cbSize = sizeof original;
  if (!SetupApiBinding::SetupQueryInfOriginalFileInformationA(info, 0, nullptr, &original))
    return false;
  // An unterminated name matches nothing.
  if (memchr(original.OriginalInfName, '\0', sizeof original.OriginalInfName) == nullptr)
    return false;
  return _stricmp(original.OriginalInfName, originalName) == 0;
}

}  // namespace

bool RemoveInfFromStore(const char* originalName, const char* fallbackName) {
  int found = 0;
  int removed = 0;
  HeapBlock list;
  DWORD bytes = 0;
  if (ReadStoreList(&list, &bytes)) {
    const char* end = list.As<char>() + bytes;
    for (const char* entry = list.As<char>(); entry < end && *entry != '\0';
         entry += strlen(entry) + 1) {
      // Only the store's own names are asked: asking every INF would open them all.
      char name[MAX_PATH];
      if (!CopyBounded(name, entry) || _strnicmp(name, "oem", 3) != 0 ||
          !HasOriginalName(name, originalName))
        continue;
      ++found;
      if (SetupApiBinding::SetupUninstallOEMInfA(name, SUOI_FORCEDELETE, nullptr)) ++removed;
    }
  }
  if (found == 0)
    return SetupApiBinding::SetupUninstallOEMInfA(fallbackName, SUOI_FORCEDELETE, nullptr) != FALSE;
  return removed == found;
}
