#include "host/console.h"

#include <windows.h>

#include <cstdio>

namespace {

volatile LONG gBreaks = 0;
bool gEscape = false;

BOOL WINAPI OnConsoleBreak(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
    return InterlockedIncrement(&gBreaks) == 1;
}

void DrawBar(int percent) {
    constexpr int kWidth = 40;
    char bar[kWidth + 1];
    int filled = percent * kWidth / 100;
    for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = '\0';
    std::fprintf(stderr, "\r[%s] %3d%%", bar, percent);
    std::fflush(stderr);
}

}  // namespace

bool StderrIsTerminal() {
    DWORD mode = 0;
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    return err != INVALID_HANDLE_VALUE && err != nullptr && GetConsoleMode(err, &mode);
}

void InstallBreakHandler() { SetConsoleCtrlHandler(OnConsoleBreak, TRUE); }

bool UserAskedToStop() {
    if (gBreaks > 0 || gEscape) return true;
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode, pending = 0;
    if (in == INVALID_HANDLE_VALUE || !GetConsoleMode(in, &mode)) return false;
    while (GetNumberOfConsoleInputEvents(in, &pending) && pending > 0) {
        INPUT_RECORD record;
        DWORD read = 0;
        if (!ReadConsoleInputA(in, &record, 1, &read) || read == 0) break;
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown &&
            record.Event.KeyEvent.wVirtualKeyCode == VK_ESCAPE)
            gEscape = true;
    }
    return gEscape;
}

void ProgressBar::update(int32_t done, int32_t total) {
    if (!enabled_ || total <= 0) return;
    int percent = int(int64_t(done < 0 ? 0 : done) * 100 / total);
    if (percent > 100) percent = 100;
    if (percent == percent_) return;
    percent_ = percent;
    drawn_ = true;
    DrawBar(percent);
}

void ProgressBar::finish(bool complete) {
    if (!drawn_) return;
    if (complete && percent_ != 100) DrawBar(100);
    std::fputc('\n', stderr);
    drawn_ = false;
    percent_ = -1;
}
