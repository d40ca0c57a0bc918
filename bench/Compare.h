#pragma once
// compare-bench: the service and the rendering facility side by side with the tools people
// would use instead, each figure beside the peer's measured in the same run. Each part
// reports "key value" lines on standard output (details go to standard error);
// `compare-bench table FILE` turns the collected lines into one table. bench/compare.sh
// sets up the rig and runs every part. The parts share Figures.h and ProcessProbe.h and
// drive programs through the tests' own helpers (ServiceProcess, ToolRun, MonitorRecorder).
#include <sys/types.h>

#include <string>

/// The service's resident size, fresh (at "idle"), and speech-dispatcher's whole tree's.
int CompareMemory(pid_t speechDispatcher, const std::string& moment);
/// Time to first audio and cut-off: the service, spd-say and the espeak-ng command.
int CompareLatency(int runs);
/// Volume datagrams at full speed into the service and into a bare receive loop.
int CompareCommands(int rounds, int datagramsPerRound);
/// A 600-word text into a WAV file, against espeak-ng -w and espeak-ng piped into sox.
int CompareRendering(int runs, const std::string& directory);
/// A 48 kHz stereo file of `minutes` into its mono sibling, against sox.
int CompareConversion(int runs, int minutes, const std::string& directory);
/// Rendering and conversion time and peak memory for growing jobs.
int CompareGrowth(const std::string& directory, bool quick);
/// The table of everything reported into `resultsFile`.
int PrintTable(const std::string& resultsFile);
