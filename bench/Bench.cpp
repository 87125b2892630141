// Figures of the program's timing on virtual cables (native build, compat):
//   1. a full good run with wire time on, against the sum of the fixed waits
//      and the wire time that the run implies;
//   2. signal latency, from EscapeFunction on one end to the notification's
//      handler on the dialog's thread;
//   3. how often a listener thread wakes while its line is idle.
// It measures and prints; it passes or fails nothing.
#include "DialogProbe.h"
#include "TestApp.h"
#include "TesterDlg.h"

#include <compat/Cable.h>
#include <compat/Kernel.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// Milliseconds that 512 characters take on the line in one direction.
double BlockTime(DWORD baud, int dataBits, bool parity)
{
    const int bits = 1 + dataBits + (parity ? 1 : 0) + 1;
    return 512.0 * bits * 1000.0 / baud;
}

// The waits of a full run (each lasts a little more than its length) and
// the wire time of its 50 transfers.
double ExpectedRunMs()
{
    double waits = 5 * (200 + 100 + 200 + 100) + 20 * (200 + 100 + 200 + 100) + 8 * 200;
    double wire = 0;
    for (DWORD baud : {9600u, 19200u, 38400u, 57600u, 115200u})
        wire += 2 * BlockTime(baud, 8, false);
    for (int bits = 5; bits <= 8; ++bits)
        for (int parity = 0; parity < 5; ++parity)
            wire += 2 * BlockTime(115200, bits, parity != 0);
    return waits + wire;
}

class CRunProbe : public CDialogProbe<CTesterDlg> {
public:
    void Start() { SendMessage(WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED), 0); }
};

void FullRun()
{
    compat::NullModemCable cable("COM3", "COM1");
    cable.SetWireTime(true);
    CRunProbe dlg;
    Clock::duration elapsed{};
    dlg.Run([&] {
        const auto start = Clock::now();
        dlg.Start();
        elapsed = Clock::now() - start;
    });
    const double expected = ExpectedRunMs();
    std::printf("full run with wire time: %.0f ms, waits and wire time %.0f ms, ratio %.4f (%+.2f %%)\n",
                Ms(elapsed), expected, Ms(elapsed) / expected, (Ms(elapsed) / expected - 1) * 100);
}

// Receives the ports' notifications on the dialog's thread, as the dialog does.
class CLatencyProbe : public CDialogProbe<CTesterDlg> {
public:
    bool OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (nMsg == g_nSerialNotifyMsg)
            m_arrived = Clock::now();
        return CDialogProbe<CTesterDlg>::OnWndMsg(nMsg, wParam, lParam, pResult);
    }
    Clock::time_point m_arrived{};
};

void SignalLatency(int samples)
{
    compat::NullModemCable cable("COM3", "COM1");
    CLatencyProbe dlg;
    CWndSerialPort listening;
    CSerialPort driving;
    std::vector<double> latencies;
    dlg.Run([&] {
        listening.Open("COM3", &dlg, 0, 0, 0, 0);
        listening.SetMask(EV_CTS);
        driving.Open("COM1", 0, 0);
        bool raised = true;
        for (int i = 0; i < samples; ++i) {
            dlg.m_arrived = {};
            const auto start = Clock::now();
            driving.EscapeFunction(raised ? CLRRTS : SETRTS);
            raised = !raised;
            const auto deadline = start + std::chrono::seconds(2);
            MSG msg;
            while (dlg.m_arrived == Clock::time_point{} && Clock::now() < deadline) {
                if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                    ::DispatchMessageA(&msg);
            }
            if (dlg.m_arrived != Clock::time_point{})
                latencies.push_back(Ms(dlg.m_arrived - start));
        }
        listening.Close();
    });
    std::sort(latencies.begin(), latencies.end());
    if (latencies.empty()) {
        std::printf("signal latency: no notification arrived\n");
        return;
    }
    std::printf("signal latency over %zu changes: median %.3f ms, worst %.3f ms (%d lost)\n", latencies.size(),
                latencies[latencies.size() / 2], latencies.back(), samples - static_cast<int>(latencies.size()));
}

void IdleWakeUps(int seconds)
{
    compat::NullModemCable cable("COM3", "COM1");
    CWndSerialPort port;
    port.Open("COM3", nullptr, 0, 0, 0, 0);
    const std::vector<DWORD> threads = compat::RunningThreadIds();
    if (threads.empty()) {
        std::printf("idle wake-ups: no listener thread\n");
        return;
    }
    const std::uint64_t before = compat::WakeUps(threads.back());
    ::Sleep(static_cast<DWORD>(seconds) * 1000); // an idle line: nothing happens meanwhile
    const std::uint64_t after = compat::WakeUps(threads.back());
    port.Close();
    std::printf("listener wake-ups on an idle line over %d s: %llu\n", seconds,
                static_cast<unsigned long long>(after - before));
}

} // namespace

int main()
{
    TestApp();
    IdleWakeUps(3);
    SignalLatency(500);
    FullRun();
    return 0;
}
