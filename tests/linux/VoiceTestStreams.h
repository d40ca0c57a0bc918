#pragma once
// Stream objects a voice test controls: they take what the voice writes, or hand it audio
// to speak, in a format the test picks.
#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>

#include "engine/ComObject.h"
#include "engine/linux/streams/AudioFrames.h"
#include "engine/linux/streams/WaveFormat.h"
#include "engine/InterfaceHolder.h"

/// A header laid out as PCM's, with another tag where one is given.
inline WAVEFORMATEX WaveFormat(WORD tag, WORD channels, DWORD rate, WORD bits) {
    WAVEFORMATEX format = waveformat::PcmFormat(rate, channels, bits);
    format.wFormatTag = tag;
    return format;
}

/// A byte stream with a wave format: collects what is written, serves `content` to reads.
/// Writes can be held at a gate until the test opens it.
class TestByteStream : public ComObject<ISpStreamFormat> {
public:
    static InterfaceHolder<TestByteStream> Create(const WAVEFORMATEX& format, GUID formatId = SPDFID_WaveFormatEx) {
        return InterfaceHolder<TestByteStream>::Adopt(new TestByteStream(format, formatId));
    }

    HRESULT Read(void* buffer, ULONG size, ULONG* read) override {
        std::lock_guard<std::mutex> guard(lock);
        if (FAILED(readResult)) return readResult;
        size_t count = std::min<size_t>(size, content.size() - position);
        std::memcpy(buffer, content.data() + position, count);
        position += count;
        if (read) *read = static_cast<ULONG>(count);
        return S_OK;
    }
    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override {
        std::unique_lock<std::mutex> guard(lock);
        ++writes;
        writeSizes.push_back(size);
        changed.notify_all();
        changed.wait(guard, [this] { return gateOpen; });
        const auto* bytes = static_cast<const BYTE*>(buffer);
        collected.insert(collected.end(), bytes, bytes + size);
        if (written) *written = size;
        return S_OK;
    }
    HRESULT Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT GetFormat(GUID* id, WAVEFORMATEX** waveFormat) override {
        *id = formatId;
        *waveFormat = static_cast<WAVEFORMATEX*>(CoTaskMemAlloc(sizeof(WAVEFORMATEX)));
        std::memcpy(*waveFormat, &format, sizeof format);
        return S_OK;
    }

    std::vector<BYTE> Collected() {
        std::lock_guard<std::mutex> guard(lock);
        return collected;
    }
    void SetContent(std::vector<BYTE> bytes) {
        std::lock_guard<std::mutex> guard(lock);
        content = std::move(bytes);
        position = 0;
    }
    void FailReads(HRESULT hr) {
        std::lock_guard<std::mutex> guard(lock);
        readResult = hr;
    }
    /// Closes the gate: the next Write waits until OpenGate().
    void CloseGate() {
        std::lock_guard<std::mutex> guard(lock);
        gateOpen = false;
    }
    void OpenGate() {
        std::lock_guard<std::mutex> guard(lock);
        gateOpen = true;
        changed.notify_all();
    }
    /// Waits until at least `count` writes have begun.
    void AwaitWrites(size_t count) {
        std::unique_lock<std::mutex> guard(lock);
        changed.wait(guard, [&] { return writes >= count; });
    }
    std::vector<ULONG> WriteSizes() {
        std::lock_guard<std::mutex> guard(lock);
        return writeSizes;
    }
    ULONG References() {
        AddRef();
        return Release();
    }

private:
    TestByteStream(const WAVEFORMATEX& format, GUID formatId) : format(format), formatId(formatId) {}

    WAVEFORMATEX format;
    GUID formatId;
    std::mutex lock;
    std::condition_variable changed;
    std::vector<BYTE> collected;
    std::vector<BYTE> content;
    size_t position = 0;
    HRESULT readResult = S_OK;
    bool gateOpen = true;
    size_t writes = 0;
    std::vector<ULONG> writeSizes;
};

/// An object that takes and gives float frames, as a bound audio file does. Its byte
/// interface refuses everything, so only its frames can be used.
class TestFramesObject : public ComObject<ISpStreamFormat, IEngineAudioFrames> {
public:
    static InterfaceHolder<TestFramesObject> Create(DWORD rate, WORD channels) {
        return InterfaceHolder<TestFramesObject>::Adopt(new TestFramesObject(rate, channels));
    }

    HRESULT GetFrameFormat(DWORD* samplesPerSec, WORD* frameChannels) override {
        *samplesPerSec = rate;
        *frameChannels = channels;
        return S_OK;
    }
    HRESULT ReadFrames(float* interleaved, ULONG frames, ULONG* framesRead) override {
        size_t available = (content.size() - position) / channels;
        size_t count = std::min<size_t>(frames, available);
        std::copy_n(content.begin() + position, count * channels, interleaved);
        position += count * channels;
        *framesRead = static_cast<ULONG>(count);
        return S_OK;
    }
    HRESULT WriteFrames(const float* interleaved, ULONG frames) override {
        std::lock_guard<std::mutex> guard(lock);
        collected.insert(collected.end(), interleaved, interleaved + frames * channels);
        return S_OK;
    }

    HRESULT Read(void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT GetFormat(GUID*, WAVEFORMATEX**) override { return E_NOTIMPL; }

    std::vector<float> content;  // interleaved frames served to reads
    std::vector<float> Collected() {
        std::lock_guard<std::mutex> guard(lock);
        return collected;
    }

private:
    TestFramesObject(DWORD rate, WORD channels) : rate(rate), channels(channels) {}

    DWORD rate;
    WORD channels;
    size_t position = 0;
    std::mutex lock;
    std::vector<float> collected;
};

/// Little-endian 16-bit samples as floats (full scale 1), independent of the voice's codec.
inline std::vector<float> Pcm16ToFloat(const std::vector<BYTE>& bytes) {
    std::vector<float> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)) / 32768.0f;
    return samples;
}

/// Unsigned 8-bit samples as floats.
inline std::vector<float> Pcm8ToFloat(const std::vector<BYTE>& bytes) {
    std::vector<float> samples(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) samples[i] = (bytes[i] - 128) / 128.0f;
    return samples;
}
