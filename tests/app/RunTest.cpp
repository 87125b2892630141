// Whole runs of the cable test against virtual cables: the exact log, the
// progress bar, the buttons and the verdict, for good cables, faulty ones
// and every way a run can be stopped.
#include "ExpectedLog.h"
#include "TesterProbe.h"
#include "Verdict.h"

#include <compat/Cable.h>
#include <compat/Kernel.h>
#include <compat/Ui.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace {

using Lines = std::vector<std::string>;

struct Checks {
    bool baud, sizeParity, signals;
};
const Checks kAll = {true, true, true};
const Checks kBaud = {true, false, false};
const Checks kSizeParity = {false, true, false};
const Checks kSignals = {false, false, true};
const Checks kNone = {false, false, false};

// The dialog of the run under way, for the idle hooks.
HWND g_dialog = nullptr;

HWND Item(int id)
{
    return ::GetDlgItem(g_dialog, id);
}

void PostClick(int id)
{
    ::PostMessageA(g_dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
}

// Runs `action` once, at the first idle pass of the pump at which the log's
// newest line is `line` and the log holds `count` lines (any count when 0).
void AtLine(const std::string& line, size_t count, std::function<void()> action)
{
    TestApp().m_onIdle = [line, count, action, done = false]() mutable {
        if (done)
            return;
        const std::vector<std::string> log = ListLines(Item(IDC_RESULT_LIST));
        if (!log.empty() && log.back() == line && (count == 0 || log.size() == count)) {
            done = true;
            action();
        }
    };
}

void StopAtLine(const std::string& line, size_t count = 0)
{
    AtLine(line, count, [] { PostClick(IDC_STOP); });
}

// What a run left on the screen.
struct Outcome {
    Lines log;
    ProgressState progress;
    bool startEnabled;
    bool stopEnabled;
    Verdict verdict;
};

class RunTest : public testing::Test {
protected:
    void TearDown() override
    {
        TestApp().m_onIdle = nullptr;
        compat::SetMessageBoxHandler(nullptr);
        compat::ClearMessageBoxes();
        compat::SetTickCountStart(::GetTickCount());
    }

    static void Tick(Checks checks)
    {
        const std::pair<int, bool> boxes[] = {{IDC_CHECK_BAUDRATE, checks.baud},
                                              {IDC_CHECK_SIZE_PARITY, checks.sizeParity},
                                              {IDC_CHECK_SIGNALS, checks.signals}};
        for (const auto& box : boxes)
            ::SendMessageA(Item(box.first), BM_SETCHECK, box.second ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    static void Choose(const char* device, const char* connect)
    {
        ::SendMessageA(Item(IDC_DEVICE_PORT), CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(device));
        ::SendMessageA(Item(IDC_CONNECT_PORT), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(connect));
    }

    static Outcome Observe()
    {
        return {ListLines(Item(IDC_RESULT_LIST)), Progress(Item(IDC_PROGRESS)),
                ::IsWindowEnabled(Item(IDC_START)) != FALSE, ::IsWindowEnabled(Item(IDC_STOP)) != FALSE,
                ReadVerdict(Item(IDC_RESULT_TEXT))};
    }

    // Ticks the checks, clicks Start (the run happens inside the click) and
    // returns what the run left.
    Outcome Run(Checks checks, std::function<void(CTesterProbe&)> prepare = {})
    {
        Outcome outcome{};
        dlg.Run([&] {
            g_dialog = dlg.m_hWnd;
            Tick(checks);
            if (prepare)
                prepare(dlg);
            dlg.Click(IDC_START);
            outcome = Observe();
        });
        g_dialog = nullptr;
        return outcome;
    }

    compat::NullModemCable cable{"COM3", "COM1"};
    CTesterProbe dlg;
};

void ExpectIdleButtons(const Outcome& outcome)
{
    EXPECT_TRUE(outcome.startEnabled);
    EXPECT_FALSE(outcome.stopEnabled);
}

Lines Log(const ExpectedLog& log)
{
    return log.Lines();
}

const std::string kCancelled = "User cancelled!";
const std::string kBaud9600 = ExpectedLog::BaudText(9600) + "\tOK!";

TEST_F(RunTest, GoodCableWithAllChecks)
{
    const Outcome outcome = Run(kAll);
    const Lines expected = ExpectedLog().BaudSweep().SizeParitySweep().SignalCheck().Lines();
    ASSERT_EQ(expected.size(), 135u);
    EXPECT_TRUE(SameLog(outcome.log, expected));
    EXPECT_EQ(outcome.progress, (ProgressState{4, 0, 4}));
    EXPECT_EQ(outcome.verdict, Verdict::Ok);
    ExpectIdleButtons(outcome);
    EXPECT_FALSE(cable.End("COM3").State().open);
    EXPECT_FALSE(cable.End("COM1").State().open);
    EXPECT_TRUE(compat::RunningThreadIds().empty()) << "both listeners ended with the run";
}

TEST_F(RunTest, BaudRateSweepAlone)
{
    const Outcome outcome = Run(kBaud);
    EXPECT_TRUE(SameLog(outcome.log, ExpectedLog().BaudSweep().Lines()));
    EXPECT_EQ(outcome.progress, (ProgressState{5, 0, 5}));
    EXPECT_EQ(outcome.verdict, Verdict::Ok);
    // Each step set both ports alike: the last step leaves 115200 8N1.
    for (const char* name : {"COM3", "COM1"}) {
        const DCB dcb = cable.End(name).State().dcb;
        EXPECT_EQ(dcb.BaudRate, 115200u) << name;
        EXPECT_EQ(dcb.ByteSize, 8) << name;
        EXPECT_EQ(dcb.Parity, NOPARITY) << name;
    }
}

TEST_F(RunTest, NoCheckTickedOpensAndClosesThePorts)
{
    cable.End("COM3").StartRecording();
    cable.End("COM1").StartRecording();
    const Outcome outcome = Run(kNone, [](CTesterProbe& d) { d.m_lstResult.AddLine("an earlier run"); });
    EXPECT_TRUE(outcome.log.empty()) << "the log is emptied once both ports are open";
    EXPECT_EQ(outcome.verdict, Verdict::Ok);
    ExpectIdleButtons(outcome);
    for (const char* name : {"COM3", "COM1"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(cable.End(name).Calls("CreateFileA").size(), 1u);
        EXPECT_FALSE(cable.End(name).State().open);
        // Prepared for the checks: no flow control, reads that wait for all bytes.
        const DCB dcb = cable.End(name).State().dcb;
        EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
        EXPECT_EQ(dcb.fOutX, 0u);
        EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_DISABLE));
        const COMMTIMEOUTS timeouts = cable.End(name).State().timeouts;
        EXPECT_EQ(timeouts.ReadIntervalTimeout, 0u);
        EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 0u);
    }
}

TEST_F(RunTest, LogGetsOneTabStopOf190Units)
{
    std::vector<int> stops;
    RECT units = {0, 0, 190, 0};
    dlg.Run([&] {
        g_dialog = dlg.m_hWnd;
        Tick(kNone);
        dlg.Click(IDC_START);
        stops = compat::ListBoxTabStops(dlg.Item(IDC_RESULT_LIST));
        ::MapDialogRect(dlg.m_hWnd, &units);
    });
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0], units.right) << "190 dialog template units in pixels";
}

