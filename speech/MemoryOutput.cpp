// Speaking into memory, and copying a stream into a file.
#include "MemoryOutput.h"

#include <cstdio>
#include <cstdlib>

#include "Speaker.h"
#include "StreamFormat.h"

namespace {

constexpr ULONG kChunkBytes = 4096;

// The voice's worker may still be running, using objects that std::exit would destroy
// under it: leave without tearing anything down, once what was printed is out.
[[noreturn]] void Leave() {
    std::fflush(nullptr);
    std::_Exit(1);
}

[[noreturn]] void FailWithResult(const char* message, HRESULT hr) {
    std::printf(message, static_cast<unsigned>(hr));
    Leave();
}

[[noreturn]] void FailWithFileError(const char* fileName) {
    std::perror(fileName);
    Leave();
}

}  // namespace

InterfaceHolder<ISpStream> Speaker::CreateMemoryOutput() {
    HRESULT hr = S_OK;
    CSpStreamFormat format(SPSF_44kHz16BitMono, &hr);
    if (FAILED(hr)) FailWithResult("can not create CSpStreamFormat, hr %x\n", hr);

    // The creation reference of the memory block stream is held here until the stream
    // object has taken its own; then it goes with this holder.
    InterfaceHolder<IStream> memory;
    hr = CreateStreamOnHGlobal(nullptr, TRUE, memory.Slot());
    if (FAILED(hr) || memory.IsEmpty()) FailWithResult("can not create memory stream, hr %x\n", FAILED(hr) ? hr : E_POINTER);

    InterfaceHolder<ISpStream> stream;
    hr = CoCreateInstance(CLSID_SpStream, nullptr, CLSCTX_ALL, IID_ISpStream, stream.VoidSlot());
    if (FAILED(hr) || stream.IsEmpty()) FailWithResult("can not create stream object, hr %x\n", FAILED(hr) ? hr : E_POINTER);

    hr = stream->SetBaseStream(memory.Get(), SPDFID_WaveFormatEx, format.WaveFormat());
    if (FAILED(hr)) FailWithResult("can not set base stream, hr %x\n", hr);

    hr = voice.IsEmpty() ? NoVoiceResult() : voice->SetOutput(stream.Get(), FALSE);
    if (FAILED(hr)) FailWithResult("can not set output to memory, hr %x\n", hr);

    return stream;
}

namespace {

void SeekToStart(const InterfaceHolder<ISpStream>& stream) {
    if (stream.IsEmpty()) FailWithResult("can not dump stream, hr %x\n", E_POINTER);
    LARGE_INTEGER start{};
    HRESULT hr = stream->Seek(start, STREAM_SEEK_SET, nullptr);
    if (FAILED(hr)) FailWithResult("can not seek, hr %x\n", hr);
}

// From the stream's position to its end, a chunk at a time; `name` is what a failure to
// write is reported under.
void CopyChunks(const InterfaceHolder<ISpStream>& stream, std::FILE* file, const char* name) {
    unsigned char buffer[kChunkBytes];
    ULONG count = 0;
    do {
        count = 0;
        HRESULT hr = stream->Read(buffer, kChunkBytes, &count);
        if (FAILED(hr)) FailWithResult("can not read, hr %x\n", hr);
        // A stream that claims more than it was given room for cannot be trusted.
        if (count > kChunkBytes) FailWithResult("can not read, hr %x\n", E_UNEXPECTED);
        if (count > 0 && std::fwrite(buffer, count, 1, file) < 1) FailWithFileError(name);
    } while (count >= kChunkBytes);
}

}  // namespace

void DumpStreamToFile(InterfaceHolder<ISpStream> stream, const char* fileName) {
    SeekToStart(stream);
    std::FILE* file = std::fopen(fileName, "wb");
    if (file == nullptr) FailWithFileError(fileName);
    CopyChunks(stream, file, fileName);
    if (std::fclose(file) != 0) FailWithFileError(fileName);
}

void DumpStreamTo(InterfaceHolder<ISpStream> stream, std::FILE* file, const char* name) {
    SeekToStart(stream);
    CopyChunks(stream, file, name);
    if (std::fflush(file) != 0) FailWithFileError(name);
}
