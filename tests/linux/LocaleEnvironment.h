#pragma once
// The locale variables of this process, set for a test and put back after it.
#include <cstdlib>
#include <map>
#include <string>

/// Unsets LANGUAGE, LC_ALL, LC_MESSAGES and SPEECH_VOICE and sets LANG to `lang` for the life of the
/// object, so a voice made meanwhile reads `lang` as the user's language; the old values
/// come back when it is destroyed.
class LocaleEnvironment {
public:
    explicit LocaleEnvironment(const char* lang) {
        for (const char* name : kNames) {
            if (const char* old = std::getenv(name)) saved[name] = old;
            unsetenv(name);
        }
        setenv("LANG", lang, 1);
    }
    ~LocaleEnvironment() {
        for (const char* name : kNames) {
            auto found = saved.find(name);
            if (found != saved.end()) setenv(name, found->second.c_str(), 1);
            else unsetenv(name);
        }
    }

private:
    static constexpr const char* kNames[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG", "SPEECH_VOICE"};
    std::map<std::string, std::string> saved;
};
