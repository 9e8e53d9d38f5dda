// The instruction text of the install and uninstall modes, read from a file in
// the current directory and shown unchanged, line breaks included.
#pragma once

class CWnd;

// Shows at most the first 8191 bytes of the file in the text area, up to its
// first NUL byte. A file that is missing or cannot be read leaves the text area empty.
void ShowInstructionFile(CWnd* textArea, const char* fileName);
