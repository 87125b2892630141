// The names behind which CreateFileA and GetDefaultCommConfigA find ports:
// cable ends registered by tests, then ttys mapped by compat::MapPort or by
// DUOPROBE_COMPAT_PORTS.
#pragma once

#include <memory>
#include <string>

#include "devices/CommPort.h"

namespace compat::devices {

class Cable;

// "\\.\COM3", "com3" and "COM3" name the same port.
std::string PortName(const char* fileName);

// The port a name opens, or null when nothing is behind it.
std::shared_ptr<CommPort> Resolve(const std::string& portName);

// Throws std::logic_error when a name is already held by another cable.
void RegisterCable(const std::string& nameA, const std::string& nameB, const std::shared_ptr<Cable>& cable);
void UnregisterCable(const std::string& nameA, const std::string& nameB);

}  // namespace compat::devices
