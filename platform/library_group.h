// What the three late-bound library groups (remote access, dial dialog, setup)
// share: a library loaded by its full path in the system folder and a table of
// entry points resolved from it by name. Each group keeps one LibraryGroup as process-wide
// state. Invariant: while the handle is null every slot is null; after a
// successful bind the handle and every slot are non-null.
#pragma once
#include <windows.h>
#include <stddef.h>

struct LibraryGroup {
  const char* library;            // file name in the system folder
  const char* const* entryNames;  // in the order of resolution
  void** entries;                 // one slot per name, null while not resolved
  size_t count;
  HMODULE module;                 // null while the group has not loaded the library
};

// What a forwarding call of a group returns, instead of calling anything, while
// its group is not bound: a value of the entry point's own result type that its
// callers take for a failure. The remote-access calls return error codes, and
// (DWORD)-1 is none of theirs; the dial dialog's BOOL is -1 likewise; the
// setup calls' BOOL is FALSE, their own failure.
constexpr DWORD kRasApiNotBound = static_cast<DWORD>(-1);
constexpr BOOL kRasDlgNotBound = -1;
constexpr BOOL kSetupApiNotBound = FALSE;

// Loads the library only while the group holds none (so one release always
// frees it), then resolves every entry point afresh. true when all resolved;
// otherwise the group is released and false returned.
bool BindLibraryGroup(LibraryGroup& group);

// Frees the library when the group holds it, then clears every slot.
void ReleaseLibraryGroup(LibraryGroup& group);

// Loads the system folder's library `name` by its full path. The libraries it
// imports come from the system folder only where the system can say so
// (LOAD_LIBRARY_SEARCH_SYSTEM32: Windows 8 and later, and Windows Vista and 7
// with update KB2533623, which have AddDllDirectory); elsewhere the loader's
// own search finds them, as it does for LoadLibraryA. Null when it does not load.
HMODULE LoadSystemLibrary(const char* name);

// Takes the current folder out of the search for libraries that are loaded by
// bare name (SetDllDirectoryA(""), where the system has it). Called once, at
// the start, before anything is loaded late.
void RemoveCurrentFolderFromLibrarySearch();

// A slot read as the entry point's own function type (null when unresolved).
template <typename Pfn> inline Pfn EntryAs(void* slot) {
  return reinterpret_cast<Pfn>(slot);
}
