// compare-bench PART ...: one part of the side-by-side comparison (see Compare.h).
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "Compare.h"

int main(int argc, char** argv) {
    std::string part = argc > 1 ? argv[1] : "";
    auto number = [&](int index, int otherwise) { return argc > index ? std::atoi(argv[index]) : otherwise; };
    try {
        if (part == "memory" && argc == 4) return CompareMemory(static_cast<pid_t>(std::atoi(argv[2])), argv[3]);
        if (part == "latency") return CompareLatency(number(2, 30), argc > 3 && std::string(argv[3]) == "service");
        if (part == "live") return CompareLive(number(2, 30), argc > 3 ? argv[3] : "dci");
        if (part == "commands") return CompareCommands(number(2, 10), number(3, 100000));
        if (part == "render" && argc == 4) return CompareRendering(number(2, 7), argv[3]);
        if (part == "convert" && argc == 5) return CompareConversion(number(2, 5), number(3, 10), argv[4]);
        if (part == "growth" && argc >= 3) return CompareGrowth(argv[2], argc > 3 && std::string(argv[3]) == "quick");
        if (part == "table" && argc == 3) return PrintTable(argv[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "compare-bench %s: %s\n", part.c_str(), error.what());
        return 1;
    }
    std::fprintf(stderr,
                 "usage: %s memory SPEECH_DISPATCHER_PID idle|after-speech | latency [runs] [service] | live [runs] [dci] | commands [rounds] "
                 "[per round] | render RUNS DIR | convert RUNS MINUTES DIR | growth DIR [quick] | table RESULTS\n",
                 argv[0]);
    return 2;
}
