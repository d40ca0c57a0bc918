#pragma once
// A command run to its end, as a shell would run it: arguments, standard input, and what
// it printed and how it ended. POSIX only.
#ifndef _WIN32
#include <string>
#include <vector>

struct ToolResult {
    int status = -1;  // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

/// Runs `command` (the program and its arguments) with `input` on its standard input.
ToolResult RunTool(const std::vector<std::string>& command, const std::string& input = "");
#endif
