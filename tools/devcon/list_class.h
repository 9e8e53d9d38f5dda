// "listclass <class>": the present devices of one set-up class.
#pragma once

// Writes a header line and one line per present device; returns the exit code
// (0 listed, 2 no such class or the set-up API failed).
int ListClass(const char* className);
