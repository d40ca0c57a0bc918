#pragma once
#include <string>
#include <vector>

#include "ComTypes.h"

/// Reads the format chunk of a RIFF WAVE file as a wave format block: the 18-byte header
/// and its cbSize extra bytes, exactly as the file states them (a 16-byte chunk gets
/// cbSize 0). An extensible block whose sub-format is plain PCM, IEEE float, A-law or
/// mu-law is reported as that plain format, as readers of the block expect. Returns an
/// empty block when the file is not a WAVE file or has no readable format chunk.
std::vector<unsigned char> ReadWavFormatChunk(const std::string& path);
