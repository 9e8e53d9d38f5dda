// The program's operator new and delete, on the C run-time heap. Every
// allocation in the program is a nothrow one whose result is checked, so the
// standard library's versions (and the exception handling, unwinder and name
// demangler they bring into the executable) are not needed.
#include <new>
#include <stdlib.h>

void* operator new(size_t size) { return malloc(size ? size : 1); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return malloc(size ? size : 1); }
void operator delete(void* block) noexcept { free(block); }
void operator delete(void* block, size_t) noexcept { free(block); }
