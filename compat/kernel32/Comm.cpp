// The serial communications calls of kernel32, over compat/devices ports.
#include "devices/Ports.h"
#include "kernel32/File.h"

using namespace compat;
using namespace compat::kernel;

namespace {

void AddDcb(Call& call, const DCB& d) {
    call.args.insert(call.args.end(),
                     {{"DCBlength", d.DCBlength},     {"BaudRate", d.BaudRate},         {"fBinary", d.fBinary},
                      {"fParity", d.fParity},         {"fOutxCtsFlow", d.fOutxCtsFlow}, {"fOutxDsrFlow", d.fOutxDsrFlow},
                      {"fDtrControl", d.fDtrControl}, {"fOutX", d.fOutX},               {"fInX", d.fInX},
                      {"fRtsControl", d.fRtsControl}, {"ByteSize", d.ByteSize},         {"Parity", d.Parity},
                      {"StopBits", d.StopBits},       {"EvtChar", static_cast<BYTE>(d.EvtChar)}});
}

void AddTimeouts(Call& call, const COMMTIMEOUTS& t) {
    call.args.insert(call.args.end(), {{"ReadIntervalTimeout", t.ReadIntervalTimeout},
                                       {"ReadTotalTimeoutMultiplier", t.ReadTotalTimeoutMultiplier},
                                       {"ReadTotalTimeoutConstant", t.ReadTotalTimeoutConstant},
                                       {"WriteTotalTimeoutMultiplier", t.WriteTotalTimeoutMultiplier},
                                       {"WriteTotalTimeoutConstant", t.WriteTotalTimeoutConstant}});
}

}  // namespace

BOOL WINAPI SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue) {
    auto f = FileOf(hFile);
    if (!f) return FALSE;
    return Report(*f, {"SetupComm", "", {{"dwInQueue", dwInQueue}, {"dwOutQueue", dwOutQueue}}},
                  f->port->SetupComm(f->session, dwInQueue, dwOutQueue));
}

BOOL WINAPI GetCommState(HANDLE hFile, LPDCB lpDCB) {
    auto f = FileOf(hFile);
    if (!f) return FALSE;
    if (!lpDCB) return Report(*f, {"GetCommState", "", {}}, ERROR_INVALID_PARAMETER);
    Call call{"GetCommState", "", {{"DCBlength", lpDCB->DCBlength}}};
    return Report(*f, std::move(call), f->port->GetState(f->session, lpDCB));
}

BOOL WINAPI SetCommState(HANDLE hFile, LPDCB lpDCB) {
    auto f = FileOf(hFile);
    if (!f) return FALSE;
    if (!lpDCB) return Report(*f, {"SetCommState", "", {}}, ERROR_INVALID_PARAMETER);
    Call call{"SetCommState", "", {}};
    AddDcb(call, *lpDCB);
    return Report(*f, std::move(call), f->port->SetState(f->session, *lpDCB));
}

BOOL WINAPI GetCommTimeouts(HANDLE hFile, LPCOMMTIMEOUTS lpCommTimeouts) {
    auto f = FileOf(hFile);
    if (!f) return FALSE;
    DWORD error = lpCommTimeouts ? f->port->GetTimeouts(f->session, lpCommTimeouts) : ERROR_INVALID_PARAMETER;
    return Report(*f, {"GetCommTimeouts", "", {}}, error);
}

BOOL WINAPI SetCommTimeouts(HANDLE hFile, LPCOMMTIMEOUTS lpCommTimeouts) {
    auto f = FileOf(hFile);
    if (!f) return FALSE;
    if (!lpCommTimeouts) return Report(*f, {"SetCommTimeouts", "", {}}, ERROR_INVALID_PARAMETER);
    Call call{"SetCommTimeouts", "", {}};
    AddTimeouts(call, *lpCommTimeouts);
    return Report(*f, std::move(call), f->port->SetTimeouts(f->session, *lpCommTimeouts));
}

BOOL WINAPI SetCommMask(HANDLE hFile, DWORD dwEvtMask) {
    auto f = FileOf(hFile);
    if (!f) return FALSE;
    return Report(*f, {"SetCommMask", "", {{"dwEvtMask", dwEvtMask}}}, f->port->SetMask(f->session, dwEvtMask));
}

