#include "platform/native_file_view.h"

#include <windows.h>

#include "platform/probes.h"

typedef decltype(&Wow64DisableWow64FsRedirection) PfnWow64DisableWow64FsRedirection;
typedef decltype(&Wow64RevertWow64FsRedirection) PfnWow64RevertWow64FsRedirection;

NativeFileView::NativeFileView() {
#if defined(_WIN64)
  ready_ = true;
#else
  if (!IsWow64()) {
    ready_ = true;
    return;
  }
  // Looked up in the loaded kernel32: the 32-bit Windows XP has neither.
  HMODULE kernel = GetModuleHandleA("kernel32");
  if (kernel == nullptr) return;
  auto disable = reinterpret_cast<PfnWow64DisableWow64FsRedirection>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
  void* revert = reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64RevertWow64FsRedirection"));
  if (disable == nullptr || revert == nullptr || !disable(&saved_)) return;
  revert_ = revert;
  ready_ = true;
#endif
}

NativeFileView::~NativeFileView() {
  if (revert_ != nullptr) reinterpret_cast<PfnWow64RevertWow64FsRedirection>(revert_)(saved_);
}
