#pragma once
// What every benchmark program shares: result lines, order statistics of a series, and
// where the helper programs built beside it are.
#include <string>
#include <utility>
#include <vector>

/// One result line on standard output: "key value".
void Report(const std::string& key, double value);
/// The value below which `share` (0..1) of the series lies, interpolated between the two
/// nearest ranks; 0 for an empty series.
double Percentile(std::vector<double> values, double share);
inline double Median(std::vector<double> values) { return Percentile(std::move(values), 0.5); }
/// Reports the median of `values` as `key`, and prints them all on standard error: the
/// median goes into the table, the spread into the details.
void ReportMedian(const std::string& key, const std::vector<double>& values);
/// A helper program built beside this one (file-job, bare-receiver).
std::string HelperPath(const char* name);
