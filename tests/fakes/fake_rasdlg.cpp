// Fake rasdlg.dll: RasDialDlgA records its arguments and the RASDIALDLG bytes
// and shows nothing (formats: fake_stack.h).
#include <windows.h>
#include <ras.h>
#include <rasdlg.h>

#include <algorithm>

#include "tests/fakes/fake_runtime.h"

namespace {
const char kLib[] = "rasdlg";
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  fakeruntime::LogModuleEvent(kLib, reason, reserved);
  return TRUE;
}

BOOL APIENTRY RasDialDlgA(LPSTR phonebook, LPSTR entry, LPSTR phoneNumber, LPRASDIALDLG info) {
  // TRUE stands for "connected"; the platform refuses a record of another size.
  BOOL natural = info != nullptr && info->dwSize == sizeof(RASDIALDLG);
  BOOL result = static_cast<BOOL>(fakeruntime::ScriptedNumber(kLib, "RasDialDlgA", nullptr,
                                                              static_cast<unsigned long>(natural)));
  size_t logged = info ? std::min<size_t>(info->dwSize, sizeof(RASDIALDLG)) : 0;
  fakeruntime::Log(kLib, std::string("RasDialDlgA phonebook=") + fakefiles::Text(phonebook) +
                             " entry=" + fakefiles::Text(entry) +
                             " phoneNumber=" + fakefiles::Text(phoneNumber) +
                             " info=" + fakefiles::Bytes(info, logged) +
                             " result=" + fakefiles::Signed(result));
  return result;
}
