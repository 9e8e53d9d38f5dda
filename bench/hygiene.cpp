// Resource hygiene under repetition: rounds of the modem search (against the
// fake remote-access library, the system's for the run, which lists the modem) and of
// the installed-product lookup (against records this program writes), each
// beside a baseline that makes the same platform calls directly. For every run
// of `rounds` rounds it writes the time per round and how much the process's
// handle, GDI-object and heap counts moved:
//   <subject> <ms per round> <handles> <gdi objects> <heap bytes> <heap blocks>
//   bench_hygiene.exe <runs> <rounds> <result file>
#include <windows.h>
#include <ras.h>
#include <raserror.h>
#include <shlwapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <initializer_list>

#include "bench/process_counts.h"
#include "job/product_names.h"
#include "modem/modem_setup.h"
#include "records/installed_product.h"

namespace {

int __cdecl NoStatus(void*, const char*, ...) { return 1; }

bool SearchModem() {
  int found = 0;
  return FindModemDevice(&found, kModemName, NoStatus) && found;
}

bool LookUpProduct() {
  char directory[MAX_PATH] = {};
  return FindInstalledProduct(kAcceleratorBrand, directory) && directory[0] != '\0';
}

// The platform calls of one search, made directly: load, resolve, size probe,
// list, free.
bool SearchModemDirectly() {
  HMODULE library = LoadLibraryA("rasapi32.dll");
  if (library == nullptr) return false;
  const char* const names[] = {"RasEnumDevicesA", "RasEnumEntriesA", "RasGetEntryPropertiesA",
                               "RasSetEntryPropertiesA", "RasSetEntryDialParamsA", "RasDeleteEntryA"};
  for (const char* name : names) GetProcAddress(library, name);
  auto enumDevices = reinterpret_cast<decltype(&RasEnumDevicesA)>(
      reinterpret_cast<void*>(GetProcAddress(library, "RasEnumDevicesA")));
  DWORD bytes = 0, count = 0;
  bool listed = false;
  if (enumDevices(nullptr, &bytes, &count) == ERROR_BUFFER_TOO_SMALL) {
    auto* devices = static_cast<RASDEVINFOA*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
    devices[0].dwSize = sizeof(RASDEVINFOA);
    listed = enumDevices(devices, &bytes, &count) == 0;
    HeapFree(GetProcessHeap(), 0, devices);
  }
  FreeLibrary(library);
  return listed;
}

// The registry calls of one lookup, made directly: both keys opened, their
// first values read, closed.
bool LookUpProductDirectly() {
  bool read = true;
  for (const char* path : {kBrandKey, kProductKey}) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    char name[MAX_PATH];
    BYTE data[MAX_PATH];
    DWORD nameSize = sizeof name, dataSize = sizeof data;
    read = RegEnumValueA(key, 0, name, &nameSize, nullptr, nullptr, data, &dataSize) == ERROR_SUCCESS && read;
    RegCloseKey(key);
  }
  return read;
}

bool SetString(const char* path, const char* name, const char* value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  LONG status = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                               static_cast<DWORD>(strlen(value) + 1));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  int runs = atoi(argv[1]), rounds = atoi(argv[2]);
  FILE* out = fopen(argv[3], "w");
  if (out == nullptr) return 3;
  // This 64-bit program reads the native layout of the records.
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, kProductKey);
  if (!SetString(kBrandKey, "APP1", kAcceleratorBrand) ||
      !SetString(kProductKey, "InstallationDir", "C:\\Program Files\\Zorvane\\Accelerator"))
    return 4;

  struct Subject {
    const char* name;
    bool (*round)();
  };
  const Subject subjects[] = {{"FindModemDevice", SearchModem},
                              {"modem_baseline", SearchModemDirectly},
                              {"FindInstalledProduct", LookUpProduct},
                              {"product_baseline", LookUpProductDirectly}};
  // The fake library links its own C++ run-time, which
  // keeps 73 KB per load that unloading never returns. Held loaded here, each
  // bind and release still runs, and the counts show the program's own use.
  LoadLibraryA("rasapi32.dll");
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  int failures = 0;
  for (const Subject& s : subjects)  // what a first call sets up once is not counted
    for (int i = 0; i < 10; ++i) failures += !s.round();
  for (int run = 0; run < runs; ++run) {
    for (const Subject& s : subjects) {
      DeleteFileA("fake_calls.log");  // the fake's call log, which grows by every call
      ProcessCounts before = CountProcess();
      LARGE_INTEGER start, end;
      QueryPerformanceCounter(&start);
      for (int i = 0; i < rounds; ++i) failures += !s.round();
      QueryPerformanceCounter(&end);
      ProcessCounts after = CountProcess();
      fprintf(out, "%s %.4f %ld %ld %lld %lld\n", s.name,
              1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart / rounds,
              after.handles - before.handles, after.gdiObjects - before.gdiObjects,
              static_cast<long long>(after.heapBytes) - static_cast<long long>(before.heapBytes),
              static_cast<long long>(after.heapBlocks) - static_cast<long long>(before.heapBlocks));
    }
  }
  fprintf(out, "failed_rounds %d\n", failures);
  fclose(out);
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, kProductKey);
  return failures == 0 ? 0 : 1;
}
