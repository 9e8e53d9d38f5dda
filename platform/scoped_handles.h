// Handles that close themselves when they leave their scope, for every place
// where the order of closing does not matter. Where it does (a registry key
// closed before the key is deleted), the close stays explicit at that place.
#pragma once
#include <windows.h>
#include <setupapi.h>

// One handle of a kind: Traits gives its type, its empty value and its close.
template <typename Traits> class Scoped {
 public:
  using Handle = typename Traits::Handle;
  Scoped() = default;
  explicit Scoped(Handle handle) : handle_(handle) {}
  ~Scoped() {
    if (handle_ != Traits::Empty()) Traits::Close(handle_);
  }
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Empty(); }
  // Where a platform call puts a new handle; the scope must hold none yet.
  Handle* Receive() { return &handle_; }

 private:
  Handle handle_ = Traits::Empty();
};

struct RegistryKeyTraits {
  using Handle = HKEY;
  static HKEY Empty() { return nullptr; }
  static void Close(HKEY key) { RegCloseKey(key); }
};
using ScopedKey = Scoped<RegistryKeyTraits>;

struct KernelHandleTraits {  // files and folders as NtOpenFile gives them: null when none
  using Handle = HANDLE;
  static HANDLE Empty() { return nullptr; }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};
using ScopedHandle = Scoped<KernelHandleTraits>;

struct ModuleTraits {
  using Handle = HMODULE;
  static HMODULE Empty() { return nullptr; }
  static void Close(HMODULE module) { FreeLibrary(module); }
};
using ScopedModule = Scoped<ModuleTraits>;

struct DeviceInfoListTraits {  // only for programs that link the setup library
  using Handle = HDEVINFO;
  static HDEVINFO Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(HDEVINFO set) { SetupDiDestroyDeviceInfoList(set); }
};
using ScopedDeviceInfoList = Scoped<DeviceInfoListTraits>;

// A started process's handles: the process handle is closed, then the thread
// handle. Zero-filled until a start fills it.
class ScopedProcess {
 public:
  ScopedProcess() { ZeroMemory(&info_, sizeof info_); }
  ~ScopedProcess() {
    if (info_.hProcess != nullptr) CloseHandle(info_.hProcess);
    if (info_.hThread != nullptr) CloseHandle(info_.hThread);
  }
  ScopedProcess(const ScopedProcess&) = delete;
  ScopedProcess& operator=(const ScopedProcess&) = delete;

  PROCESS_INFORMATION* Receive() { return &info_; }
  HANDLE Thread() const { return info_.hThread; }

 private:
  PROCESS_INFORMATION info_;
};

// A zero-filled block of the process heap, freed when it goes out of scope.
class HeapBlock {
 public:
  HeapBlock() = default;
  HeapBlock(const HeapBlock&) = delete;
  HeapBlock& operator=(const HeapBlock&) = delete;
  ~HeapBlock() { Free(); }

  // Replaces the block by one of size bytes; false when none could be had.
  bool Allocate(DWORD size) {
    Free();
    data_ = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
    return data_ != nullptr;
  }
  template <typename T> T* As() const { return static_cast<T*>(data_); }

 private:
  void Free() {
    if (data_ != nullptr) HeapFree(GetProcessHeap(), 0, data_);
    data_ = nullptr;
  }
  void* data_ = nullptr;
};

// A late-bound library group bound for the scope: Bind and Release are the
// group's own calls. A failed bind leaves nothing to release.
template <int (*Bind)(), void (*Release)()> class BoundGroup {
 public:
  BoundGroup() : bound_(Bind() != 0) {}
  ~BoundGroup() {
    if (bound_) Release();
  }
  BoundGroup(const BoundGroup&) = delete;
  BoundGroup& operator=(const BoundGroup&) = delete;
  explicit operator bool() const { return bound_; }

 private:
  bool bound_;
};
