// CCmdTarget and message maps: each class lists the messages it handles in a
// table; a message goes to the first entry that matches along the class chain.
#pragma once

#include "Object.h"

class CCmdTarget;

// Adapts a message's parameters to one handler's signature.
typedef LRESULT (*AFX_PMSG)(CCmdTarget* pTarget, UINT nMsg, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;           // window message; AFX_WM_CTLCOLOR for every colour request
    UINT nCode;              // WM_COMMAND: notification code
    UINT nID;                // WM_COMMAND: control or command identifier
    const UINT* pnRegistered; // registered message: where its id is kept (read at dispatch)
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Key of the entry that takes all seven WM_CTLCOLOR* requests (the 16-bit
// WM_CTLCOLOR, which no 32-bit window receives).
#define AFX_WM_CTLCOLOR 0x0019

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    // Finds the entry for a message along this object's class chain.
    const AFX_MSGMAP_ENTRY* FindEntry(UINT nMsg, WPARAM wParam) const;
    // Routes a command (WM_COMMAND with its identifier and code) through the
    // message map; true when an entry took it.
    virtual bool OnCmdMsg(UINT nID, UINT nCode);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

// The entries are defined inside a member function, so that their handler
// adapters may call the class's protected handlers.
#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
            {0, 0, 0, nullptr, nullptr} \
        }; \
        static_cast<void>(static_cast<ThisClass*>(nullptr)); /* a map may have no entries */ \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap; \
    }

#define AFX_THIS(t) static_cast<ThisClass*>(t)

#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, 0, (UINT)(id), nullptr, \
     [](CCmdTarget* t, UINT, WPARAM, LPARAM) -> LRESULT { AFX_THIS(t)->memberFxn(); return 0; }},

#define ON_BN_CLICKED(id, memberFxn) \
    {WM_COMMAND, BN_CLICKED, (UINT)(id), nullptr, \
     [](CCmdTarget* t, UINT, WPARAM, LPARAM) -> LRESULT { AFX_THIS(t)->memberFxn(); return 0; }},

#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn) \
    {0, 0, 0, &(nMessageVariable), \
     [](CCmdTarget* t, UINT, WPARAM w, LPARAM l) -> LRESULT { return AFX_THIS(t)->memberFxn(w, l); }},