BOOL WINAPI GetCommMask(HANDLE hFile, LPDWORD lpEvtMask) {
    auto f = FileOf(hFile);
    if (!f) return FALSE;
    DWORD error = lpEvtMask ? f->port->GetMask(f->session, lpEvtMask) : ERROR_INVALID_PARAMETER;
    return Report(*f, {"GetCommMask", "", {}}, error);
}

BOOL WINAPI WaitCommEvent(HANDLE hFile, LPDWORD lpEvtMask, LPOVERLAPPED lpOverlapped) {
    auto f = FileOf(hFile);
    if (!f) return FALSE;
    if (!lpEvtMask) return Report(*f, {"WaitCommEvent", "", {}}, ERROR_INVALID_PARAMETER);
    devices::Request r;
    r.events = lpEvtMask;
    BOOL ok = IssueRequest(*f, lpOverlapped, nullptr, std::move(r), &devices::CommPort::WaitEvent);
    RecordIssued(*f, {"WaitCommEvent", "", {}}, ok);
    return ok;
}

BOOL WINAPI ClearCommError(HANDLE hFile, LPDWORD lpErrors, LPCOMSTAT lpStat) {
    auto f = FileOf(hFile);
    if (!f) return FALSE;
    return Report(*f, {"ClearCommError", "", {{"lpStat", lpStat != nullptr}}},
                  f->port->ClearError(f->session, lpErrors, lpStat));
}

BOOL WINAPI EscapeCommFunction(HANDLE hFile, DWORD dwFunc) {
    auto f = FileOf(hFile);
    if (!f) return FALSE;
    return Report(*f, {"EscapeCommFunction", "", {{"dwFunc", dwFunc}}}, f->port->Escape(f->session, dwFunc));
}

BOOL WINAPI GetCommModemStatus(HANDLE hFile, LPDWORD lpModemStat) {
    auto f = FileOf(hFile);
    if (!f) return FALSE;
    DWORD error = lpModemStat ? f->port->ModemStatus(f->session, lpModemStat) : ERROR_INVALID_PARAMETER;
    return Report(*f, {"GetCommModemStatus", "", {}}, error);
}

BOOL WINAPI PurgeComm(HANDLE hFile, DWORD dwFlags) {
    auto f = FileOf(hFile);
    if (!f) return FALSE;
    return Report(*f, {"PurgeComm", "", {{"dwFlags", dwFlags}}}, f->port->Purge(f->session, dwFlags));
}

BOOL WINAPI GetDefaultCommConfigA(LPCSTR lpszName, LPCOMMCONFIG lpCC, LPDWORD lpdwSize) {
    std::shared_ptr<devices::CommPort> port = devices::Resolve(devices::PortName(lpszName));
    DWORD error = 0;
    if (!port) {
        // What Wine reports for a name that is no port.
        error = ERROR_BADKEY;
    } else if (!lpCC || !lpdwSize) {
        error = ERROR_INVALID_PARAMETER;
    } else if (*lpdwSize < sizeof(COMMCONFIG)) {
        *lpdwSize = sizeof(COMMCONFIG);
        error = ERROR_INSUFFICIENT_BUFFER;
    } else {
        *lpCC = devices::CommPort::DefaultConfig();
        *lpdwSize = sizeof(COMMCONFIG);
    }
    if (port) {
        Call call{"GetDefaultCommConfigA", lpszName ? lpszName : "",
                  {{"dwSize", lpCC ? lpCC->dwSize : 0}, {"lpdwSize", lpdwSize ? *lpdwSize : 0}}};
        call.result = error == 0;
        call.error = error;
        port->Record(std::move(call));
    }
    if (error) SetLastError(error);
    return error == 0;
}

BOOL WINAPI SetCommConfig(HANDLE hCommDev, LPCOMMCONFIG lpCC, DWORD dwSize) {
    auto f = FileOf(hCommDev);
    if (!f) return FALSE;
    Call call{"SetCommConfig", "", {{"dwSize", dwSize}}};
    if (!lpCC || dwSize < sizeof(COMMCONFIG) - sizeof(lpCC->wcProviderData))
        return Report(*f, std::move(call), ERROR_INVALID_PARAMETER);
    AddDcb(call, lpCC->dcb);
    return Report(*f, std::move(call), f->port->SetState(f->session, lpCC->dcb));
}
