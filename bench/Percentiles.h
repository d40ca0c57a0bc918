#pragma once
#include <vector>

/// Order statistics of a series of measurements, for the benchmarks' summaries. An empty
/// series gives 0.
double Median(std::vector<double> values);
/// The value below which `share` (0..1) of the series lies, interpolated between the two
/// nearest ranks (share 0.95: the 95th percentile).
double Percentile(std::vector<double> values, double share);