struct PortProblem {
    const char* name;
    const char* device;
    const char* connect;
    const char* text;
    bool deviceOpened;
};

void PrintTo(const PortProblem& p, std::ostream* os) { *os << p.name; }

class PortProblems : public RunTest, public testing::WithParamInterface<PortProblem> {};

TEST_P(PortProblems, ShowTheBoxKeepTheOldLogAndPaintNoVerdict)
{
    const PortProblem& p = GetParam();
    bool deviceOpenWhileShown = false;
    compat::SetMessageBoxHandler([&](const compat::MessageBoxCall&) {
        deviceOpenWhileShown = cable.End("COM3").State().open;
        return IDOK;
    });
    cable.End("COM1").StartRecording();
    const Outcome outcome = Run(kAll, [&](CTesterProbe& d) {
        Choose(p.device, p.connect);
        d.m_lstResult.AddLine("an earlier run...OK!");
        ::SendMessageA(d.Item(IDC_PROGRESS), PBM_SETRANGE, 0, MAKELPARAM(0, 20));
    });

    const auto boxes = compat::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, p.text);
    EXPECT_EQ(boxes[0].caption, "Duoprobe");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_ICONERROR | MB_OK));
    EXPECT_EQ(boxes[0].owner, dlg.m_hWnd);

    EXPECT_TRUE(SameLog(outcome.log, (Lines{"an earlier run...\tOK!"})));
    EXPECT_EQ(outcome.verdict, Verdict::Blank);
    EXPECT_EQ(outcome.progress, (ProgressState{0, 0, 20}));
    ExpectIdleButtons(outcome);
    EXPECT_FALSE(dlg.m_bFailed);
    EXPECT_FALSE(cable.End("COM3").State().open) << "the Device port is closed again";
    EXPECT_EQ(deviceOpenWhileShown, p.deviceOpened) << "the Device port is closed once the box is dismissed";
    if (!p.deviceOpened) {
        EXPECT_TRUE(cable.End("COM1").Calls("CreateFileA").empty()) << "the Connect With port is never tried";
    }
}

