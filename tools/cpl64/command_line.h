// The control-panel file named on CPL64's command line.
#pragma once
#include <string>

// Everything after the program name, blanks around it removed: callers pass a
// path with blanks unquoted, so it arrives as several words. A path quoted as a
// whole loses its quotes. Empty when nothing follows the program name.
std::string AppletPathFromCommandLine(const char* commandLine);
