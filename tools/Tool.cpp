#include "Tool.h"

#include <cerrno>
#include <cstdlib>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define dup _dup
#define dup2 _dup2
#define fileno _fileno
#define fdopen _fdopen
#else
#include <unistd.h>
#endif

const char* ToolVersion() { return SPEECH_VERSION; }

int UsageError(const char* tool, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n(%s --help tells more)\n", tool, message.c_str(), tool);
    return kExitUsage;
}

bool ParseWholeNumber(const std::string& text, long low, long high, long* value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
    *value = parsed;
    return true;
}

std::string NotInRange(const char* what, long low, long high, const std::string& text) {
    return std::string("the ") + what + " must be a whole number from " + std::to_string(low) + " to " +
           std::to_string(high) + ", not '" + text + "'";
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

bool IsVoiceName(const std::string& name) { return !name.empty() && name.find_first_of(";=") == std::string::npos; }

std::string InVoice(const std::string& name, const std::string& text, bool markup) {
    std::string inside = markup ? text : Escaped(text);
    if (markup) {
        size_t first = inside.find_first_not_of(" \t\r\n");
        if (first != std::string::npos && inside.compare(first, 5, "<?xml") == 0) {
            size_t end = inside.find("?>", first);
            inside.erase(0, end == std::string::npos ? inside.size() : end + 2);
        }
    }
    return "<voice required=\"Name=" + Escaped(name) + "\">" + inside + "</voice>";
}

std::string JoinArguments(int argc, char** argv, int first) {
    std::string joined;
    for (int i = first; i < argc; ++i) {
        if (i > first) joined += ' ';
        joined += argv[i];
    }
    return joined;
}

std::FILE* TakeStandardOutputForData() {
    std::fflush(stdout);
    int data = dup(fileno(stdout));
    if (data < 0) return nullptr;
    dup2(fileno(stderr), fileno(stdout));
#ifdef _WIN32
    _setmode(data, _O_BINARY);
#endif
    return fdopen(data, "wb");
}
