// DUOPROBE_COMPAT_PORTS maps names to ttys; compat reads it when a name is
// first resolved, so this program sets it before any port is named.
#include "CableFixture.h"

#include <pty.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

TEST(TtyEnvironment, MapsTheNamesItLists) {
    int master = -1, slave = -1;
    char name[128];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    const std::string value = std::string("COM8=") + name + ";COM2=/dev/duoprobe-no-such-tty";
    ASSERT_EQ(setenv("DUOPROBE_COMPAT_PORTS", value.c_str(), 1), 0);

    HANDLE h = OpenPort("COM8");
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    ASSERT_TRUE(Write(h, {'o', 'k'}));
    char buf[2];
    ASSERT_EQ(read(master, buf, 2), 2);
    EXPECT_EQ(std::string(buf, 2), "ok");
    CloseHandle(h);

    SetLastError(0xdeadbeef);
    EXPECT_EQ(OpenPort("COM2"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_FILE_NOT_FOUND}) << "a listed tty that does not exist";
    SetLastError(0xdeadbeef);
    EXPECT_EQ(OpenPort("COM6"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_FILE_NOT_FOUND}) << "a name not listed";
    close(master);
    close(slave);
}

}  // namespace
