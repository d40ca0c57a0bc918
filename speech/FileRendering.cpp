// Rendering into WAV files: the Speaker's redirection of its output into a file, and the
// conversion of a WAV file into its 44.1 kHz 16-bit mono sibling.
#include "FileRendering.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "StreamFormat.h"
#include "WidenText.h"
#include "engine/CodePoints.h"

namespace {

constexpr char kMonoSuffix[] = "_mono.wav";
// A new name has at most 255 characters (the cut name, the suffix), as file systems take.
constexpr size_t kLongestCutName = 255 - (sizeof kMonoSuffix - 1);  // 246

// How much of `fileName` its mono sibling keeps: all but the extension of the last path
// component (from its last '.'). A '.' in a directory part is not an extension.
size_t KeptLength(const char* fileName) {
    const size_t length = std::strlen(fileName);
    for (size_t at = length; at > 0;) {
        --at;
        if (fileName[at] == '/' || fileName[at] == '\\') return length;
        if (fileName[at] == '.') return at;
    }
    return length;
}

}  // namespace

HRESULT BindStreamToFile(LPCWSTR fileName, SPFILEMODE mode, ISpStream** stream, const GUID* formatId,
                         const WAVEFORMATEX* waveFormat, ULONGLONG eventInterest) {
    HRESULT hr = CoCreateInstance(CLSID_SpStream, nullptr, CLSCTX_ALL, IID_ISpStream, reinterpret_cast<void**>(stream));
    if (FAILED(hr)) {
        *stream = nullptr;
        return hr;
    }
    hr = (*stream)->BindToFile(fileName, mode, formatId, waveFormat, eventInterest);
    // The slot is emptied first; the unbound stream goes with this holder.
    if (FAILED(hr)) InterfaceHolder<ISpStream>::Adopt(std::exchange(*stream, nullptr));
    return hr;
}

HRESULT Speaker::BindOutputToFile(LPCWSTR fileName) {
    // A second redirection would overwrite the saved output and lose the way back.
    if (!fileStream.IsEmpty() || !savedOutput.IsEmpty() || FAILED(redirectionResult)) {
        std::printf("can not bind to file: the output is already redirected into a file\n");
        return E_UNEXPECTED;
    }
    this->fileName = fileName != nullptr ? std::basic_string<WCHAR>(fileName) : std::basic_string<WCHAR>();
    HRESULT hr = voice.IsEmpty() ? NoVoiceResult() : BindFileOutput(fileName);
    if (FAILED(hr)) {
        std::printf("can not bind to file, hr %x\n", static_cast<unsigned>(hr));
        // Until FinishFileOutput nothing is spoken: not into the file, not anywhere else.
        redirectionResult = hr;
    }
    return hr;
}

HRESULT Speaker::BindFileOutput(LPCWSTR fileName) {
    CSpStreamFormat savedFormat;
    HRESULT targetResult = S_OK;
    CSpStreamFormat targetFormat(SPSF_44kHz16BitMono, &targetResult);

    HRESULT hr = voice->GetOutputStream(savedOutput.Slot());
    if (hr != S_OK)
        hr = E_FAIL;
    else
        hr = savedFormat.AssignFormat(savedOutput.Get());
    // Without the target format there is nothing to create the file in.
    if (SUCCEEDED(hr) && FAILED(targetResult)) hr = targetResult;
    if (FAILED(hr)) return hr;

    // The file takes the identifier of the output it replaces and the fixed wave format.
    hr = BindStreamToFile(fileName, SPFM_CREATE_ALWAYS, fileStream.Slot(), &savedFormat.FormatId(),
                          targetFormat.WaveFormat(), SPFEI_ALL_EVENTS);
    if (FAILED(hr)) return hr;
    return voice->SetOutput(fileStream.Get(), TRUE);
}

HRESULT Speaker::SpeakStream(InterfaceHolder<ISpStream> stream) {
    ULONG streamNumber = 0;
    HRESULT hr = FAILED(redirectionResult) ? redirectionResult
                 : voice.IsEmpty()   ? NoVoiceResult()
                                     : voice->SpeakStream(stream.Get(), SPF_DEFAULT, &streamNumber);
    if (FAILED(hr)) std::printf("speak stream failed, hr = 0x%x\n", static_cast<unsigned>(hr));
    stream.Clear();
    return hr;
}

HRESULT Speaker::FinishFileOutput() {
    if (!voice.IsEmpty()) {
        voice->WaitUntilDone(INFINITE);
        voice->SetOutput(savedOutput.Get(), FALSE);
    }
    HRESULT hr = redirectionResult;
    // Whether this redirection made a file: only then is there one to complete or remove.
    bool madeFile = !fileStream.IsEmpty();
    if (madeFile) {
        // The voice has let go of the file: closing it completes its header, and tells
        // whether every write and the header reached the disk.
        HRESULT closed = fileStream->Close();
        if (SUCCEEDED(hr) && FAILED(closed)) {
            hr = closed;
            std::printf("can not write %s, hr %x\n", Utf16ToUtf8(fileName.c_str()).c_str(), static_cast<unsigned>(hr));
        }
    }
    fileStream.Clear();
    savedOutput.Clear();
    // A file that is not complete, or that was made for a redirection that never took
    // place, must not be taken for a rendering.
    if (madeFile && FAILED(hr)) DeleteFileW(fileName.c_str());
    fileName.clear();
    redirectionResult = S_OK;
    return hr;
}

HRESULT ConvertFileToMono(Speaker& speaker, char* fileName) {
    WCHAR* wideName = WidenText(fileName);
    InterfaceHolder<ISpStream> input;
    HRESULT hr = wideName == nullptr ? E_OUTOFMEMORY
                                     : BindStreamToFile(wideName, SPFM_OPEN_READONLY, input.Slot(), nullptr, nullptr,
                                                        SPFEI_ALL_EVENTS);
    if (FAILED(hr)) {
        std::printf("can not open stream %s, hr %x\n", fileName, static_cast<unsigned>(hr));
        std::free(wideName);
        return hr;
    }

    const size_t cutLength = KeptLength(fileName);
    if (cutLength > kLongestCutName) {
        std::printf("can not convert %s: the name without its extension is longer than %u characters\n", fileName,
                    static_cast<unsigned>(kLongestCutName));
        std::free(wideName);
        return E_INVALIDARG;
    }
    const std::string newName = MonoSiblingOf(fileName);
    fileName[cutLength] = '\0';  // callers rely on finding the cut name in their buffer
    WCHAR* wideNewName = WidenText(newName.c_str());
    if (wideNewName == nullptr) {
        std::printf("can not convert %s, hr %x\n", fileName, static_cast<unsigned>(E_OUTOFMEMORY));
        std::free(wideName);
        return E_OUTOFMEMORY;
    }

    // The input is spoken only into the new file; the output is restored in every case.
    hr = speaker.BindOutputToFile(wideNewName);
    if (SUCCEEDED(hr)) hr = speaker.SpeakStream(input);
    HRESULT finished = speaker.FinishFileOutput();
    if (SUCCEEDED(hr)) hr = finished;
    input.Clear();
    std::free(wideName);
    std::free(wideNewName);
    return hr;
}

std::string MonoSiblingOf(const std::string& fileName) {
    return fileName.substr(0, KeptLength(fileName.c_str())) + kMonoSuffix;
}
