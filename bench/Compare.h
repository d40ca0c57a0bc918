#pragma once
// compare-bench: the service and the rendering facility side by side with the tools people
// would use instead, each figure beside the peer's measured in the same run. Each part
// (one file each) reports "key value" lines on standard output, details on standard
// error; PrintTable turns the collected lines into one table. bench/compare.sh sets up
// the rig and runs every part. The parts share Figures.h and ProcessProbe.h and drive
// programs through the tests' own helpers (ServiceProcess, ToolRun, MonitorRecorder).
#include <sys/types.h>

#include <string>

int CompareMemory(pid_t speechDispatcher, const std::string& moment);  // "idle" or "after-speech"
/// `serviceOnly`: the service's series alone, without the peers.
int CompareLatency(int runs, bool serviceOnly);
/// `parts`: d dropouts, c cut-offs, i idle spells.
int CompareLive(int runs, const std::string& parts);
int CompareCommands(int rounds, int datagramsPerRound);
int CompareRendering(int runs, const std::string& directory);
int CompareConversion(int runs, int minutes, const std::string& directory);
int CompareGrowth(const std::string& directory, bool quick);
int PrintTable(const std::string& resultsFile);
