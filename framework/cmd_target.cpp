#include "framework/cmd_target.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY noEntries[] = {{0, 0, 0, nullptr}};
  static const AFX_MSGMAP rootMap = {nullptr, noEntries};
  return &rootMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message, UINT nID, UINT nCode) const {
  for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nMessage != 0; ++entry) {
      if (entry->nMessage != message) continue;
      if (message == WM_COMMAND && (entry->nID != nID || entry->nCode != nCode)) continue;
      return entry;
    }
  }
  return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, UINT nCode) {
  const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_COMMAND, nID, nCode);
  if (entry == nullptr) return FALSE;
  entry->pfn(this, WM_COMMAND, MAKEWPARAM(nID, nCode), 0);
  return TRUE;
}
