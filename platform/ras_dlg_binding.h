// Late binding of the dial-dialog library (rasdlg.dll); see ras_api_binding.h.
// A forwarding call on an unbound group returns kRasDlgNotBound (library_group.h).
#pragma once
#include "platform/library_group.h"
#include <windows.h>
#include <ras.h>
#include <rasdlg.h>

int BindRasDlg();
void ReleaseRasDlg();

namespace RasDlgBinding {
BOOL RasDialDlgA(LPSTR phonebook, LPSTR entry, LPSTR phoneNumber, LPRASDIALDLG info);
}  // namespace RasDlgBinding
