// A handle from CreateFileA: one open of a COM port.
#pragma once

#include "devices/CommPort.h"
#include "kernel32/Objects.h"

namespace compat::kernel {

class File : public Object {
public:
    File(std::shared_ptr<devices::CommPort> port, std::uint64_t session, bool overlapped)
        : port(std::move(port)), session(session), overlapped(overlapped) {}
    ~File() override { port->Close(session); }

    const std::shared_ptr<devices::CommPort> port;
    const std::uint64_t session;
    const bool overlapped;
    // Signalled when a request on this handle ends: what GetOverlappedResult
    // waits on for a record without an event, as Windows waits on the file.
    const std::shared_ptr<Event> ioDone = std::make_shared<Event>(true, false);
};

// The File behind a handle; null with ERROR_INVALID_HANDLE set when there is none.
std::shared_ptr<File> FileOf(HANDLE h);

// Records a call on the port, then reports it: FALSE with the error as last
// error, or TRUE leaving the last error alone.
BOOL Report(File& file, Call call, DWORD error);

// Records a request's call with the outcome IssueRequest reported
// (ERROR_IO_PENDING for a pending one).
void RecordIssued(File& file, Call call, BOOL ok);

// Issues an overlapped request: resets its event, marks the record pending and
// hands it to `issue`. A handle opened without FILE_FLAG_OVERLAPPED waits for
// the end, as a synchronous handle does.
BOOL IssueRequest(File& file, LPOVERLAPPED ov, LPDWORD count, devices::Request request,
                  devices::Issued (devices::CommPort::*issue)(devices::Request));

}  // namespace compat::kernel
