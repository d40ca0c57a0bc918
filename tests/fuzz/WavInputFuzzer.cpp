// Any bytes as a WAV input: written to a file, opened by the stream object, and spoken by
// the real voice into a memory output, as ConvertFileToMono would speak it into a file.
// Whatever the file holds, opening and reading it may fail but must not crash.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzTarget.h"
#include "speech/FileRendering.h"
#include "speech/MemoryOutput.h"
#include "speech/Speaker.h"

namespace {

Speaker* speaker = nullptr;
std::string path;
std::basic_string<WCHAR> widePath;

// Below this rate a few kilobytes of input become hours of output: the time and memory
// of that are what the bounded-memory test measures, not what a fuzzer should wait for.
constexpr DWORD kSlowestRateSpoken = 1000;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (std::freopen("/dev/null", "w", stdout) == nullptr) return 0;
    char directory[] = "/tmp/speech-fuzz.XXXXXX";
    if (::mkdtemp(directory) == nullptr) std::abort();
    path = std::string(directory) + "/input.wav";
    widePath.assign(path.begin(), path.end());
    speaker = new Speaker();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, size, 1, file) != 1) std::abort();
    std::fclose(file);

    InterfaceHolder<ISpStream> input;
    if (FAILED(BindStreamToFile(widePath.c_str(), SPFM_OPEN_READONLY, input.Slot(), nullptr, nullptr,
                                SPFEI_ALL_EVENTS)))
        return 0;
    GUID formatId{};
    WAVEFORMATEX* format = nullptr;
    HRESULT hr = input->GetFormat(&formatId, &format);
    FuzzCheck(SUCCEEDED(hr) && format != nullptr, "an opened file has a wave format");
    bool spoken = format->nSamplesPerSec >= kSlowestRateSpoken;
    CoTaskMemFree(format);
    if (spoken) {
        InterfaceHolder<ISpStream> memory = speaker->CreateMemoryOutput();
        speaker->SpeakStream(input);
        speaker->WaitUntilDone(INFINITE);
    }
    return 0;
}
