#pragma once
#include <vector>

#include "engine/linux/com/Com.h"

class WavReader;
class WavWriter;

/// The byte interface of a stream bound to a WAV file in a fixed-size encoding. The file
/// objects move in whole raw frames; a byte call that ends inside a frame leaves that
/// frame here: when reading, the part not yet handed out; when writing, the part received
/// so far, which reaches the file once the frame is complete (a frame never completed
/// never does). Reading reaches any byte position, writing only frame boundaries. Frames
/// read or written as floats move the file on, so they drop the split frame first. The
/// stream object has checked the pointers and the file's way before it calls.
class FileByteCursor {
public:
    HRESULT Read(WavReader& file, void* buffer, ULONG size, ULONG* read);
    HRESULT Write(WavWriter& file, const void* buffer, ULONG size, ULONG* written);
    HRESULT Seek(WavReader& file, LONGLONG move, DWORD origin, ULARGE_INTEGER* newPosition);
    HRESULT Seek(WavWriter& file, LONGLONG move, DWORD origin, ULARGE_INTEGER* newPosition);
    void Drop();

private:
    // Reading: the whole frame, of which `handedOut` bytes are gone. Writing: its bytes
    // received so far.
    std::vector<BYTE> frame;
    size_t handedOut = 0;
};
