#pragma once
// tools/: the commands users run beside the service: speech-say, which sends the
// service's datagrams (it calls service/ for their layout, address and socket), and
// speech-render, which renders speech and WAV files through the Speaker (speech/). What
// they share is here: exit statuses, number arguments, the version.
#include <cstdio>
#include <string>

/// Exit statuses: 0 when everything asked was done.
constexpr int kExitFailure = 1;  // something asked could not be done; a message says what
constexpr int kExitUsage = 2;    // the command line asked for something that is not offered

/// Says on standard error what is wrong with the command line of `tool`, and where to
/// read more; returns kExitUsage.
int UsageError(const char* tool, const std::string& message);

/// The package's version, as the build states it.
const char* ToolVersion();

/// Reads `text` as a whole number from `low` to `high`; false when it is anything else.
bool ParseWholeNumber(const std::string& text, long low, long high, long* value);
/// What is wrong with `text` when ParseWholeNumber refused it for the setting `what`:
/// "the rate must be a whole number from -10 to 10, not 'fast'".
std::string NotInRange(const char* what, long low, long high, const std::string& text);

/// `text` as XML character data: it stays words whatever it holds.
std::string Escaped(const std::string& text);

/// Whether `name` can be a voice's name in the platform's markup, whose attribute list is
/// parted by ';' and '='.
bool IsVoiceName(const std::string& name);

/// `text` spoken by the voice `name`, chosen the way the platform's own markup chooses
/// one: a datagram carries no voice, and the engine is not told one any other way. Text
/// that is itself markup (`markup`) goes in as it is, less an XML declaration, which can
/// only open a document.
std::string InVoice(const std::string& name, const std::string& text, bool markup = false);

/// The arguments from `first` on, joined by blanks.
std::string JoinArguments(int argc, char** argv, int first);

/// Standard output as a file of its own for what the tool produces (binary on every
/// platform), while everything printed on standard output from then on (the rendering
/// facility's messages) goes to standard error instead, where messages belong.
std::FILE* TakeStandardOutputForData();
