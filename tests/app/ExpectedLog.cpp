#include "ExpectedLog.h"

const DWORD ExpectedLog::kBaudRates[5] = {9600, 19200, 38400, 57600, 115200};

ExpectedLog& ExpectedLog::Line(const std::string& line)
{
    m_lines.push_back(line);
    return *this;
}

ExpectedLog& ExpectedLog::WriteLine(int direction, unsigned written)
{
    const std::string& from = direction == 0 ? m_device : m_connect;
    const std::string& to = direction == 0 ? m_connect : m_device;
    return Line("Write 512 bytes from " + from + " to " + to + "... [" + std::to_string(written) + "/512] \t" +
                (written == 512 ? "OK!" : "FAILED!"));
}

ExpectedLog& ExpectedLog::GoodTransfer(int direction)
{
    return WriteLine(direction).Line("Compare data...\tOK!");
}

std::string ExpectedLog::BaudText(DWORD rate)
{
    return "Set baud rate to " + std::to_string(rate) + " bps...";
}

ExpectedLog& ExpectedLog::BaudBegin() { return Line("=== Begin Baudrate Test ==="); }
ExpectedLog& ExpectedLog::BaudEnd() { return Line("=== End Baudrate Test ==="); }

ExpectedLog& ExpectedLog::BaudStep(DWORD rate)
{
    return Line(BaudText(rate) + "\tOK!").GoodTransfer(0).GoodTransfer(1);
}

ExpectedLog& ExpectedLog::BaudSteps(size_t count)
{
    for (size_t i = 0; i < count; ++i)
        BaudStep(kBaudRates[i]);
    return *this;
}

std::string ExpectedLog::SizeParityText(int dataBits, int parity)
{
    static const char* const names[] = {"NO Parity", "ODD Parity", "EVEN Parity", "MARK Parity", "SPACE Parity"};
    return "Set byte size to " + std::to_string(dataBits) + ", parity to " + names[parity] + "...";
}

ExpectedLog& ExpectedLog::SizeParityBegin() { return Line("=== Begin Size, Parity, Stop bits Test ==="); }
ExpectedLog& ExpectedLog::SizeParityEnd() { return Line("=== End Size, Parity, Stop bits Test ==="); }

ExpectedLog& ExpectedLog::SizeParityStep(int dataBits, int parity)
{
    return Line(SizeParityText(dataBits, parity) + "\tOK!").GoodTransfer(0).GoodTransfer(1);
}

ExpectedLog& ExpectedLog::SizeParitySteps(size_t count)
{
    for (size_t i = 0; i < count; ++i)
        SizeParityStep(5 + static_cast<int>(i / 5), static_cast<int>(i % 5));
    return *this;
}

std::string ExpectedLog::SignalText(size_t step)
{
    static const char* const texts[] = {"RTS Signal testing...", "DTR Signal testing...", "CTS Signal testing...",
                                        "DSR Signal testing..."};
    return texts[step];
}

ExpectedLog& ExpectedLog::SignalBegin() { return Line("=== Begin Signal Test ==="); }
ExpectedLog& ExpectedLog::SignalEnd() { return Line("=== End Signal Test ==="); }

ExpectedLog& ExpectedLog::SignalSteps(size_t count)
{
    for (size_t i = 0; i < count; ++i)
        Line(SignalText(i) + "\tOK!");
    return *this;
}

testing::AssertionResult SameLog(const std::vector<std::string>& actual, const std::vector<std::string>& expected)
{
    for (size_t i = 0; i < actual.size() || i < expected.size(); ++i) {
        const char* got = i < actual.size() ? actual[i].c_str() : "(no line)";
        const char* want = i < expected.size() ? expected[i].c_str() : "(no line)";
        if (i >= actual.size() || i >= expected.size() || actual[i] != expected[i])
            return testing::AssertionFailure() << "line " << i + 1 << " of " << actual.size() << ": \"" << got
                                               << "\", expected \"" << want << "\" (of " << expected.size() << ")";
    }
    return testing::AssertionSuccess();
}
