// Message maps: each class that handles window messages or commands lists them
// in a table, and the tables of a class and its bases are searched from the most
// derived one up. A class declares its table with DECLARE_MESSAGE_MAP() and
// defines it between BEGIN_MESSAGE_MAP(theClass, baseClass) and END_MESSAGE_MAP().
//
// Each entry holds a small thunk that unpacks the message's parameters and calls
// the handler on the derived object, so no member-function pointers are cast.
#pragma once
#include <windows.h>

class CCmdTarget;

// The framework's single message for the seven control-colour messages
// (WM_CTLCOLORMSGBOX ... WM_CTLCOLORSTATIC); the handler gets the type 0..6.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

typedef LRESULT (*AFX_PMSG)(CCmdTarget* target, UINT message, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // the window message; WM_CTLCOLOR for the control colours; 0 ends the table
  UINT nCode;     // WM_COMMAND: the notification code (0 for buttons and menus)
  UINT nID;       // WM_COMMAND: the command id
  AFX_PMSG pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for the root
  const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                     \
 protected:                                       \
  static const AFX_MSGMAP* GetThisMessageMap();   \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                       \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                  \
    typedef theClass ThisClass;                                                      \
    typedef baseClass TheBaseClass;                                                  \
    static_assert(sizeof(ThisClass) >= sizeof(TheBaseClass), "base class");         \
    static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                            \
      {0, 0, 0, nullptr}};                                                           \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, messageEntries}; \
    return &messageMap;                                                              \
  }

// WM_COMMAND with this id and notification code 0: void memberFxn().
#define ON_COMMAND(id, memberFxn)                                          \
  {WM_COMMAND, 0, static_cast<UINT>(id),                                   \
   [](CCmdTarget* t, UINT, WPARAM, LPARAM) -> LRESULT {                    \
     (static_cast<ThisClass*>(t)->*(memberFxn))();                         \
     return 0;                                                             \
   }},

// Any message: LRESULT memberFxn(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn)                                     \
  {static_cast<UINT>(message), 0, 0,                                       \
   [](CCmdTarget* t, UINT, WPARAM w, LPARAM l) -> LRESULT {                \
     return (static_cast<ThisClass*>(t)->*(memberFxn))(w, l);              \
   }},

// WM_PAINT: void OnPaint().
#define ON_WM_PAINT()                                                      \
  {WM_PAINT, 0, 0, [](CCmdTarget* t, UINT, WPARAM, LPARAM) -> LRESULT {   \
     static_cast<ThisClass*>(t)->OnPaint();                                \
     return 0;                                                             \
   }},

// WM_QUERYDRAGICON: HCURSOR OnQueryDragIcon().
#define ON_WM_QUERYDRAGICON()                                                      \
  {WM_QUERYDRAGICON, 0, 0, [](CCmdTarget* t, UINT, WPARAM, LPARAM) -> LRESULT {   \
     return reinterpret_cast<LRESULT>(static_cast<ThisClass*>(t)->OnQueryDragIcon()); \
   }},

// The control colours: HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor).
#define ON_WM_CTLCOLOR()                                                            \
  {WM_CTLCOLOR, 0, 0, [](CCmdTarget* t, UINT message, WPARAM w, LPARAM l) -> LRESULT { \
     ThisClass* self = static_cast<ThisClass*>(t);                                  \
     CDC dc(reinterpret_cast<HDC>(w));                                              \
     CWnd* control = self->FromChildHandle(reinterpret_cast<HWND>(l));             \
     if (control == nullptr) return self->Default();                                \
     return reinterpret_cast<LRESULT>(                                              \
         self->OnCtlColor(&dc, control, message - WM_CTLCOLORMSGBOX));              \
   }},
