#include "platform/ras_dlg_binding.h"

#include "platform/library_group.h"

typedef decltype(&::RasDialDlgA) PfnRasDialDlgA;

namespace {

enum { kRasDialDlgA, kEntryCount };
const char* const kEntryNames[kEntryCount] = {"RasDialDlgA"};
void* g_entries[kEntryCount];
LibraryGroup g_rasDlg = {"rasdlg.dll", kEntryNames, g_entries, kEntryCount, nullptr};

}  // namespace

int BindRasDlg() { return BindLibraryGroup(g_rasDlg) ? 1 : 0; }

void ReleaseRasDlg() { ReleaseLibraryGroup(g_rasDlg); }

BOOL RasDlgBinding::RasDialDlgA(LPSTR phonebook, LPSTR entry, LPSTR phoneNumber,
                                LPRASDIALDLG info) {
  PfnRasDialDlgA fn = EntryAs<PfnRasDialDlgA>(g_entries[kRasDialDlgA]);
  if (fn == nullptr) return kRasDlgNotBound;
  return fn(phonebook, entry, phoneNumber, info);
}
