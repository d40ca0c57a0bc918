#pragma once
#include <cstdint>

#include "engine/Engine.h"

/// Turns a stream format code into its format identifier and a newly allocated wave
/// format block (task memory, the caller frees it with CoTaskMemFree). Both out-parameters
/// must be writable, or E_INVALIDARG is returned and nothing is written; past that check
/// both are always written. Codes 0 and 1 (no format, text) succeed with a null block;
/// every other code without a fixed wave format gives E_INVALIDARG, GUID_NULL and a null
/// block; a failed allocation gives E_OUTOFMEMORY, GUID_NULL and a null block.
HRESULT ConvertStreamFormat(int32_t code, GUID* formatId, WAVEFORMATEX** waveFormat);

/// A stream format descriptor: a format identifier plus the wave format block it owns
/// alone (released with CoTaskMemFree when it is destroyed or reassigned). Neither copied
/// nor assigned.
class CSpStreamFormat {
public:
    /// No format: GUID_NULL and no block.
    CSpStreamFormat();
    /// The format of a stream format code; `*result` receives the conversion's result.
    /// Whatever the result, the descriptor is valid and safe to destroy.
    CSpStreamFormat(int32_t code, HRESULT* result);
    ~CSpStreamFormat();
    CSpStreamFormat(const CSpStreamFormat&) = delete;
    CSpStreamFormat& operator=(const CSpStreamFormat&) = delete;

    const GUID& FormatId() const { return formatId; }
    /// The block (or null); it stays good until the next AssignFormat or destruction.
    WAVEFORMATEX* WaveFormat() const { return waveFormat; }

    /// Releases the block held now, then takes the stream's format (its identifier and a
    /// new block, as its GetFormat writes them). Returns GetFormat's result unchanged.
    HRESULT AssignFormat(ISpStreamFormat* stream);

private:
    GUID formatId;
    WAVEFORMATEX* waveFormat;
};
