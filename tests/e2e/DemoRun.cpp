// One run of Duoprobe.exe for scripts/demo on a machine without a display:
// starts the program (under Xvfb), runs the baud-rate and size/parity checks
// on COM3 and COM1, prints the log and the verdict, keeps a screenshot and
// closes the program.
//
//   duoprobe_demo_run <Duoprobe.exe> <screenshot.png>
//
// Exit code 0 for "OK", 1 for "NG", 2 when the run could not be made.
#include "Png.h"
#include "Poll.h"
#include "RemoteDialog.h"
#include "Screen.h"

#include <cstdio>
#include <stdexcept>

namespace {

// Both sweeps over ptys take about 20 s.
const DWORD kRunTime = 120000;
const DWORD kStartTime = 20000;

e2e::Verdict ShownVerdict(const e2e::CRemoteDialog& dialog)
{
    const HWND hArea = dialog.Item(IDC_RESULT_TEXT);
    e2e::Verdict verdict = e2e::Verdict::Unpainted;
    // The painted verdict reaches the screen a moment after the run's end.
    e2e::PollUntil(e2e::kReaction, [&] {
        verdict = e2e::ReadVerdict(hArea);
        return verdict == e2e::Verdict::Ok || verdict == e2e::Verdict::Ng;
    });
    return verdict;
}

int Demo(const std::string& strExe, const std::string& strScreenshot)
{
    e2e::CProcess process(e2e::WinePath(strExe));
    e2e::CRemoteDialog dialog = e2e::CRemoteDialog::Find(process, kStartTime);
    dialog.Choose("COM3", "COM1", true, true, false);
    std::printf("Device Port COM3, Connect With COM1; Start...\n");
    std::fflush(stdout);

    const std::string strProblem = dialog.RunToEnd(kRunTime);
    for (const std::string& line : dialog.Log())
        std::printf("  %s\n", line.c_str());
    const e2e::Verdict verdict = ShownVerdict(dialog);
    e2e::SavePng(e2e::CaptureScreen(e2e::WindowRect(dialog.Handle())), e2e::WinePath(strScreenshot));
    if (!strProblem.empty())
        throw std::runtime_error(strProblem);
    std::printf("Verdict: %s\n", verdict == e2e::Verdict::Ok ? "OK" : verdict == e2e::Verdict::Ng ? "NG" : "none");

    dialog.Close();
    process.WaitForExit(e2e::kReaction); // the process's owner ends it otherwise
    return verdict == e2e::Verdict::Ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <Duoprobe.exe> <screenshot.png>\n", argv[0]);
        return 2;
    }
    try {
        return Demo(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo run: %s\n", e.what());
        return 2;
    }
}
