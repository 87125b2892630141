// CreateFileA, ReadFile, WriteFile, GetOverlappedResult, CancelIo on COM ports.
#include "kernel32/File.h"


#include "devices/Ports.h"
#include "devices/Status.h"

namespace compat::kernel {

std::shared_ptr<File> FileOf(HANDLE h) {
    auto file = LookupAs<File>(h);
    if (!file) SetLastError(ERROR_INVALID_HANDLE);
    return file;
}

BOOL Report(File& file, Call call, DWORD error) {
    call.result = error == 0;
    call.error = error;
    file.port->Record(std::move(call));
    if (error) SetLastError(error);
    return error == 0;
}

namespace {

ULONG_PTR LoadStatus(const OVERLAPPED* ov) { return __atomic_load_n(&ov->Internal, __ATOMIC_ACQUIRE); }

// The low bit of hEvent asks Windows not to queue a completion packet; the
// event is the handle without it.
HANDLE EventOf(const OVERLAPPED* ov) {
    return reinterpret_cast<HANDLE>(reinterpret_cast<std::uintptr_t>(ov->hEvent) & ~std::uintptr_t{1});
}

}  // namespace

void RecordIssued(File& file, Call call, BOOL ok) {
    call.result = ok;
    call.error = ok ? 0 : GetLastError();
    file.port->Record(std::move(call));
}

BOOL IssueRequest(File& file, LPOVERLAPPED ov, LPDWORD count, devices::Request request,
                  devices::Issued (devices::CommPort::*issue)(devices::Request)) {
    OVERLAPPED own{};
    std::shared_ptr<Event> ownEvent;
    if (!file.overlapped) {
        ownEvent = std::make_shared<Event>(true, false);
        ov = &own;
    } else if (!ov) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (file.overlapped && EventOf(ov)) {
        request.event = LookupAs<Event>(EventOf(ov));
        if (!request.event) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
    } else {
        request.event = ownEvent;
    }
    request.ov = ov;
    request.fileEvent = file.ioDone;
    request.session = file.session;
    request.thread = GetCurrentThreadId();
    {
        std::lock_guard<std::mutex> guard(SignalLock());
        if (request.event) request.event->Reset();
        file.ioDone->Reset();
    }
    ov->InternalHigh = 0;
    __atomic_store_n(&ov->Internal, static_cast<ULONG_PTR>(STATUS_PENDING), __ATOMIC_RELEASE);

    devices::Issued issued = ((*file.port).*issue)(std::move(request));
    if (issued.pending && !file.overlapped) {
        BlockUntil(*ownEvent, [&] { return ownEvent->Signalled(); });
        DWORD status = static_cast<DWORD>(LoadStatus(&own));
        issued = {false, devices::IsError(status) ? devices::ToWin32Error(status) : 0,
                  static_cast<DWORD>(own.InternalHigh)};
    }
    if (issued.pending) {
        SetLastError(ERROR_IO_PENDING);
        return FALSE;
    }
    if (issued.error) {
        __atomic_store_n(&ov->Internal, static_cast<ULONG_PTR>(devices::ToStatus(issued.error)), __ATOMIC_RELEASE);
        SetLastError(issued.error);
        return FALSE;
    }
    if (count) *count = issued.count;
    return TRUE;
}

}  // namespace compat::kernel

using namespace compat;
using namespace compat::kernel;

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, LPSECURITY_ATTRIBUTES,
                          DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE) {
    const std::string name = devices::PortName(lpFileName);
    std::shared_ptr<devices::CommPort> port = devices::Resolve(name);
    if (!port) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    Call call{"CreateFileA", lpFileName ? lpFileName : "",
              {{"dwDesiredAccess", dwDesiredAccess},
               {"dwShareMode", dwShareMode},
               {"dwCreationDisposition", dwCreationDisposition},
               {"dwFlagsAndAttributes", dwFlagsAndAttributes}}};
    std::uint64_t session = 0;
    // A COM port must be opened with OPEN_EXISTING.
    DWORD error = dwCreationDisposition == OPEN_EXISTING ? port->Open(&session) : ERROR_INVALID_PARAMETER;
    call.result = error == 0;
    call.error = error;
    port->Record(std::move(call));
    if (error) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE h = Insert(std::make_shared<File>(port, session, (dwFlagsAndAttributes & FILE_FLAG_OVERLAPPED) != 0));
    SetLastError(ERROR_SUCCESS);
    return h;
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPOVERLAPPED lpOverlapped) {
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
    auto file = FileOf(hFile);
    if (!file) return FALSE;
    devices::Request r;
    r.buffer = static_cast<BYTE*>(lpBuffer);
    r.size = nNumberOfBytesToRead;
    BOOL ok = IssueRequest(*file, lpOverlapped, lpNumberOfBytesRead, std::move(r), &devices::CommPort::Read);
    RecordIssued(*file, {"ReadFile", "", {{"nNumberOfBytesToRead", nNumberOfBytesToRead}}}, ok);
    return ok;
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                      LPOVERLAPPED lpOverlapped) {
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
    auto file = FileOf(hFile);
    if (!file) return FALSE;
    devices::Request r;
    const BYTE* bytes = static_cast<const BYTE*>(lpBuffer);
    r.data.assign(bytes, bytes + nNumberOfBytesToWrite);
    r.size = nNumberOfBytesToWrite;
    BOOL ok = IssueRequest(*file, lpOverlapped, lpNumberOfBytesWritten, std::move(r), &devices::CommPort::Write);
    RecordIssued(*file, {"WriteFile", "", {{"nNumberOfBytesToWrite", nNumberOfBytesToWrite}}}, ok);
    return ok;
}

BOOL WINAPI GetOverlappedResult(HANDLE hFile, LPOVERLAPPED lpOverlapped, LPDWORD lpNumberOfBytesTransferred,
                                BOOL bWait) {
    auto file = FileOf(hFile);
    if (!file) return FALSE;
    DWORD status = static_cast<DWORD>(LoadStatus(lpOverlapped));
    if (status == STATUS_PENDING) {
        if (!bWait) {
            SetLastError(ERROR_IO_INCOMPLETE);
            return FALSE;
        }
        std::shared_ptr<Object> waitOn = file->ioDone;
        if (HANDLE event = EventOf(lpOverlapped)) waitOn = LookupAs<Event>(event);
        if (!waitOn) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        BlockUntil(*waitOn, [&] {
            status = static_cast<DWORD>(LoadStatus(lpOverlapped));
            return status != STATUS_PENDING;
        });
    }
    if (lpNumberOfBytesTransferred) *lpNumberOfBytesTransferred = static_cast<DWORD>(lpOverlapped->InternalHigh);
    if (devices::IsError(status)) {
        SetLastError(devices::ToWin32Error(status));
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI CancelIo(HANDLE hFile) {
    auto file = FileOf(hFile);
    if (!file) return FALSE;
    return Report(*file, {"CancelIo", "", {}}, file->port->Cancel(file->session, GetCurrentThreadId()));
}
