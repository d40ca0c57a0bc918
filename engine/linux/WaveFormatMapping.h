#pragma once
#include "ComTypes.h"

/// Which libsndfile format writes a WAV file holding the audio a wave format block
/// describes. Keeps the rule that a file is only created in a format that reads back as
/// the block says: PCM of 8, 16, 24 or 32 bits, IEEE float of 32 or 64 bits, A-law,
/// mu-law, IMA and MS ADPCM and GSM 6.10 (mono), plain or in the extensible block; the
/// block's alignment must agree with its channels and sample size. Anything else gives
/// SPERR_UNSUPPORTED_FORMAT, an inconsistent block E_INVALIDARG.
HRESULT SndfileFormatForWaveFormat(const WAVEFORMATEX& format, int* sndfileFormat);

/// The bytes one sample takes in a libsndfile subtype whose data can be passed through
/// as raw bytes (fixed-size PCM, float, A-law, mu-law); 0 for the block codecs (ADPCM,
/// GSM 6.10), whose bytes only make sense decoded.
int RawSampleBytes(int sndfileFormat);
