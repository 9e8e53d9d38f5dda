// CCmdTarget: an object that has a message map and can take commands.
#pragma once
#include <windows.h>

#include "framework/msg_map.h"
#include "framework/object.h"

class CCmdTarget : public CObject {
 public:
  // Runs the handler that this object's message map (or a base's) has for the
  // command id with the notification code; FALSE when none takes it.
  virtual BOOL OnCmdMsg(UINT nID, UINT nCode);

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;

  // The entry of this object's message maps for a message (and, for WM_COMMAND,
  // the id and code); null when none.
  const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT nID, UINT nCode) const;
};
