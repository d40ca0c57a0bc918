#pragma once
#include <string>
#include <vector>

#include "ComTypes.h"

/// What a RIFF WAVE file's chunks before its data say about it.
struct WavLayout {
    /// The format chunk as a wave format block: the 18-byte header and its cbSize extra
    /// bytes, exactly as the file states them (a 16-byte chunk gets cbSize 0). An
    /// extensible block whose sub-format is plain PCM, IEEE float, A-law or mu-law is
    /// reported as that plain format, as readers of the block expect. Empty when the file
    /// is not a WAVE file or has no readable format chunk.
    std::vector<unsigned char> formatBlock;
    /// The sample count of the fact chunk, -1 when there is none. Block codecs fill their
    /// last block with padding; this count says where the real audio ends.
    long long factFrames = -1;
};

WavLayout ReadWavLayout(const std::string& path);