const PortProblem kPortProblems[] = {
    {"same_port_both_sides", "COM3", "COM3", "Unable to open 'Connect' port", true},
    {"device_without_device", "COM9", "COM1", "Unable to open 'Device' port", false},
    {"connect_without_device", "COM3", "COM9", "Unable to open 'Connect' port", true},
};

INSTANTIATE_TEST_SUITE_P(Run, PortProblems, testing::ValuesIn(kPortProblems),
                         [](const testing::TestParamInfo<PortProblem>& info) { return info.param.name; });

// A port that opens but refuses its time-outs fails its Open yet stays open;
// the run lets go of it, so the next run can have it.
TEST_F(RunTest, PortThatFailedItsOpenIsFreeForTheNextRun)
{
    for (const char* refusing : {"COM3", "COM1"}) {
        SCOPED_TRACE(refusing);
        compat::ClearMessageBoxes();
        cable.End(refusing).Refuse({{}, {}, {}, true});
        Run(kNone);
        ASSERT_EQ(compat::MessageBoxes().size(), 1u);
        EXPECT_FALSE(cable.End(refusing).State().open);
        cable.End(refusing).Refuse({});
        compat::ClearMessageBoxes();
        const Outcome outcome = Run(kNone);
        EXPECT_TRUE(compat::MessageBoxes().empty()) << "the port was still held";
        EXPECT_EQ(outcome.verdict, Verdict::Ok);
    }
}

// A faulty cable: each run ends "NG" with exactly these lines.
struct Fault {
    const char* name;
    Checks checks;
    std::function<void(compat::NullModemCable&)> inject;
    Lines log;
    ProgressState progress;
};

