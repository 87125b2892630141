// The log lines a run writes, built step by step, for comparing whole logs.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Compares two logs line by line and names the first line that differs
// (a whole run has too many lines for a plain comparison to show).
testing::AssertionResult SameLog(const std::vector<std::string>& actual, const std::vector<std::string>& expected);

class ExpectedLog {
public:
    ExpectedLog(std::string device = "COM3", std::string connect = "COM1")
        : m_device(std::move(device)), m_connect(std::move(connect)) {}

    const std::vector<std::string>& Lines() const { return m_lines; }

    ExpectedLog& Line(const std::string& line);
    // "Write ..." with 512/512 and "Compare data..." with OK! for one direction.
    ExpectedLog& GoodTransfer(int direction);
    ExpectedLog& WriteLine(int direction, unsigned written = 512);

    ExpectedLog& BaudBegin();
    ExpectedLog& BaudStep(DWORD rate); // the set-up line and both directions
    ExpectedLog& BaudSteps(size_t count);
    ExpectedLog& BaudEnd();
    ExpectedLog& BaudSweep() { return BaudBegin().BaudSteps(5).BaudEnd(); }

    ExpectedLog& SizeParityBegin();
    ExpectedLog& SizeParityStep(int dataBits, int parity);
    ExpectedLog& SizeParitySteps(size_t count);
    ExpectedLog& SizeParityEnd();
    ExpectedLog& SizeParitySweep() { return SizeParityBegin().SizeParitySteps(20).SizeParityEnd(); }

    ExpectedLog& SignalBegin();
    ExpectedLog& SignalSteps(size_t count); // the first `count` steps, passed
    ExpectedLog& SignalEnd();
    ExpectedLog& SignalCheck() { return SignalBegin().SignalSteps(4).SignalEnd(); }

    static const DWORD kBaudRates[5];
    static std::string SignalText(size_t step);
    static std::string SizeParityText(int dataBits, int parity);
    static std::string BaudText(DWORD rate);

private:
    std::string m_device;
    std::string m_connect;
    std::vector<std::string> m_lines;
};
