// Recording of the Win32 calls made on a cable end.
#include "CableFixture.h"

namespace {

TEST(Recording, OpenAsTheProgramDoes) {
    compat::NullModemCable cable("COM3", "COM1");
    cable.End("COM3").StartRecording();
    HANDLE h = OpenPort("COM3");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    HANDLE again = OpenPort("\\\\.\\COM3");
    EXPECT_EQ(again, INVALID_HANDLE_VALUE);

    const std::vector<compat::Call> opens = cable.End("COM3").Calls("CreateFileA");
    ASSERT_EQ(opens.size(), 2u);
    EXPECT_EQ(opens[0].text, "COM3");
    EXPECT_EQ(opens[0].Arg("dwDesiredAccess"), std::uint64_t{GENERIC_READ | GENERIC_WRITE});
    EXPECT_EQ(opens[0].Arg("dwShareMode"), 0u);
    EXPECT_EQ(opens[0].Arg("dwCreationDisposition"), std::uint64_t{OPEN_EXISTING});
    EXPECT_EQ(opens[0].Arg("dwFlagsAndAttributes"), std::uint64_t{FILE_FLAG_OVERLAPPED});
    EXPECT_TRUE(opens[0].result);
    EXPECT_EQ(opens[1].text, "\\\\.\\COM3");
    EXPECT_FALSE(opens[1].result);
    EXPECT_EQ(opens[1].error, DWORD{ERROR_ACCESS_DENIED});
    CloseHandle(h);
}

TEST_F(CableTest, CallsAreRecordedInOrderWithTheirArguments) {
    Local().StartRecording();
    ASSERT_TRUE(SetupComm(local, 2048, 1024));
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(local, &dcb));
    dcb.BaudRate = 19200;
    ASSERT_TRUE(SetCommState(local, &dcb));
    for (DWORD code : {CLRRTS, SETRTS, CLRDTR, SETDTR}) ASSERT_TRUE(EscapeCommFunction(local, code));
    EXPECT_FALSE(EscapeCommFunction(local, 99));

    const std::vector<compat::Call> calls = Local().Calls();
    std::vector<std::string> names;
    for (const auto& c : calls) names.push_back(c.function);
    EXPECT_EQ(names, (std::vector<std::string>{"SetupComm", "GetCommState", "SetCommState", "EscapeCommFunction",
                                               "EscapeCommFunction", "EscapeCommFunction", "EscapeCommFunction",
                                               "EscapeCommFunction"}));
    EXPECT_EQ(calls[0].Arg("dwInQueue"), 2048u);
    EXPECT_EQ(calls[0].Arg("dwOutQueue"), 1024u);
    EXPECT_EQ(calls[1].Arg("DCBlength"), 28u);
    EXPECT_EQ(calls[2].Arg("BaudRate"), 19200u);
    std::vector<std::uint64_t> codes;
    for (const auto& c : Local().Calls("EscapeCommFunction")) codes.push_back(c.Arg("dwFunc"));
    EXPECT_EQ(codes, (std::vector<std::uint64_t>{CLRRTS, SETRTS, CLRDTR, SETDTR, 99}));
    EXPECT_FALSE(calls.back().result);
    EXPECT_EQ(calls.back().error, DWORD{ERROR_INVALID_PARAMETER});
    EXPECT_FALSE(calls[0].Has("dwFunc"));
    EXPECT_TRUE(Remote().Calls().empty()) << "each end records its own calls, when asked to";

    Local().ClearCalls();
    EXPECT_TRUE(Local().Calls().empty());
}

TEST_F(CableTest, DefaultConfigLookupIsRecordedAndApplies) {
    Local().StartRecording();
    COMMCONFIG cc{};
    cc.dwSize = sizeof cc;
    DWORD size = sizeof cc;
    ASSERT_TRUE(GetDefaultCommConfigA(kLocal, &cc, &size));
    ASSERT_TRUE(SetCommConfig(local, &cc, size));
    const auto lookups = Local().Calls("GetDefaultCommConfigA");
    ASSERT_EQ(lookups.size(), 1u);
    EXPECT_EQ(lookups[0].Arg("lpdwSize"), 52u);
    EXPECT_EQ(Local().Calls("SetCommConfig").at(0).Arg("dwSize"), 52u);
    EXPECT_EQ(Local().State().dcb.BaudRate, 9600u) << "the default configuration is 9600 8N1";
}

}  // namespace
