// What a process holds, counted from inside it. Under Wine neither
// GetGuiResources nor GetProcessHandleCount answers (they return 0), so the
// counts come from the system's handle list, the process's GDI handle table
// and a walk of every heap.
#pragma once
#include <stddef.h>

struct ProcessCounts {
  long handles = -1;     // kernel handles of this process
  long gdiObjects = -1;  // live entries of its GDI handle table (stock objects included)
  size_t heapBytes = 0;  // bytes in busy blocks, over all heaps of the process
  size_t heapBlocks = 0;
};

ProcessCounts CountProcess();
