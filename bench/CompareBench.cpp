// compare-bench PART ...: one part of the side-by-side comparison (see Compare.h). Parts
// that start the service need the service's port to themselves; bench/compare.sh runs
// them in a network namespace of their own, beside a private sound server.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "Compare.h"

void Report(const std::string& key, double value) {
    std::printf("%s %.6g\n", key.c_str(), value);
    std::fflush(stdout);
}

std::string HelperPath(const char* name) {
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path(self, length > 0 ? static_cast<size_t>(length) : 0);
    return path.substr(0, path.rfind('/') + 1) + name;
}

int main(int argc, char** argv) {
    std::string part = argc > 1 ? argv[1] : "";
    auto number = [&](int index, int otherwise) { return argc > index ? std::atoi(argv[index]) : otherwise; };
    try {
        if (part == "memory" && argc == 4) return CompareMemory(static_cast<pid_t>(std::atoi(argv[2])), argv[3]);
        if (part == "latency") return CompareLatency(number(2, 30));
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
                 "usage: %s memory SPEECH_DISPATCHER_PID idle|after-speech | latency [runs] | commands [rounds] "
                 "[per round] | render RUNS DIR | convert RUNS MINUTES DIR | growth DIR [quick] | table RESULTS\n",
                 argv[0]);
    return 2;
}
