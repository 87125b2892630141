// A COM name in the dialog's list that has no device behind it. Wine gives
// the machine's serial devices the lowest COM numbers without a registry
// value, so which of the test environment's unmapped numbers stays missing
// depends on the machine: the first that fails to open with
// ERROR_FILE_NOT_FOUND, or "" when every one has a device.
#pragma once

#include <string>

std::string MissingPort();