const Fault kFaults[] = {
    {"data_cut_device_to_connect", kBaud, [](compat::NullModemCable& c) { c.End("COM3").Cut(compat::Line::Tx); },
     Log(ExpectedLog().BaudBegin().Line(kBaud9600).WriteLine(0).Line("Connect port read [0/512] \tFAILED!")),
     {0, 0, 5}},
    {"data_cut_connect_to_device", kBaud, [](compat::NullModemCable& c) { c.End("COM1").Cut(compat::Line::Tx); },
     Log(ExpectedLog().BaudBegin().Line(kBaud9600).GoodTransfer(0).WriteLine(1)
             .Line("Connect port read [0/512] \tFAILED!")),
     {0, 0, 5}},
    {"device_refuses_5_data_bits", kSizeParity, [](compat::NullModemCable& c) { c.End("COM3").Refuse({{}, {5}, {}}); },
     Log(ExpectedLog().SizeParityBegin().Line(ExpectedLog::SizeParityText(5, NOPARITY) + "\tFAILED!")),
     {1, 0, 20}},
    {"connect_refuses_mark_parity", kSizeParity,
     [](compat::NullModemCable& c) { c.End("COM1").Refuse({{}, {}, {MARKPARITY}}); },
     Log(ExpectedLog().SizeParityBegin().SizeParitySteps(3).Line(ExpectedLog::SizeParityText(5, MARKPARITY) +
                                                                   "\tFAILED!")),
     {4, 0, 20}},
    {"device_refuses_57600_baud", kBaud, [](compat::NullModemCable& c) { c.End("COM3").Refuse({{57600}, {}, {}}); },
     Log(ExpectedLog().BaudBegin().BaudSteps(3).Line(ExpectedLog::BaudText(57600) + "\tFAILED!")),
     {3, 0, 5}},
    {"connect_refuses_9600_baud", kAll, [](compat::NullModemCable& c) { c.End("COM1").Refuse({{9600}, {}, {}}); },
     Log(ExpectedLog().BaudBegin().Line(ExpectedLog::BaudText(9600) + "\tFAILED!")), {0, 0, 5}},
    {"one_corrupted_byte", kBaud, [](compat::NullModemCable& c) { c.End("COM3").Corrupt(compat::NthByte{300}, 0x01); },
     Log(ExpectedLog().BaudBegin().Line(kBaud9600).WriteLine(0).Line("Compare data...\tFAILED!")), {0, 0, 5}},
    // A read one byte short waits out its time-out, which reports no count.
    {"dropped_byte_in_the_second_sweep", kAll,
     [](compat::NullModemCable& c) { c.End("COM1").Drop(compat::NthByte{5 * 512 + 7}); },
     Log(ExpectedLog().BaudSweep().SizeParityBegin().Line(ExpectedLog::SizeParityText(5, NOPARITY) + "\tOK!")
             .GoodTransfer(0).WriteLine(1).Line("Connect port read [0/512] \tFAILED!")),
     {1, 0, 20}},
    {"rts_cts_cut_at_device", kSignals, [](compat::NullModemCable& c) { c.End("COM3").Cut(compat::Line::Rts); },
     Log(ExpectedLog().SignalBegin().Line(ExpectedLog::SignalText(0) + "\tFAILED!")), {1, 0, 4}},
    {"rts_cts_cut_at_connect", kSignals, [](compat::NullModemCable& c) { c.End("COM1").Cut(compat::Line::Rts); },
     Log(ExpectedLog().SignalBegin().SignalSteps(2).Line(ExpectedLog::SignalText(2) + "\tFAILED!")), {3, 0, 4}},
    {"dtr_dsr_cut_at_device", kSignals, [](compat::NullModemCable& c) { c.End("COM3").Cut(compat::Line::Dtr); },
     Log(ExpectedLog().SignalBegin().SignalSteps(1).Line(ExpectedLog::SignalText(1) + "\tFAILED!")), {2, 0, 4}},
    {"dtr_dsr_cut_at_connect", kSignals, [](compat::NullModemCable& c) { c.End("COM1").Cut(compat::Line::Dtr); },
     Log(ExpectedLog().SignalBegin().SignalSteps(3).Line(ExpectedLog::SignalText(3) + "\tFAILED!")), {4, 0, 4}},
    {"unplugged_during_a_transfer", kBaud, [](compat::NullModemCable& c) { c.End("COM1").UnplugAfterReceived(200); },
     Log(ExpectedLog().BaudBegin().Line(kBaud9600).WriteLine(0).Line("Connect port read [0/512] \tFAILED!")),
     {0, 0, 5}},
};

void PrintTo(const Fault& f, std::ostream* os) { *os << f.name; }

class Faults : public RunTest, public testing::WithParamInterface<Fault> {};

TEST_P(Faults, EndTheRunNgAtTheFailingStep)
{
    GetParam().inject(cable);
    const Outcome outcome = Run(GetParam().checks);
    EXPECT_TRUE(SameLog(outcome.log, GetParam().log));
    EXPECT_EQ(outcome.progress, GetParam().progress);
    EXPECT_EQ(outcome.verdict, Verdict::Ng);
    ExpectIdleButtons(outcome);
    EXPECT_TRUE(compat::RunningThreadIds().empty());
}

INSTANTIATE_TEST_SUITE_P(Run, Faults, testing::ValuesIn(kFaults),
                         [](const testing::TestParamInfo<Fault>& info) { return info.param.name; });

TEST_F(RunTest, StaleByteInTheInputQueueFailsTheCompare)
{
    // Put in once the run has opened the ports: nothing purges an input queue.
    TestApp().m_onIdle = [this, done = false]() mutable {
        if (!done && cable.End("COM1").State().open) {
            done = true;
            cable.End("COM1").Inject({0xA5});
        }
    };
    const Outcome outcome = Run(kBaud);
    EXPECT_TRUE(SameLog(outcome.log, Log(ExpectedLog().BaudBegin().Line(kBaud9600).WriteLine(0).Line("Compare data...\tFAILED!"))));
    EXPECT_EQ(outcome.verdict, Verdict::Ng);
}

// Stop at the points where a run can notice it, each with its ending.
struct StopCase {
    const char* name;
    Checks checks;
    std::function<void()> arrange;
    Lines log;
    Verdict verdict;
};

