#pragma once
#include <cstdint>

/// Where the service listens: UDP on the loopback address only, at this fixed port. The
/// one place the port is written; senders, tests and benchmarks take it from here.
constexpr uint16_t kServicePort = 14742;
