// For the size benchmark only: the program's allocations through the C
// run-time heap, so that the standard library's operator new, and with it the
// exception machinery and the demangler, stay out of the linked program.
#include <new>
#include <stdlib.h>

void* operator new(size_t size) { return malloc(size ? size : 1); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return malloc(size ? size : 1); }
void operator delete(void* block) noexcept { free(block); }
void operator delete(void* block, size_t) noexcept { free(block); }
