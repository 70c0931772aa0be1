#include "tests/support/program_run.h"

#include "app/entry.h"
#include "ui/shell_state.h"
#include "resources/resource.h"
#include "tests/support/program_fixture.h"

namespace tamtest {

namespace {

constexpr wchar_t kProbeClass[] = L"TamtestLoopProbe";
constexpr UINT kRunProbe = WM_APP + 7;

std::function<void()> probeStep;

LRESULT CALLBACK probeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kRunProbe) return DefWindowProcW(window, message, wParam, lParam);
    // The loop runs once the timer has started; a box before it may get here first.
    if (!ui::shellState.timerId) {
        PostMessageW(window, kRunProbe, 0, 0);
        return 0;
    }
    if (probeStep) {
        auto step = std::move(probeStep);
        probeStep = nullptr;
        step();
    }
    return 0;
}

} // namespace

ProgramRun::ProgramRun() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = probeProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kProbeClass;
    RegisterClassW(&wc);
    probe_ = CreateWindowExW(0, kProbeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             wc.hInstance, nullptr);
}

ProgramRun::~ProgramRun() { DestroyWindow(probe_); }

int ProgramRun::run(std::function<void()> step) {
    probeStep = std::move(step);
    PostMessageW(probe_, kRunProbe, 0, 0);
    ui::shellState.shuttingDown = 0; // a new start: the last run's shutdown ended with it
    int exitCode = app::runProgram(GetModuleHandleW(nullptr));
    // Quit leaves the window to the end of the process; end it here without a
    // second shutdown.
    if (HWND window = FindWindowW(L"TAMLINKPPC", nullptr)) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
        DestroyWindow(window);
    }
    return exitCode;
}

void quitCommand() { SendMessageW(ui::shellState.mainWindow, WM_COMMAND, IDM_QUIT, 0); }

void ProgramRunTest::SetUp() {
    resetProgramState();
    dialogs_ = std::make_unique<DialogDriver>();
}

void ProgramRunTest::TearDown() {
    pumpMessages();
    dialogs_.reset();
}

} // namespace tamtest
