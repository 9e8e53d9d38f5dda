// Registry tree removal: a key with every key below it, depth first.
#pragma once
#include <windows.h>

constexpr size_t kRegistryPathBufferSize = 520;

// 1 when the tree at root\path is gone (also when it never existed); 0 when any
// of it is still there. path is not modified.
int DeleteRegistryTree(HKEY root, const char* path);

// The recursive step: pathBuffer (kRegistryPathBufferSize bytes) holds the path
// of the key to remove and holds it again on return.
int DeleteKeyRecursive(HKEY root, char* pathBuffer);
