// The environment's COM ports as the driver uses them between runs: to see
// that a port is missing, to drop bytes an earlier scenario left behind, and
// to mark a port's baud rate so that a later look tells whether Duoprobe
// opened it (opening applies the port's default configuration). Wine lets a
// port be opened twice, so none of this proves that a port is free.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace e2e {

// 0 when the port opens, otherwise the error code of CreateFileA.
DWORD OpenError(const std::string& strPort);

// Reads whatever waits in the port's input, until it stays quiet;
// returns how many bytes it read.
size_t Drain(const std::string& strPort);

// Linux keeps a pty at 8 data bits without parity whatever is asked, but it
// keeps the baud rate: that is the mark.
DWORD ReadBaudRate(const std::string& strPort);
void WriteBaudRate(const std::string& strPort, DWORD dwBaudRate);

} // namespace e2e
