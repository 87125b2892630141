// The listener thread and the window notification, on a virtual cable.
#include "NotifyWindow.h"
#include "PortProbe.h"
#include "Wnd.h"

#include <compat/Cable.h>
#include <compat/Kernel.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

class SerialListenerTest : public testing::Test {
protected:
    void OpenListening(UINT msg = 0, LPARAM value = 0)
    {
        End().StartRecording();
        ASSERT_EQ(port.CSerialWnd::Open("COM3", window.Handle(), msg, value, 0, 0), ERROR_SUCCESS);
        ASSERT_EQ(remote.Open("COM1", 0, 0), ERROR_SUCCESS);
        // Until its first wait is armed, a mask change would end no wait and
        // a later count of arms would not mean a handled wait.
        ASSERT_TRUE(WaitUntil([&] { return Arms() > 0; })) << "the listener did not arm its wait";
    }
    // How often the listener has armed its wait so remote (only it waits for events).
    size_t Arms() { return End().Calls("WaitCommEvent").size(); }
    // Waits until the listener has handled the wait that was armed `arms`
    // times and armed the next: its error query for that wait is behind it.
    void WaitForRearm(size_t arms)
    {
        ASSERT_TRUE(WaitUntil([&] { return Arms() > arms; })) << "the listener did not wait again";
    }
    compat::CableEnd& End() { return cable.End("COM3"); }
    // Toggles the remote end's RTS, which the local end sees as a change of CTS.
    void ToggleRemoteRts()
    {
        ASSERT_TRUE(remote.EscapeFunction(remoteRts ? CLRRTS : SETRTS));
        remoteRts = !remoteRts;
    }
    void SendRemote(BYTE byte)
    {
        DWORD written = 0;
        ASSERT_EQ(remote.Write(&byte, 1, &written, nullptr, 1000), ERROR_SUCCESS);
    }

    compat::NullModemCable cable{"COM3", "COM1"};
    NotifyWindow window;
    CWndPortProbe port;
    CPortProbe<CSerialPort> remote;
    bool remoteRts = true; // an opened end raises RTS
};

TEST_F(SerialListenerTest, DefaultMessageIsTheRegisteredOne)
{
    EXPECT_NE(g_nSerialNotifyMsg, 0u);
    EXPECT_EQ(g_nSerialNotifyMsg, ::RegisterWindowMessageA("CSerialWnd_DefaultComMsg"));
    OpenListening();
    SendRemote('x');
    const auto& got = window.WaitFor(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].msg, g_nSerialNotifyMsg);
    EXPECT_EQ(LOWORD(got[0].wParam), EV_RXCHAR);
    EXPECT_EQ(got[0].lParam, 0);
}

TEST_F(SerialListenerTest, GivenMessageIdIsPosted)
{
    OpenListening(WM_USER + 7, 99);
    SendRemote('x');
    const auto& got = window.WaitFor(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].msg, static_cast<UINT>(WM_USER + 7));
    EXPECT_EQ(got[0].lParam, 99);
}

TEST_F(SerialListenerTest, NotificationCarriesEventsAndLineErrors)
{
    OpenListening(0, 0x1234);
    const size_t arms = Arms();
    ASSERT_EQ(port.SetMask(EV_CTS), ERROR_SUCCESS);
    WaitForRearm(arms);
    // 0x55 sent at a quarter of the baud rate leaves a framing error behind; with
    // only EV_CTS in the mask it raises no event of its own.
    ASSERT_EQ(remote.Setup(2400, 8, NOPARITY, ONESTOPBIT), ERROR_SUCCESS);
    SendRemote(0x55);
    ASSERT_TRUE(WaitUntil([&] { return (End().State().errors & CE_FRAME) != 0; }));
    ToggleRemoteRts();
    const auto& got = window.WaitFor(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].wParam, static_cast<WPARAM>(0x00080008));
    EXPECT_EQ(got[0].lParam, 0x1234);
    EXPECT_EQ(End().State().errors, 0u) << "the listener cleared the errors it reported";
}

TEST_F(SerialListenerTest, NewMaskEndsTheWaitWithoutANotification)
{
    OpenListening();
    ASSERT_EQ(port.SetMask(EV_CTS | EV_DSR), ERROR_SUCCESS);
    // The listener waits again under the new mask: a CTS change is its next
    // notification, and the only one.
    ToggleRemoteRts();
    const auto& got = window.WaitFor(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(LOWORD(got[0].wParam), EV_CTS);
    SendRemote('x');
    ToggleRemoteRts();
    window.WaitFor(2);
    ASSERT_EQ(window.Pump().size(), 2u) << "the character is outside the mask";
}

TEST_F(SerialListenerTest, WaitWithEventsOutsideThePortsMaskIsHandledButNotReported)
{
    OpenListening();
    // The device reports CTS only, while the port's own mask does not hold
    // it: such a wait clears the line errors and is reported to nobody.
    size_t arms = Arms();
    ASSERT_TRUE(::SetCommMask(port.m_hFile, EV_CTS));
    WaitForRearm(arms);
    ASSERT_EQ(remote.Setup(2400, 8, NOPARITY, ONESTOPBIT), ERROR_SUCCESS);
    SendRemote(0x55);
    ASSERT_TRUE(WaitUntil([&] { return (End().State().errors & CE_FRAME) != 0; }));
    arms = Arms();
    ToggleRemoteRts();
    WaitForRearm(arms);
    EXPECT_EQ(End().State().errors, 0u);

    // A reportable event after it is the first and only notification.
    ASSERT_TRUE(::SetCommMask(port.m_hFile, EV_RXCHAR));
    ASSERT_EQ(remote.Setup(9600, 8, NOPARITY, ONESTOPBIT), ERROR_SUCCESS);
    SendRemote('y');
    const auto& got = window.WaitFor(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].wParam, static_cast<WPARAM>(EV_RXCHAR));
}

