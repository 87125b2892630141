// CSerialPort owns one serial device (a COM port) and every basic operation
// on it: opening, line settings, handshaking, read time-outs, the event mask,
// reads, writes and event waits as overlapped requests bounded by a time-out,
// and the modem-control lines. The listener layers derive from it.
//
// No operation throws. Each returns an error code (0 or a Win32 code) and
// keeps it in m_lLastError; the queries return a value instead.
#pragma once

#include <windows.h>

#include <atomic>

class CSerialPort {
public:
    // 32-bit, so that any value a caller passes is one the operations can refuse.
    enum HandshakeMode : int { HandshakeOff = 0, HandshakeHardware = 1, HandshakeSoftware = 2 };
    enum ReadTimeoutMode : int { ReadNonBlocking = 0, ReadBlocking = 1 };

    CSerialPort();
    virtual ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    virtual LONG Open(LPCSTR lpszDevice, DWORD dwInQueue, DWORD dwOutQueue);
    virtual LONG Close();
    virtual LONG Setup(DWORD dwBaudrate, BYTE bDataBits, BYTE bParity, BYTE bStopBits);
    virtual LONG SetEventChar(char cEventChar, bool bAdjustMask);
    virtual LONG SetMask(DWORD dwEventMask);
    virtual LONG WaitEvent(LPOVERLAPPED lpOverlapped, DWORD dwTimeout);
    virtual LONG SetupHandshaking(HandshakeMode eHandshake);
    virtual LONG SetupReadTimeouts(ReadTimeoutMode eReadTimeout);
    virtual LONG GetBaudrate();
    virtual LONG GetDataBits();
    virtual LONG GetParity();
    virtual LONG GetStopBits();
    virtual LONG GetHandshaking();
    virtual DWORD GetEventMask();
    virtual char GetEventChar();
    virtual LONG Write(LPCSTR pszText, DWORD* pdwWritten, LPOVERLAPPED lpOverlapped, DWORD dwTimeout);
    virtual LONG Write(const void* pData, DWORD dwSize, DWORD* pdwWritten, LPOVERLAPPED lpOverlapped, DWORD dwTimeout);
    virtual LONG Read(void* pData, DWORD dwSize, DWORD* pdwRead, LPOVERLAPPED lpOverlapped, DWORD dwTimeout);

    // The events that ended the last event wait, limited to the event mask;
    // clears them. Used by the listener thread after its wait has ended.
    DWORD GetEventType();
    // Raises or lowers a modem line (SETRTS, CLRRTS, SETDTR, CLRDTR).
    bool EscapeFunction(DWORD dwFunc);

protected:
    // Stores and returns an operation's result.
    LONG Result(LONG lCode);
    // Reads the device state for an operation on an open port: 0, or the
    // code (stored) when the port is closed or the read failed.
    LONG ReadState(DCB& dcb);
    LONG WriteState(DCB& dcb);

    // The listener thread stores results here too; relaxed atomics keep the
    // two threads' stores free of data races at the same size.
    std::atomic<LONG> m_lLastError;
    HANDLE m_hFile;
    // Written by the system when an event wait ends.
    DWORD m_dwPendingEvents;
    // Read by the listener thread, written by SetMask.
    std::atomic<DWORD> m_dwEventMask;
    HANDLE m_hIoEvent;

private:
    enum class Transfer { Read, Write };
    LONG Request(Transfer eKind, void* pData, DWORD dwLen, DWORD* pdwCount, LPOVERLAPPED lpOverlapped,
                 DWORD dwTimeout);
    LONG WaitForBuiltInRequest(OVERLAPPED& ov, DWORD* pdwCount, DWORD dwTimeout);
    void ApplyDefaultConfig(LPCSTR lpszDevice);
};
