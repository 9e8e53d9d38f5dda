// What HalvoranSetup.exe is asked to do, read from its own command line:
//
//   HalvoranSetup.exe [options]                        install the package beside it
//   HalvoranSetup.exe /x {product code} [options]      remove the product (from the
//                                                      list of installed programs)
//   HalvoranSetup.exe /remove-from-copy {code} [options]
//                                                      the same, by the private copy
//                                                      that /x hands over to
//   HalvoranSetup.exe /rollback                        the package's roll-back step
//
// [options] are Windows Installer's own (a log switch, a UI level, properties)
// and reach msiexec exactly as typed. Switches are matched without regard to
// case, as msiexec matches its own.
#pragma once
#include <stddef.h>

enum class SetupMode {
  kInstall,
  kRemove,
  kRemoveFromCopy,
  kRollback,
  kNoProductCode,  // a removal switch without a product code after it
};

struct SetupRequest {
  SetupMode mode = SetupMode::kInstall;
  char productCode[39] = {};  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", removal modes only
  const char* options = "";   // the rest of the command line (points into it)
};

SetupRequest ReadSetupRequest(const char* commandLine);

// True when text (length characters) is a product code as Windows Installer
// writes one: a GUID in braces, 38 characters, hexadecimal digits and hyphens.
bool IsProductCode(const char* text, size_t length);

// True when the options ask Windows Installer for no user interface at all
// (/q, /qn and their variants, /quiet): then nobody is there to close a box.
bool AsksForNoUserInterface(const char* options);
