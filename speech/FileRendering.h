#pragma once
#include <string>

#include "Speaker.h"
#include "engine/Engine.h"

/// Creates a stream object into `stream` (the slot of an empty holder) and binds it to a
/// file with the arguments given, unchanged. When creating or binding fails the slot is
/// null afterwards (a stream created for it is released) and the failure is returned.
HRESULT BindStreamToFile(LPCWSTR fileName, SPFILEMODE mode, ISpStream** stream, const GUID* formatId,
                         const WAVEFORMATEX* waveFormat, ULONGLONG eventInterest);

/// Turns the WAV file `fileName` names into a 44.1 kHz 16-bit mono sibling: the last
/// path component loses its extension (from its last '.') and gains "_mono.wav", so
/// "dir/take.wav" gives "dir/take_mono.wav" and "take" gives "take_mono.wav". The voice
/// speaks the file into the new one, then its output is restored. The extension is cut
/// in the caller's buffer, which keeps the cut name afterwards. An input that cannot be
/// opened, or a cut name longer than 246 characters, is reported and nothing is made; a
/// new file that cannot be made or written is reported, the input is not spoken anywhere
/// else, and nothing is left behind. Returns the first failure, or S_OK.
HRESULT ConvertFileToMono(Speaker& speaker, char* fileName);

/// The name ConvertFileToMono gives the sibling of `fileName`.
std::string MonoSiblingOf(const std::string& fileName);
