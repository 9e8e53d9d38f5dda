// The file system as Windows' own 64-bit programs see it. A 32-bit process
// under WOW64 has %windir%\System32 redirected to SysWOW64 (and reaches the
// native folder as Sysnative); a check of a folder and the delete it allows
// must both see the folder the delete would reach, so both run with the
// redirection off. While it is off nothing may load a library: the loader
// would take the 64-bit folder's files.
#pragma once

// Turns the calling thread's redirection off while it lives, and back on.
class NativeFileView {
 public:
  NativeFileView();
  ~NativeFileView();
  NativeFileView(const NativeFileView&) = delete;
  NativeFileView& operator=(const NativeFileView&) = delete;

  // false when the process is redirected and the redirection could not be
  // turned off (a 64-bit process, and a 32-bit one on 32-bit Windows, never is).
  bool Ready() const { return ready_; }

 private:
  bool ready_ = false;
  void* revert_ = nullptr;  // the revert function, once the redirection is off
  void* saved_ = nullptr;
};
