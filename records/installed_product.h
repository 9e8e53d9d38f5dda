// Installed-product lookup: is the accelerator of a brand installed, and where.
#pragma once

// 1 when the first brand value under the brand key begins with brandName, else 0.
// On 1, writes the installation directory into directory (260 bytes, may be null)
// when the product key holds one that fits; otherwise leaves the buffer untouched.
int FindInstalledProduct(const char* brandName, char* directory);
