#include "ProgressBar.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

constexpr int kWidth = 30;
constexpr size_t kLongestLabel = 40;

}  // namespace

ProgressBar::ProgressBar(bool wanted) : drawing(wanted && isatty(fileno(stderr))) {}

ProgressBar::~ProgressBar() { Done(); }

void ProgressBar::Show(double fraction, const std::string& label) {
    if (!drawing) return;
    fraction = fraction < 0 ? 0 : fraction > 1 ? 1 : fraction;
    int percent = static_cast<int>(fraction * 100);
    std::lock_guard<std::mutex> guard(lock);
    if (percent == shownPercent && label == shownLabel) return;
    shownPercent = percent;
    shownLabel = label;
    int filled = static_cast<int>(fraction * kWidth);
    std::string shown = label.size() > kLongestLabel ? "..." + label.substr(label.size() - kLongestLabel + 3) : label;
    std::fprintf(stderr, "\r[%s%s] %3d%% %-*s", std::string(filled, '#').c_str(), std::string(kWidth - filled, '.').c_str(),
                 percent, static_cast<int>(kLongestLabel), shown.c_str());
    std::fflush(stderr);
}

void ProgressBar::Done() {
    if (!drawing) return;
    std::lock_guard<std::mutex> guard(lock);
    if (shownPercent < 0) return;
    std::fprintf(stderr, "\r%*s\r", kWidth + 8 + static_cast<int>(kLongestLabel), "");
    std::fflush(stderr);
    shownPercent = -1;
    shownLabel.clear();
}
