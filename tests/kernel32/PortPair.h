// Two COM ports wired to each other, for conformance tests that call only
// Win32: COM5 <-> COM6 of scripts/wine-env under Wine; natively either a
// virtual null-modem cable or two ptys bridged like socat's pair, mapped with
// compat::MapPort. COM9 is a port that does not exist on either.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

enum class Backend { Cable, Pty, Wine };

std::string BackendName(Backend b);
inline void PrintTo(Backend b, std::ostream* os) { *os << BackendName(b); }

class PortPair {
public:
    static constexpr const char* kA = "COM5";
    static constexpr const char* kB = "COM6";
    static constexpr const char* kMissing = "COM9";

    explicit PortPair(Backend backend);
    ~PortPair();

    Backend backend() const { return m_backend; }
    // Only the virtual cable has modem lines; ptys (under Wine too) have none.
    bool HasModemLines() const { return m_backend == Backend::Cable; }

private:
    struct Native;
    Backend m_backend;
    std::unique_ptr<Native> m_native;
};

// The backends this build can test: the virtual cable and a pty pair natively,
// the socat pair under Wine.
#ifdef _WIN32
#define PORT_BACKENDS ::testing::Values(Backend::Wine)
#else
#define PORT_BACKENDS ::testing::Values(Backend::Cable, Backend::Pty)
#endif

// Where compat knowingly differs from Wine: the value each gives, and why.
// The Windows build expects Wine's, the native build compat's, so a fixed gap
// shows up as a failure on one side.
template <class T>
struct Differs {
    T wine;
    T compat;
    const char* reason;
#ifdef _WIN32
    T Expected() const { return wine; }
#else
    T Expected() const { return compat; }
#endif
};

// OVERLAPPED.Internal as HasOverlappedIoCompleted reads it: while the request
// is pending, the system may write it from another thread at any moment.
inline ULONG_PTR InternalOf(const OVERLAPPED& ov) { return __atomic_load_n(&ov.Internal, __ATOMIC_ACQUIRE); }

// An OVERLAPPED record with its own manual-reset event.
struct Overlapped {
    OVERLAPPED ov{};
    Overlapped() { ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr); }
    ~Overlapped() { CloseHandle(ov.hEvent); }
    Overlapped(const Overlapped&) = delete;
    Overlapped& operator=(const Overlapped&) = delete;
    OVERLAPPED* get() { return &ov; }
    bool Signalled() const { return WaitForSingleObject(ov.hEvent, 0) == WAIT_OBJECT_0; }
    bool WaitFor(DWORD ms) const { return WaitForSingleObject(ov.hEvent, ms) == WAIT_OBJECT_0; }
};

// A port opened as the program opens it: read/write, exclusive, overlapped.
HANDLE OpenPort(const char* name);

// Sets the line and the read time-outs of an open port; false on failure.
bool SetLine(HANDLE h, DWORD baud, BYTE bits, BYTE parity, BYTE stop);
bool SetReadTimeouts(HANDLE h, DWORD interval, DWORD multiplier, DWORD constant);

// Writes all of `data` and waits (bounded) for the write to end; the count written.
DWORD WriteAll(HANDLE h, const void* data, DWORD size);

// Polls ClearCommError until the input queue holds at least `bytes`, for at
// most `ms`; the count last seen. The error flags it clears are ORed into *errors.
DWORD WaitForInQueue(HANDLE h, DWORD bytes, DWORD ms, DWORD* errors = nullptr);

// Both ports of a pair open, at 115200 8N1 with empty queues.
class PortPairTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        pair = std::make_unique<PortPair>(GetParam());
        a = OpenPort(PortPair::kA);
        b = OpenPort(PortPair::kB);
        ASSERT_NE(a, INVALID_HANDLE_VALUE) << "error " << GetLastError();
        ASSERT_NE(b, INVALID_HANDLE_VALUE) << "error " << GetLastError();
        ASSERT_TRUE(SetLine(a, 115200, 8, NOPARITY, ONESTOPBIT));
        ASSERT_TRUE(SetLine(b, 115200, 8, NOPARITY, ONESTOPBIT));
        ASSERT_TRUE(PurgeComm(a, PURGE_RXCLEAR | PURGE_TXCLEAR));
        ASSERT_TRUE(PurgeComm(b, PURGE_RXCLEAR | PURGE_TXCLEAR));
    }
    void TearDown() override {
        if (a != INVALID_HANDLE_VALUE) CloseHandle(a);
        if (b != INVALID_HANDLE_VALUE) CloseHandle(b);
    }
    // Ends a request left pending by a case, so that nothing writes into its
    // record once the record has gone.
    void Retire(HANDLE h, Overlapped& o) {
        if (o.Signalled()) return;
        CancelIo(h);
        EXPECT_TRUE(o.WaitFor(3000)) << "the cancelled request did not end";
    }

    std::unique_ptr<PortPair> pair;
    HANDLE a = INVALID_HANDLE_VALUE;
    HANDLE b = INVALID_HANDLE_VALUE;
};

inline std::string BackendParamName(const ::testing::TestParamInfo<Backend>& info) { return BackendName(info.param); }
