// The program's resources as built: read from Duoprobe.exe under Wine, and
// natively from the compiled resource file that the native build links in.
#include "ResourceData.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <set>
#include <utility>

#ifndef VFT_APP
#define VFT_APP 0x1L // the version API is not part of what the program calls
#endif

namespace {

#ifdef _WIN32
HMODULE Module()
{
    // The real executable, loaded for its resources only.
    static HMODULE module = ::LoadLibraryExA(DUOPROBE_EXE_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}
#else
HMODULE Module()
{
    return ::GetModuleHandleA(nullptr);
}
#endif

std::vector<BYTE> Resource(LPCSTR type, int id)
{
    HRSRC hRes = ::FindResourceA(Module(), MAKEINTRESOURCEA(id), type);
    if (hRes == nullptr)
        return {};
    auto data = static_cast<const BYTE*>(::LockResource(::LoadResource(Module(), hRes)));
    return std::vector<BYTE>(data, data + ::SizeofResource(Module(), hRes));
}

const DWORD kChild = WS_CHILD | WS_VISIBLE;

struct ItemCase {
    LONG id;
    const char* className;
    const char* text;
    short x, y, cx, cy;
    DWORD style;
};

const ItemCase kItems[] = {
    {IDC_START, "BUTTON", "&Start", 258, 144, 54, 18, kChild | BS_PUSHBUTTON | WS_TABSTOP},
    {IDC_STOP, "BUTTON", "S&top", 258, 168, 54, 18, kChild | BS_PUSHBUTTON | WS_TABSTOP},
    {IDC_DEVICE_PORT, "COMBOBOX", "", 258, 90, 54, 48, kChild | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP},
    {IDC_CONNECT_PORT, "COMBOBOX", "", 258, 120, 54, 42, kChild | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP},
    {IDC_CHECK_BAUDRATE, "BUTTON", "Check All BaudRate Settings", 12, 18, 106, 10, kChild | BS_AUTOCHECKBOX | WS_TABSTOP},
    {IDC_CHECK_SIZE_PARITY, "BUTTON", "Check All Size, Parity, Stop bits Settings", 12, 30, 143, 10,
     kChild | BS_AUTOCHECKBOX | WS_TABSTOP},
    {IDC_CHECK_SIGNALS, "BUTTON", "Check Signal Events", 12, 42, 80, 10, kChild | BS_AUTOCHECKBOX | WS_TABSTOP},
    {-1, "BUTTON", "Check Items", 6, 6, 198, 66, kChild | BS_GROUPBOX},
    {IDC_PROGRESS, "MSCTLS_PROGRESS32", "", 12, 60, 186, 8, kChild | PBS_SMOOTH | WS_BORDER},
    {-1, "BUTTON", "Test Result", 210, 6, 102, 66, kChild | BS_GROUPBOX},
    {IDC_RESULT_LIST, "LISTBOX", "", 6, 78, 240, 108,
     kChild | LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP},
    {-1, "STATIC", "Device Port", 258, 78, 38, 8, kChild | SS_LEFT | WS_GROUP},
    {-1, "STATIC", "Connect With", 258, 108, 44, 8, kChild | SS_LEFT | WS_GROUP},
    {IDC_RESULT_TEXT, "STATIC", "", 216, 18, 90, 48, kChild | SS_LEFTNOWORDWRAP | WS_BORDER | WS_GROUP},
};

TEST(Resources, DialogTemplate)
{
    const std::vector<BYTE> data = Resource(RT_DIALOG, IDD_TESTER_DIALOG);
    ASSERT_FALSE(data.empty());
    const DialogTemplate t = ParseDialogTemplate(data.data(), data.size());
    EXPECT_EQ(t.style, static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT |
                                          DS_FIXEDSYS));
    EXPECT_EQ(t.exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.cx, 322);
    EXPECT_EQ(t.cy, 193);
    EXPECT_EQ(t.caption, "Duoprobe ver 2.3.0.5");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.weight, 0);
    EXPECT_EQ(t.italic, 0);
    EXPECT_EQ(t.charset, DEFAULT_CHARSET);
    EXPECT_EQ(t.face, "MS Shell Dlg");

