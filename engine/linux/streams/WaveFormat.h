#pragma once
#include <optional>
#include <vector>

#include "engine/linux/audio/SampleCodec.h"
#include "engine/linux/com/Com.h"

/// The one place that knows the wave format block (WAVEFORMATEX and its extra bytes): how
/// an extensible block names a plain format, that PCM carries no extra bytes whatever its
/// cbSize says, and, from one table with a row per format (tag and sample size, the
/// voice's sample encoding, the libsndfile subtype, the raw sample size), which encoding
/// and which libsndfile format a block stands for and how large a raw sample is.
namespace waveformat {

/// A wave format block as bytes: the 18-byte header and its cbSize extra bytes.
using Block = std::vector<BYTE>;

/// A copy of `format` (empty for null). A PCM block is copied as its 18-byte header with
/// cbSize 0: its cbSize is not read.
Block CopyBlock(const WAVEFORMATEX* format);

/// The block a WAV file's format chunk states: a 16-byte chunk gets cbSize 0, a cbSize
/// larger than the chunk is cut to it, PCM keeps no extra bytes, and an extensible block
/// whose sub-format is plain PCM, IEEE float, A-law or mu-law becomes that plain block,
/// as readers of the block expect. Empty when the chunk is too short to be one.
Block BlockFromChunk(const BYTE* chunk, size_t size);

/// The header of a plain PCM block.
WAVEFORMATEX PcmFormat(DWORD samplesPerSec, WORD channels, WORD bitsPerSample);

/// How the voice lays out the samples of `format` as bytes, or nothing when its encoding
/// is not one the voice reads and writes (PCM of 8 to 32 bits, 32-bit float, A-law,
/// mu-law, plain or extensible) or its fields contradict each other.
std::optional<SampleLayout> LayoutOf(const WAVEFORMATEX& format);

/// Which libsndfile format writes a WAV file holding the audio `format` describes. Keeps
/// the rule that a file is only created in a format that reads back as the block says:
/// PCM of 8, 16, 24 or 32 bits, IEEE float of 32 or 64 bits, A-law, mu-law, IMA and MS
/// ADPCM and GSM 6.10 (mono), plain or in the extensible block; the block's alignment
/// must agree with its channels and sample size. Anything else gives
/// SPERR_UNSUPPORTED_FORMAT, an inconsistent block E_INVALIDARG.
HRESULT SndfileFormatOf(const WAVEFORMATEX& format, int* sndfileFormat);

/// The bytes one sample takes in a libsndfile format whose data can be passed through as
/// raw bytes (fixed-size PCM, float, A-law, mu-law); 0 for the block codecs (ADPCM,
/// GSM 6.10), whose bytes only make sense decoded.
int RawSampleBytes(int sndfileFormat);

}  // namespace waveformat
