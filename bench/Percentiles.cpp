#include "Percentiles.h"

#include <algorithm>
#include <cmath>

double Median(std::vector<double> values) { return Percentile(std::move(values), 0.5); }

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    double rank = share * static_cast<double>(values.size() - 1);
    size_t below = static_cast<size_t>(std::floor(rank));
    size_t above = std::min(below + 1, values.size() - 1);
    double fraction = rank - static_cast<double>(below);
    return values[below] + (values[above] - values[below]) * fraction;
}
