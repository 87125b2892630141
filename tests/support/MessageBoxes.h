// The message boxes a test's code shows, answered with OK and recorded.
// Natively compat records them; on Windows a thread finds each box of this
// process and presses OK, as a user would.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

struct ShownBox {
    std::string caption;
    std::string text;
};

class MessageBoxAnswerer {
public:
    MessageBoxAnswerer();
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    std::vector<ShownBox> Boxes() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