const StopCase kStops[] = {
    {"before_a_sweep_step", kAll, [] { StopAtLine("=== Begin Baudrate Test ==="); },
     Lines{"=== Begin Baudrate Test ===", kCancelled}, Verdict::Ng},
    {"between_the_two_directions", kAll, [] { StopAtLine("Compare data...\tOK!", 4); },
     Log(ExpectedLog().BaudBegin().Line(kBaud9600).GoodTransfer(0).Line(kCancelled)), Verdict::Ng},
    {"during_the_pause_of_a_transfer", kBaud, [] { StopAtLine(ExpectedLog().WriteLine(0).Lines().back()); },
     // The transfer still reads, compares and logs; the sweep stops at its next wait.
     Log(ExpectedLog().BaudBegin().Line(kBaud9600).WriteLine(0).Line(kCancelled).Line("Compare data...\tOK!")),
     Verdict::Ng},
    {"during_the_last_steps_second_direction", kAll,
     [] { StopAtLine(ExpectedLog().WriteLine(1).Lines().back(), 25); },
     // No wait of the sweep follows: it passes, no further check starts, and the verdict is OK.
     Log(ExpectedLog().BaudBegin().BaudSteps(4).Line(ExpectedLog::BaudText(115200) + "\tOK!").GoodTransfer(0)
             .WriteLine(1).Line(kCancelled).Line("Compare data...\tOK!").BaudEnd()),
     Verdict::Ok},
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class Stops : public RunTest, public testing::WithParamInterface<StopCase> {};

TEST_P(Stops, EndTheRunAsCancelled)
{
    GetParam().arrange();
    const Outcome outcome = Run(GetParam().checks);
    EXPECT_TRUE(SameLog(outcome.log, GetParam().log));
    EXPECT_EQ(outcome.verdict, GetParam().verdict);
    ExpectIdleButtons(outcome);
    EXPECT_FALSE(cable.End("COM3").State().open);
    EXPECT_FALSE(cable.End("COM1").State().open);
}

INSTANTIATE_TEST_SUITE_P(Run, Stops, testing::ValuesIn(kStops),
                         [](const testing::TestParamInfo<StopCase>& info) { return info.param.name; });

TEST_F(RunTest, StopDuringTheSignalCheckRunsOnWithoutPauses)
{
    // The Device port's DTR reaches nothing, so the DTR step fails whenever
    // its notification would have come.
    cable.End("COM3").Cut(compat::Line::Dtr);
    StopAtLine(ExpectedLog::SignalText(0) + "\tOK!");
    const Outcome outcome = Run(kSignals);
    EXPECT_TRUE(SameLog(outcome.log, Log(ExpectedLog().SignalBegin().SignalSteps(1).Line(kCancelled)
                                   .Line(ExpectedLog::SignalText(1) + "\tFAILED!"))));
    EXPECT_EQ(outcome.progress, (ProgressState{2, 0, 4}));
    EXPECT_EQ(outcome.verdict, Verdict::Ng);
}

TEST_F(RunTest, StartClickedWhileACancelledRunWindsDownStartsNothing)
{
    // Stop enables Start again; the click lands in the run's remaining waits.
    cable.End("COM3").Cut(compat::Line::Rts);
    AtLine("=== Begin Signal Test ===", 0, [] {
        PostClick(IDC_STOP);
        PostClick(IDC_START);
    });
    const Outcome outcome = Run(kSignals);
    EXPECT_TRUE(compat::MessageBoxes().empty()) << "no second run tried to open the ports";
    EXPECT_EQ(outcome.log,
              (Lines{"=== Begin Signal Test ===", kCancelled, ExpectedLog::SignalText(0) + "\tFAILED!"}));
    EXPECT_EQ(outcome.verdict, Verdict::Ng);
    EXPECT_TRUE(dlg.m_bCancel) << "the run's own state was left alone";
    ExpectIdleButtons(outcome);
}

TEST_F(RunTest, QuitMessageEndsTheRunAndStaysQueued)
{
    AtLine("=== Begin Baudrate Test ===", 0, [] { ::PostQuitMessage(0); });
    Outcome outcome{};
    bool quitQueued = false;
    dlg.Run([&] {
        g_dialog = dlg.m_hWnd;
        Tick(kAll);
        dlg.Click(IDC_START);
        outcome = Observe();
        MSG msg;
        quitQueued = ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
    });
    // The dialog's loop met the quit message too and left it for the thread.
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_TRUE(quitQueued);
    EXPECT_TRUE(SameLog(outcome.log, (Lines{"=== Begin Baudrate Test ==="})));
    EXPECT_EQ(outcome.verdict, Verdict::Ng);
}

struct SerialMessageCase {
    const char* name;
    WPARAM wParam;
    bool cts, dsr;
};

void PrintTo(const SerialMessageCase& c, std::ostream* os) { *os << c.name; }

class SerialMessages : public RunTest, public testing::WithParamInterface<SerialMessageCase> {};

TEST_P(SerialMessages, SetExactlyTheirFlags)
{
    dlg.Run([&] {
        dlg.m_bCtsSeen = false;
        dlg.m_bDsrSeen = false;
        EXPECT_EQ(::SendMessageA(dlg.m_hWnd, g_nSerialNotifyMsg, GetParam().wParam, 0), 0);
        EXPECT_EQ(dlg.m_bCtsSeen, GetParam().cts);
        EXPECT_EQ(dlg.m_bDsrSeen, GetParam().dsr);
        // The handler never clears a flag.
        dlg.m_bCtsSeen = dlg.m_bDsrSeen = true;
        EXPECT_EQ(dlg.OnSerialMessage(GetParam().wParam, 12345), 0);
        EXPECT_TRUE(dlg.m_bCtsSeen && dlg.m_bDsrSeen);
    });
}

const SerialMessageCase kSerialMessages[] = {
    {"cts", EV_CTS, true, false},
    {"dsr", EV_DSR, false, true},
    {"both", EV_CTS | EV_DSR, true, true},
    {"received_character", EV_RXCHAR, false, false},
    {"line_error", EV_ERR, false, false},
    {"error_bits_are_ignored", MAKEWPARAM(EV_RXCHAR, EV_CTS | EV_DSR), false, false},
    {"cts_with_frame_error", MAKEWPARAM(EV_CTS, CE_FRAME), true, false},
};

INSTANTIATE_TEST_SUITE_P(Run, SerialMessages, testing::ValuesIn(kSerialMessages),
                         [](const testing::TestParamInfo<SerialMessageCase>& info) { return info.param.name; });

TEST_F(RunTest, CancelledWaitsPumpExactlyOnce)
{
    dlg.Run([&] {
        dlg.m_bCancel = true;
        for (int ms : {0, 200}) {
            const int before = TestApp().m_nIdlePasses;
            EXPECT_FALSE(dlg.WaitMs(ms)) << ms;
            EXPECT_EQ(TestApp().m_nIdlePasses - before, 1) << ms;
        }
    });
}

// A window that posts itself a message each time it gets one, for a while:
// the thread's queue never runs dry, as when a listener reports a level
// (Wine's EV_RXCHAR while input waits) as fast as it can.
class EchoWindow {
public:
    explicit EchoWindow(std::chrono::milliseconds lasting)
        : m_until(std::chrono::steady_clock::now() + lasting)
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = WndProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "DuoprobeEchoTest";
        ::RegisterClassA(&wc);
        m_hWnd = ::CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::PostMessageA(m_hWnd, WM_APP, 0, 0);
    }
    ~EchoWindow() { ::DestroyWindow(m_hWnd); }
    EchoWindow(const EchoWindow&) = delete;
    EchoWindow& operator=(const EchoWindow&) = delete;

    HWND Handle() const { return m_hWnd; }

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<EchoWindow*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        if (msg == WM_APP && self != nullptr && std::chrono::steady_clock::now() < self->m_until)
            ::PostMessageA(hWnd, WM_APP, 0, 0);
        return ::DefWindowProcA(hWnd, msg, wParam, lParam);
    }
    std::chrono::steady_clock::time_point m_until;
    HWND m_hWnd = nullptr;
};

TEST_F(RunTest, WaitEndsOnTimeWhileMessagesKeepComing)
{
    dlg.Run([&] {
        for (bool cancelled : {false, true}) {
            dlg.m_bCancel = cancelled;
            EchoWindow echo(std::chrono::milliseconds(3000));
            EXPECT_EQ(dlg.WaitMs(100), !cancelled);
            MSG msg;
            EXPECT_TRUE(::PeekMessageA(&msg, echo.Handle(), WM_APP, WM_APP, PM_NOREMOVE))
                << (cancelled ? "the cancelled wait" : "the wait") << " lasted as long as the stream of messages";
        }
    });
}

TEST_F(RunTest, WaitAcrossTheTickCounterWrapLastsAsLong)
{
    dlg.Run([&] {
        compat::SetTickCountStart(0xFFFFFFFFu - 50);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(dlg.WaitMs(200));
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        EXPECT_LT(::GetTickCount(), 0x10000000u) << "the counter wrapped during the wait";
        EXPECT_GE(elapsed.count(), 200);
        EXPECT_LT(elapsed.count(), 2000);
    });
}

} // namespace
