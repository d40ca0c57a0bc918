#include "FileByteCursor.h"

#include <algorithm>
#include <cstring>

#include "WavReader.h"
#include "WavWriter.h"

namespace {

/// The byte position a seek asks for, from the current one and the end of the data.
HRESULT SeekTarget(LONGLONG move, DWORD origin, LONGLONG current, LONGLONG end, LONGLONG* target) {
    switch (origin) {
        case STREAM_SEEK_SET: *target = move; break;
        case STREAM_SEEK_CUR: *target = current + move; break;
        case STREAM_SEEK_END: *target = end + move; break;
        default: return STG_E_INVALIDFUNCTION;
    }
    return *target < 0 ? STG_E_INVALIDFUNCTION : S_OK;
}

}  // namespace

void FileByteCursor::Drop() {
    frame.clear();
    handedOut = 0;
}

HRESULT FileByteCursor::Read(WavReader& file, void* buffer, ULONG size, ULONG* read) {
    const size_t frameBytes = file.RawFrameBytes();
    auto* out = static_cast<BYTE*>(buffer);
    size_t done = 0;

    // First what is left of a frame an earlier call split.
    size_t held = std::min<size_t>(frame.size() - handedOut, size);
    if (held > 0) {
        std::memcpy(out, frame.data() + handedOut, held);
        handedOut += held;
        done += held;
        if (handedOut == frame.size()) Drop();
    }

    // Then whole frames straight into the caller's buffer.
    size_t whole = (size - done) / frameBytes * frameBytes;
    bool atEnd = false;
    if (whole > 0) {
        size_t got = 0;
        if (FAILED(file.ReadRaw(out + done, whole, &got))) return E_FAIL;
        done += got;
        atEnd = got < whole;
    }

    // Then the start of one more frame, keeping the rest for the next call.
    if (!atEnd && done < size) {
        std::vector<BYTE> next(frameBytes);
        size_t got = 0;
        if (FAILED(file.ReadRaw(next.data(), frameBytes, &got))) return E_FAIL;
        size_t part = std::min(got, size - done);
        std::memcpy(out + done, next.data(), part);
        done += part;
        if (part < got) {
            next.resize(got);
            frame = std::move(next);
            handedOut = part;
        }
    }
    if (read != nullptr) *read = static_cast<ULONG>(done);
    return S_OK;
}

HRESULT FileByteCursor::Write(WavWriter& file, const void* buffer, ULONG size, ULONG* written) {
    const size_t frameBytes = file.RawFrameBytes();
    const auto* in = static_cast<const BYTE*>(buffer);
    size_t done = 0;

    // Complete a frame an earlier call left unfinished.
    if (!frame.empty()) {
        size_t part = std::min<size_t>(frameBytes - frame.size(), size);
        frame.insert(frame.end(), in, in + part);
        done += part;
        if (frame.size() == frameBytes) {
            if (HRESULT hr = file.WriteRaw(frame.data(), frameBytes); FAILED(hr)) return hr;
            Drop();
        }
    }

    // Whole frames go to the file as they are.
    size_t whole = (size - done) / frameBytes * frameBytes;
    if (whole > 0) {
        if (HRESULT hr = file.WriteRaw(in + done, whole); FAILED(hr)) {
            if (written != nullptr) *written = static_cast<ULONG>(done);
            return hr;
        }
        done += whole;
    }

    // A frame's first bytes wait for the rest; they count as written.
    frame.insert(frame.end(), in + done, in + size);
    if (written != nullptr) *written = size;
    return S_OK;
}

HRESULT FileByteCursor::Seek(WavReader& file, LONGLONG move, DWORD origin, ULARGE_INTEGER* newPosition) {
    const auto frameBytes = static_cast<LONGLONG>(file.RawFrameBytes());
    LONGLONG current = file.FramePosition() * frameBytes - static_cast<LONGLONG>(frame.size() - handedOut);
    LONGLONG target = 0;
    if (HRESULT hr = SeekTarget(move, origin, current, file.Frames() * frameBytes, &target); FAILED(hr)) return hr;
    if (target != current) {
        if (target > file.Frames() * frameBytes) return STG_E_INVALIDFUNCTION;
        Drop();
        if (FAILED(file.SeekFrame(target / frameBytes))) return STG_E_INVALIDFUNCTION;
        if (target % frameBytes != 0) {
            // Land inside a frame: read it and hand out only its remaining bytes.
            std::vector<BYTE> landed(static_cast<size_t>(frameBytes));
            size_t got = 0;
            if (FAILED(file.ReadRaw(landed.data(), landed.size(), &got)) || got != landed.size()) return E_FAIL;
            frame = std::move(landed);
            handedOut = static_cast<size_t>(target % frameBytes);
        }
    }
    if (newPosition != nullptr) newPosition->QuadPart = static_cast<ULONGLONG>(target);
    return S_OK;
}

HRESULT FileByteCursor::Seek(WavWriter& file, LONGLONG move, DWORD origin, ULARGE_INTEGER* newPosition) {
    const auto frameBytes = static_cast<LONGLONG>(file.RawFrameBytes());
    LONGLONG current = file.FramePosition() * frameBytes + static_cast<LONGLONG>(frame.size());
    LONGLONG target = 0;
    if (HRESULT hr = SeekTarget(move, origin, current, file.Frames() * frameBytes, &target); FAILED(hr)) return hr;
    if (target != current) {
        // Bytes of a frame not yet complete could not be written anywhere else.
        if (target % frameBytes != 0 || !frame.empty()) return STG_E_INVALIDFUNCTION;
        if (target > file.Frames() * frameBytes) return STG_E_INVALIDFUNCTION;
        if (FAILED(file.SeekFrame(target / frameBytes))) return STG_E_INVALIDFUNCTION;
    }
    if (newPosition != nullptr) newPosition->QuadPart = static_cast<ULONGLONG>(target);
    return S_OK;
}
