// Registry helpers for tests that work on scratch keys (and on the product's
// fixed keys inside the project's own Wine prefix).
//
// Under Wine the owner of a key keeps DELETE whatever its DACL denies; a key
// locked with LockKey therefore gets SYSTEM as its owner as well, and then the
// denial holds. ForceDeleteKeyTree undoes every lock on its way.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

bool CreateKeyPath(HKEY root, const std::string& path);
bool KeyExists(HKEY root, const std::string& path);
// Sets a value with exactly these data bytes (a string value's terminator must be
// part of data when wanted).
bool SetValueBytes(HKEY root, const std::string& path, const std::string& name,
                   const std::string& data, DWORD type = REG_SZ);
// A string value with its terminator.
bool SetStringValue(HKEY root, const std::string& path, const std::string& name,
                    const std::string& text);
bool ValueExists(HKEY root, const std::string& path, const std::string& name);

// Denies everyone the given access rights on the key (all others stay allowed),
// and makes SYSTEM its owner. deniedAccess must leave WRITE_DAC allowed.
bool LockKey(HKEY root, const std::string& path, DWORD deniedAccess);

// Removes the key and everything below it, first lifting any lock; works through
// handles, so paths of any length are fine; leaves made by CreateCountedKey
// (below) go too, a link as the link, never followed. True when the key is gone.
bool ForceDeleteKeyTree(HKEY root, const std::string& path);

// Keys that the ANSI calls cannot name: a leaf below root\parent given by its
// wide name, counted (so it may begin with or hold a NUL). With linkTarget it is
// a registry link to that native path (for instance to a key that does not
// exist). DeleteCountedKey removes such a leaf, a link as the link itself.
bool CreateCountedKey(HKEY root, const std::string& parent, const std::wstring& name,
                      const std::wstring& linkTarget = std::wstring());
bool DeleteCountedKey(HKEY root, const std::string& parent, const std::wstring& name);

// A value set for the object's lifetime (view: 0, KEY_WOW64_64KEY or
// KEY_WOW64_32KEY) and put back as it was, or removed when there was none.
class ValueOverride {
 public:
  ValueOverride(HKEY root, const std::string& path, const std::string& name,
                const std::string& text, DWORD type, REGSAM view = 0);
  ~ValueOverride();
  ValueOverride(const ValueOverride&) = delete;
  ValueOverride& operator=(const ValueOverride&) = delete;
  bool Set() const { return set_; }

 private:
  HKEY root_;
  std::string path_, name_, saved_;
  DWORD savedType_ = 0;
  REGSAM view_;
  bool existed_ = false;
  bool set_ = false;
};
