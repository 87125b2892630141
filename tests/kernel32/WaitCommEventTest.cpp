// A second WaitCommEvent while one is pending, in a test program of its own:
// under Wine 8 over socat's ptys, after this case and a wait that had ended
// on an arriving byte, a later GetDefaultCommConfigA in the same process
// never returned.
#include <windows.h>

#include <gtest/gtest.h>

#include "PortPair.h"

namespace {

using WaitCommEventTest = PortPairTest;

TEST_P(WaitCommEventTest, SecondWaitCommEventFails) {
    ASSERT_TRUE(SetCommMask(b, EV_RXCHAR));
    Overlapped first, second;
    DWORD events = 0, events2 = 0;
    ASSERT_FALSE(WaitCommEvent(b, &events, first.get()));
    ASSERT_EQ(GetLastError(), DWORD{ERROR_IO_PENDING});
    SetLastError(0xdeadbeef);
    BOOL again = WaitCommEvent(b, &events2, second.get());
    DWORD error = GetLastError();
    bool firstEndedEarly = first.Signalled() && error != ERROR_INVALID_PARAMETER;
    Retire(b, first);
    if (again || error == ERROR_IO_PENDING) Retire(b, second);
    if (firstEndedEarly)
        GTEST_SKIP() << "the first wait ended by itself before the second was issued (Wine over a pty ends pending "
                        "waits within milliseconds)";
    EXPECT_FALSE(again) << "a second wait while one is pending";
    EXPECT_EQ(error, DWORD{ERROR_INVALID_PARAMETER});
}

INSTANTIATE_TEST_SUITE_P(Comm, WaitCommEventTest, PORT_BACKENDS, BackendParamName);

}  // namespace
