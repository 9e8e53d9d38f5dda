#include "bench/process_counts.h"

#include <windows.h>
#include <winternl.h>
#include <stdint.h>

#include <vector>

namespace {

// SystemHandleInformation (16): a count, then one entry per handle of the system.
struct HandleEntry {
  ULONG pid;
  UCHAR objectType;
  UCHAR flags;
  USHORT handle;
  PVOID object;
  ACCESS_MASK access;
};

long CountHandles() {
  typedef NTSTATUS(NTAPI * PfnQuery)(ULONG, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<PfnQuery>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll"), "NtQuerySystemInformation")));
  if (query == nullptr) return -1;
  std::vector<BYTE> buffer(1 << 20);
  for (;;) {
    ULONG needed = 0;
    NTSTATUS status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == static_cast<NTSTATUS>(0xC0000004)) {  // the list grew: a larger buffer
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (status != 0) return -1;
    break;
  }
  ULONG count = *reinterpret_cast<ULONG*>(buffer.data());
  auto* entries = reinterpret_cast<HandleEntry*>(buffer.data() + sizeof(void*));
  long own = 0;
  for (ULONG i = 0; i < count; ++i)
    if (entries[i].pid == GetCurrentProcessId()) ++own;
  return own;
}

// The PEB names the process's GDI handle table: 65536 entries of 24 bytes on
// 64-bit Windows and Wine; an entry in use has a non-zero object type.
long CountGdiObjects() {
#if defined(_WIN64)
  struct Entry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t user;
  };
  static_assert(sizeof(Entry) == 24, "GDI handle table entry");
  typedef NTSTATUS(NTAPI * PfnQuery)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<PfnQuery>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic = {};
  if (query == nullptr || query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
    return -1;
  const BYTE* peb = reinterpret_cast<const BYTE*>(basic.PebBaseAddress);
  const Entry* table = *reinterpret_cast<Entry* const*>(peb + 0xF8);
  if (table == nullptr) return -1;
  long used = 0;
  for (int i = 0; i < 0x10000; ++i)
    if (table[i].type != 0) ++used;
  return used;
#else
  return -1;
#endif
}

void CountHeaps(ProcessCounts* counts) {
  std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
  heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  for (HANDLE heap : heaps) {
    if (!HeapLock(heap)) continue;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
        counts->heapBytes += entry.cbData;
        ++counts->heapBlocks;
      }
    }
    HeapUnlock(heap);
  }
}

}  // namespace

ProcessCounts CountProcess() {
  ProcessCounts counts;
  counts.handles = CountHandles();
  counts.gdiObjects = CountGdiObjects();
  CountHeaps(&counts);
  return counts;
}
