#include "Figures.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

void Report(const std::string& key, double value) {
    std::printf("%s %.6g\n", key.c_str(), value);
    std::fflush(stdout);
}

void ReportMedian(const std::string& key, const std::vector<double>& values) {
    Report(key, Median(values));
    std::fprintf(stderr, "%-40s median %.6g (each:", key.c_str(), Median(values));
    for (double value : values) std::fprintf(stderr, " %.6g", value);
    std::fprintf(stderr, ")\n");
}

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    double rank = share * static_cast<double>(values.size() - 1);
    size_t below = static_cast<size_t>(std::floor(rank));
    size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (rank - static_cast<double>(below));
}

std::string HelperPath(const char* name) {
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path(self, length > 0 ? static_cast<size_t>(length) : 0);
    return path.substr(0, path.rfind('/') + 1) + name;
}
