// Both ends of a virtual null-modem cable, COM3 ("local") and COM1
// ("remote"), opened as the program opens them; helpers that keep the cases
// to what they check.
#pragma once

#include <windows.h>

#include <compat/Cable.h>
#include <gtest/gtest.h>

#include <vector>

HANDLE OpenPort(const char* name);

// Sets the line of an open port; returns SetCommState's result.
BOOL SetLine(HANDLE h, DWORD baud, BYTE bits, BYTE parity, BYTE stop, bool checkParity);

// Writes `bytes` and waits (bounded) for the write to end. TRUE with the
// count, or FALSE with the last error left by the failing call.
BOOL Write(HANDLE h, const std::vector<BYTE>& bytes, DWORD* written = nullptr);

// What the input queue holds now, read without waiting.
std::vector<BYTE> ReadQueued(HANDLE h);

// ClearCommError's error flags (which it clears).
DWORD TakeErrors(HANDLE h);

std::vector<BYTE> Pattern(std::size_t size);

// An OVERLAPPED record with its own manual-reset event.
struct Overlapped {
    OVERLAPPED ov{};
    Overlapped() { ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr); }
    ~Overlapped() { CloseHandle(ov.hEvent); }
    Overlapped(const Overlapped&) = delete;
    Overlapped& operator=(const Overlapped&) = delete;
    OVERLAPPED* get() { return &ov; }
    bool WaitFor(DWORD ms) const { return WaitForSingleObject(ov.hEvent, ms) == WAIT_OBJECT_0; }
};

class CableTest : public ::testing::Test {
protected:
    static constexpr const char* kLocal = "COM3";
    static constexpr const char* kRemote = "COM1";

    void SetUp() override {
        local = OpenPort(kLocal);
        remote = OpenPort(kRemote);
        ASSERT_NE(local, INVALID_HANDLE_VALUE);
        ASSERT_NE(remote, INVALID_HANDLE_VALUE);
    }
    void TearDown() override {
        if (local != INVALID_HANDLE_VALUE) CloseHandle(local);
        if (remote != INVALID_HANDLE_VALUE) CloseHandle(remote);
    }
    compat::CableEnd& Local() { return cable.End(kLocal); }
    compat::CableEnd& Remote() { return cable.End(kRemote); }

    compat::NullModemCable cable{kLocal, kRemote};
    HANDLE local = INVALID_HANDLE_VALUE;
    HANDLE remote = INVALID_HANDLE_VALUE;
};
