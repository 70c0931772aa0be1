// Times a program's start from inside Wine: from the CreateProcess that makes
// it until its main window ("TAMLINKPPC", "Tamlink PPC") is visible. Whatever
// Wine spends on making a process counts alike for every program timed.
//   start_timer.exe PROGRAM RESULT_FILE [SETTLE_MS]
// Waits SETTLE_MS first (default 0), so that the services Wine starts with the
// first process of a fresh prefix are up and do not run alongside the timed
// start. Writes the milliseconds to RESULT_FILE, then ends the program. Exit
// code 0 when the window came within a minute.
#include <windows.h>
#include <stdio.h>

static int writeResult(const wchar_t* path, double milliseconds) {
    FILE* file = _wfopen(path, L"w");
    if (!file) return 0;
    fprintf(file, "%.1f\n", milliseconds);
    fclose(file);
    return 1;
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 3 || argc > 4) {
        fwprintf(stderr, L"usage: start_timer PROGRAM RESULT_FILE [SETTLE_MS]\n");
        return 2;
    }
    if (argc == 4) Sleep(static_cast<DWORD>(_wtoi(argv[3])));
    wchar_t commandLine[MAX_PATH + 2];
    _snwprintf(commandLine, MAX_PATH + 2, L"\"%ls\"", argv[1]);
    commandLine[MAX_PATH + 1] = L'\0';

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(0, commandLine, 0, 0, FALSE, 0, 0, 0, &startup, &process)) {
        fwprintf(stderr, L"cannot start %ls: error %lu\n", argv[1], GetLastError());
        return 1;
    }

    double elapsed = 0;
    int seen = 0;
    while (!seen && elapsed < 60000) {
        HWND window = FindWindowW(L"TAMLINKPPC", L"Tamlink PPC");
        seen = window && IsWindowVisible(window);
        QueryPerformanceCounter(&now);
        elapsed = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                  static_cast<double>(frequency.QuadPart);
        if (!seen) Sleep(1);
    }

    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!seen) {
        fwprintf(stderr, L"%ls showed no window within a minute\n", argv[1]);
        return 1;
    }
    return writeResult(argv[2], elapsed) ? 0 : 1;
}