TEST_F(SerialListenerTest, CloseEndsTheThreadAndNothingIsPostedAfterIt)
{
    OpenListening();
    ASSERT_EQ(port.SetMask(EV_CTS), ERROR_SUCCESS);
    std::atomic<bool> stop{false};
    std::thread toggler([&] {
        bool on = true;
        while (!stop.load()) {
            ::EscapeCommFunction(remote.m_hFile, on ? CLRRTS : SETRTS);
            on = !on;
        }
    });
    ASSERT_TRUE(WaitUntil([&] { return !window.Pump().empty(); }));
    EXPECT_EQ(port.Close(), ERROR_SUCCESS);
    EXPECT_TRUE(compat::RunningThreadIds().empty()) << "Close returned before the listener ended";
    stop = true;
    toggler.join();
    window.Pump();
    window.Clear();
    for (int i = 0; i < 20; ++i)
        ToggleRemoteRts();
    EXPECT_TRUE(window.Pump().empty());
    EXPECT_EQ(port.m_hListenerThread, nullptr);
    EXPECT_EQ(port.m_hNotifyWnd.load(), nullptr);
    EXPECT_EQ(port.m_nNotifyMsg.load(), 0u);
}

TEST_F(SerialListenerTest, OneListenerPerPort)
{
    OpenListening();
    ASSERT_EQ(compat::RunningThreadIds().size(), 1u);
    EXPECT_EQ(port.StartListener(), ERROR_SUCCESS);
    EXPECT_EQ(compat::RunningThreadIds().size(), 1u);
    EXPECT_EQ(port.Open("COM3", nullptr, 0, 0, 0, 0), ERROR_ALREADY_INITIALIZED);
    EXPECT_EQ(port.m_hNotifyWnd.load(), window.Handle()) << "a failed Open keeps the target";
    EXPECT_EQ(compat::RunningThreadIds().size(), 1u);
    EXPECT_EQ(port.StopListener(INFINITE), ERROR_SUCCESS);
    EXPECT_TRUE(compat::RunningThreadIds().empty());
    EXPECT_EQ(port.StopListener(INFINITE), ERROR_SUCCESS);
}

TEST_F(SerialListenerTest, FailedThreadCreationLeavesThePortClosed)
{
    const compat::KernelCounts before = compat::Counts();
    compat::FailNextCreateThread(ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(port.CSerialWnd::Open("COM3", window.Handle(), 0, 5, 0, 0), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(port.LastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(port.m_hFile, nullptr);
    EXPECT_EQ(port.m_hNotifyWnd.load(), nullptr);
    EXPECT_EQ(port.m_nNotifyMsg.load(), 0u);
    EXPECT_EQ(compat::Counts(), before);
    EXPECT_FALSE(End().State().open);
}

TEST_F(SerialListenerTest, FailedWaitEventCreationReleasesTheStopEvent)
{
    const compat::KernelCounts before = compat::Counts();
    // The port's own event, then the stop event, then the wait event.
    compat::FailCreateEvent(3, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(port.CSerialWnd::Open("COM3", window.Handle(), 0, 0, 0, 0), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(port.m_hStopEvent, nullptr);
    EXPECT_EQ(port.m_hWaitEvent, nullptr);
    EXPECT_EQ(compat::Counts(), before);
}

TEST_F(SerialListenerTest, PortThatNeverListenedReleasesItsEvents)
{
    const compat::KernelCounts before = compat::Counts();
    {
        auto listener = std::make_unique<CWndPortProbe>();
        CSerialListener& base = *listener;
        ASSERT_EQ(base.Open("COM3", 0, 0), ERROR_SUCCESS);
        EXPECT_NE(listener->m_hStopEvent, nullptr);
        EXPECT_EQ(listener->m_hListenerThread, nullptr);
    }
    EXPECT_EQ(compat::Counts(), before);
}

TEST_F(SerialListenerTest, NullWindowObjectIsAccepted)
{
    EXPECT_EQ(port.Open("COM3", static_cast<CWnd*>(nullptr), 0, 0, 0, 0), ERROR_SUCCESS);
    EXPECT_EQ(port.m_hNotifyWnd.load(), nullptr);
    EXPECT_EQ(port.m_nNotifyMsg.load(), g_nSerialNotifyMsg);
    ASSERT_EQ(remote.Open("COM1", 0, 0), ERROR_SUCCESS);
    SendRemote('x');
    EXPECT_TRUE(window.Pump().empty());
}

TEST_F(SerialListenerTest, WindowObjectGivesItsHandle)
{
    CWnd wnd(window.Handle());
    ASSERT_EQ(port.Open("COM3", &wnd, 0, 0, 0, 0), ERROR_SUCCESS);
    wnd.m_hWnd = nullptr; // read once, at Open
    EXPECT_EQ(port.m_hNotifyWnd.load(), window.Handle());
}

TEST_F(SerialListenerTest, ListeningCyclesLeaveNothingBehind)
{
    const compat::KernelCounts before = compat::Counts();
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(port.CSerialWnd::Open("COM3", window.Handle(), 0, 0, 0, 0), ERROR_SUCCESS);
        ASSERT_EQ(port.Close(), ERROR_SUCCESS);
    }
    EXPECT_EQ(compat::Counts(), before);
}

TEST_F(SerialListenerTest, UnpluggedDeviceEndsTheListener)
{
    OpenListening();
    End().Unplug();
    ASSERT_TRUE(WaitUntil([] { return compat::RunningThreadIds().empty(); }))
        << "the listener's wait failed and its thread ended";
    EXPECT_EQ(port.Close(), ERROR_SUCCESS);
}

} // namespace
