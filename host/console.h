// The console side of a run: the progress bar and the user's ways to ask the
// plug-in to stop (Esc in the console, Ctrl+C).
#pragma once
#include <cstdint>

// Installs the Ctrl+C handler. The first Ctrl+C only asks to stop; a second
// one ends the process the usual way.
void InstallBreakHandler();

// True once the user pressed Ctrl+C or Esc (Esc is read from the console's
// input queue, so only when stdin is a console).
bool UserAskedToStop();

// True when standard error is a console the user watches, not a file or a
// pipe: the progress bar is drawn only there.
bool StderrIsTerminal();

class ProgressBar {
public:
    explicit ProgressBar(bool enabled) : enabled_(enabled) {}
    void update(int32_t done, int32_t total);
    // Ends the bar's line, if one was drawn; `complete` draws it full first.
    void finish(bool complete);

private:
    bool enabled_;
    bool drawn_ = false;
    int percent_ = -1;
};
