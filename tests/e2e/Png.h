// Screen captures kept as PNG files.
#pragma once

#include "Screen.h"

#include <string>

namespace e2e {

// Writes a 24-bit PNG; throws std::runtime_error when the file cannot be written.
void SavePng(const CImage& image, const std::string& strPath);

} // namespace e2e
