#pragma once
#include <mutex>
#include <string>

/// A progress bar on standard error, drawn only when standard error is a terminal and the
/// user has not asked for quiet: a script that reads the tool's messages gets no control
/// characters. Show() may be called from any thread; the bar is redrawn only when what it
/// shows changes, and Done() clears it.
class ProgressBar {
public:
    explicit ProgressBar(bool wanted);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    /// Shows `fraction` (0 to 1) of the work done, with what is being worked on.
    void Show(double fraction, const std::string& label);
    /// Takes the bar off the screen.
    void Done();
    /// Whether the bar is drawn at all.
    bool IsDrawn() const { return drawing; }

private:
    bool drawing;
    std::mutex lock;
    int shownPercent = -1;
    std::string shownLabel;
};
