#include "ui/instruction_text.h"

#include <io.h>
#include <stdio.h>
#include <string.h>

#include "framework/wnd.h"

void ShowInstructionFile(CWnd* textArea, const char* fileName) {
  char text[8192];
  memset(text, 0, sizeof text);
  if (FILE* file = fopen(fileName, "rb")) {
    // One low-level read: the bytes as they are, no line-end translation; the
    // last byte stays NUL.
    if (_read(_fileno(file), text, sizeof text - 1) < 0) memset(text, 0, sizeof text);
    fclose(file);
  }
  if (textArea != nullptr) textArea->SetWindowText(text);
}
