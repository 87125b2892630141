// The program's compiled resources: the look-ups the framework and the dialog
// make, their errors, the icon, the module's name and the ANSI code page.
#include <windows.h>

#include "resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct ResourceRow {
    const char* name;
    LPCSTR type;
    LPCSTR id;
};

void PrintTo(const ResourceRow& row, std::ostream* os)
{
    *os << row.name;
}

const ResourceRow kResources[] = {
    {"dialog", RT_DIALOG, MAKEINTRESOURCEA(IDD_TESTER_DIALOG)},
    {"dialog_by_number_string", RT_DIALOG, "#102"},
    {"dialog_init_data", MAKEINTRESOURCEA(RT_DLGINIT), MAKEINTRESOURCEA(IDD_TESTER_DIALOG)},
    {"icon_group", RT_GROUP_ICON, MAKEINTRESOURCEA(IDR_MAINFRAME)},
    {"icon_image", RT_ICON, MAKEINTRESOURCEA(1)},
    {"manifest", MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1)},
    {"version", RT_VERSION, MAKEINTRESOURCEA(1)},
};

class Resources : public ::testing::TestWithParam<ResourceRow> {};

TEST_P(Resources, AreFoundAndLoaded)
{
    HMODULE self = GetModuleHandleA(nullptr);
    ASSERT_NE(self, nullptr);
    HRSRC res = FindResourceA(self, GetParam().id, GetParam().type);
    ASSERT_NE(res, nullptr) << "error " << GetLastError();
    EXPECT_GT(SizeofResource(self, res), 0u);
    HGLOBAL data = LoadResource(self, res);
    ASSERT_NE(data, nullptr);
    EXPECT_NE(LockResource(data), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, GetParam().id, GetParam().type), res) << "a null module is the program";
}

INSTANTIATE_TEST_SUITE_P(Program, Resources, ::testing::ValuesIn(kResources),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ResourceLookups, FailWithTheMissingPart)
{
    SetLastError(0xdeadbeef);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(999), RT_DIALOG), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(250)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
}

TEST(ResourceLookups, InitDataStartsWithTheDevicePortsFirstEntry)
{
    HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_TESTER_DIALOG), MAKEINTRESOURCEA(RT_DLGINIT));
    ASSERT_NE(res, nullptr);
    auto p = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, res)));
    WORD id, msg;
    DWORD length;
    std::memcpy(&id, p, 2);
    std::memcpy(&msg, p + 2, 2);
    std::memcpy(&length, p + 4, 4);
    EXPECT_EQ(id, IDC_DEVICE_PORT);
    EXPECT_EQ(msg, 0x0403);
    EXPECT_EQ(length, 5u);
    EXPECT_STREQ(reinterpret_cast<const char*>(p + 8), "COM1");
}

TEST(Icons, ProgramIconIsSharedAndStandardIconsExist)
{
    HINSTANCE self = GetModuleHandleA(nullptr);
    HICON icon = LoadIconA(self, MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(icon, nullptr) << GetLastError();
    EXPECT_EQ(LoadIconA(self, MAKEINTRESOURCEA(IDR_MAINFRAME)), icon);
    EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
    EXPECT_NE(LoadIconA(nullptr, IDI_ERROR), nullptr);
    EXPECT_EQ(LoadIconA(self, MAKEINTRESOURCEA(999)), nullptr);
    HDC hdc = GetDC(nullptr);
    EXPECT_TRUE(DrawIcon(hdc, 0, 0, icon));
    ReleaseDC(nullptr, hdc);
}

TEST(Module, FileNameIsAnExecutablePathAndShortBuffersAreCut)
{
    char path[MAX_PATH] = "";
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    ASSERT_GT(n, 4u);
    EXPECT_EQ(n, std::strlen(path));
    EXPECT_STRCASEEQ(path + n - 4, ".exe");
    // A short buffer gets what fits, unterminated.
    char small[5] = "xxxx";
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, 4), 4u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(small), std::string(path, 4));
}

TEST(CodePage, WesternCodePageHasNoLeadBytes)
{
    EXPECT_EQ(GetACP(), 1252u);
    for (int b = 0; b < 256; ++b)
        EXPECT_FALSE(IsDBCSLeadByte(static_cast<BYTE>(b))) << b;
    EXPECT_TRUE(IsDBCSLeadByteEx(932, 0x81));
    EXPECT_FALSE(IsDBCSLeadByteEx(932, 0xA0));
}

}  // namespace
