// import_probe.dll: a library that notes where it was loaded from, and
// probe_importer.dll, which imports it. Planted as a system library, the
// importer shows where the loader found its import: each load of the probe
// appends its own full path as a line to "import_probe.log" in the current
// directory. Built twice: IMPORT_PROBE_IMPORTER makes the importer.
#include <windows.h>

#include "tests/support/file_bytes.h"

#if defined(IMPORT_PROBE_IMPORTER)

extern "C" __declspec(dllimport) int ImportProbe();

extern "C" __declspec(dllexport) int UsesImportProbe() { return ImportProbe(); }

#else

extern "C" __declspec(dllexport) int ImportProbe() { return 1; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(instance, path, sizeof path);
    filebytes::AppendLine("import_probe.log", path);
  }
  return TRUE;
}

#endif