    // The template's order is the tab order.
    ASSERT_EQ(t.items.size(), std::size(kItems));
    for (size_t i = 0; i < t.items.size(); ++i) {
        const DialogItem& item = t.items[i];
        const ItemCase& want = kItems[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + ": " + want.text + " " + std::to_string(want.id));
        EXPECT_EQ(item.id, want.id);
        EXPECT_EQ(item.className, want.className);
        EXPECT_EQ(item.text, want.text);
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.cx, want.cx);
        EXPECT_EQ(item.cy, want.cy);
        EXPECT_EQ(item.style, want.style);
        EXPECT_EQ(item.exStyle, 0u);
    }
}

TEST(Resources, InitialisationDataFillsBothComboBoxesInOrder)
{
    const std::vector<BYTE> data = Resource(MAKEINTRESOURCEA(RT_DLGINIT), IDD_TESTER_DIALOG);
    ASSERT_FALSE(data.empty());
    const std::vector<DlgInitEntry> entries = ParseDlgInit(data.data(), data.size());
    ASSERT_EQ(entries.size(), 18u);
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].id, i < 9 ? IDC_DEVICE_PORT : IDC_CONNECT_PORT);
        EXPECT_EQ(entries[i].msg, 0x0403) << "the 16-bit CB_ADDSTRING";
        EXPECT_EQ(entries[i].data, std::string("COM") + char('1' + i % 9) + '\0');
    }
}

TEST(Resources, VersionInformation)
{
    const std::vector<BYTE> data = Resource(RT_VERSION, 1);
    ASSERT_FALSE(data.empty());
    const VersionInfo info = ParseVersionInfo(data.data(), data.size());
    EXPECT_EQ(info.fileVersionMS, 0x00020003u);
    EXPECT_EQ(info.fileVersionLS, 0x00000005u);
    EXPECT_EQ(info.productVersionMS, 0x00020003u);
    EXPECT_EQ(info.productVersionLS, 0x00000005u);
    EXPECT_EQ(info.fileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(info.translations, (std::vector<DWORD>{0x0409 | 1252u << 16}));
    ASSERT_EQ(info.strings.count("040904e4"), 1u);
    const auto& strings = info.strings.at("040904e4");
    EXPECT_EQ(strings.at("FileDescription"), "Duoprobe");
    EXPECT_EQ(strings.at("ProductName"), "Duoprobe");
    EXPECT_EQ(strings.at("FileVersion"), "2.3.0.5");
    EXPECT_EQ(strings.at("ProductVersion"), "2.3.0.5");
}

TEST(Resources, ManifestNamesOnlyCommonControls6)
{
    const std::vector<BYTE> data = Resource(MAKEINTRESOURCEA(24), 1);
    ASSERT_FALSE(data.empty());
    const std::string manifest(data.begin(), data.end());
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("processorArchitecture=\"x86\""), std::string::npos);
    size_t dependencies = 0;
    for (size_t at = manifest.find("<dependentAssembly"); at != std::string::npos;
         at = manifest.find("<dependentAssembly", at + 1))
        ++dependencies;
    EXPECT_EQ(dependencies, 1u);
}

TEST(Resources, IconIsOne32By32ImageIn16Colours)
{
    const std::vector<BYTE> group = Resource(RT_GROUP_ICON, IDR_MAINFRAME);
    // GRPICONDIR: reserved, type 1, count; then 14-byte entries.
    ASSERT_GE(group.size(), 6u + 14u);
    EXPECT_EQ(group[2], 1);
    EXPECT_EQ(group[4], 1) << "one image";
    EXPECT_EQ(group[6], 32);
    EXPECT_EQ(group[7], 32);
    EXPECT_EQ(group[8], 16) << "colours";
    EXPECT_EQ(group[12], 4) << "bits per pixel";
}

} // namespace
