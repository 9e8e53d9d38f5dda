#include "framework/message_box.h"

#include "framework/win_app.h"

int AfxMessageBox(const char* text, UINT type, UINT /*helpContext: no help file is shipped*/) {
  // No owner window: boxes are shown by the worker thread as well as by the
  // interface thread, and an owner on another thread would tie their input together.
  return MessageBoxA(nullptr, text, AfxGetAppName(), type);
}
