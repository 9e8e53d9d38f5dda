// A file or folder told apart by what it is, not by how it was named: short
// names, case, links, substituted drives and redirected views all reach the
// same object under other paths.
#pragma once
#include <windows.h>

// The volume's serial number and the object's index on it.
struct FileIdentity {
  DWORD volume = 0;
  DWORD indexHigh = 0;
  DWORD indexLow = 0;
  bool operator==(const FileIdentity& other) const {
    return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
  }
};

// The object open as handle, and its attributes (FILE_ATTRIBUTE_...).
bool ReadIdentity(HANDLE handle, FileIdentity* identity, DWORD* attributes);
// The object that path names now, links followed (the system's own folders
// may lie behind its junctions); false when there is none.
bool IdentityOfPath(const wchar_t* path, FileIdentity* identity);
