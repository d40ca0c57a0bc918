#pragma once
// flite reports an error by a longjmp to the buffer its global cst_errjmp points at, or
// ends the process when it points nowhere. A jump out of a C++ frame skips its objects'
// destructors, so each function here makes its calls into flite with a jump target of
// its own, set in a C frame (FliteCalls.c) that holds only C data: a jump never crosses a
// C++ object. Each returns 1 when the calls went through and 0 when flite reported an
// error. Callers hold the flite engine's lock: cst_errjmp is the library's one global.
#include <flite/flite.h>

#ifdef __cplusplus
extern "C" {
#endif

/// flite_init, then the voice a voice library's registration function makes, its audio
/// handed to `onAudio` through the streaming information made for it.
int FliteRegisterVoice(cst_voice* (*registerVoice)(const char*), cst_audio_stream_callback onAudio, cst_voice** voice,
                       cst_audio_streaming_info** streaming);

/// Sets the voice's pace (flite's duration_stretch) and pitch (f0_shift) for what follows.
int FliteSetStyle(cst_voice* voice, float durationStretch, float pitchShift);

/// Appends a token to `*utterance`'s Token relation (`*tokens`), making both when null.
/// `phones`, when not null, is how the token is pronounced, in flite's phones.
int FliteAppendToken(cst_utterance** utterance, cst_relation** tokens, const char* name, const char* whitespace,
                     const char* prepunctuation, const char* punctuation, const char* phones);

/// Gives the last token `punctuation` when it has none.
int FlitePunctuateLast(cst_relation* tokens, const char* punctuation);

/// Whether the last token has punctuation after it.
int FliteLastPunctuated(cst_relation* tokens, int* punctuated);

/// `text` opened as a token stream with the voice's own rules of white space and
/// punctuation; the stream is closed with FliteCloseText.
int FliteOpenText(cst_voice* voice, const char* text, cst_tokenstream** stream);
void FliteCloseText(cst_tokenstream* stream);

/// The next token of `stream` (flite's own text, good until the next call; "" at the
/// end), `*sentenceBreak` set when a sentence ends before it, after `tokens` (null or empty:
/// never).
int FliteNextToken(cst_tokenstream* stream, cst_relation* tokens, const char** token, int* sentenceBreak);

/// Synthesizes `utterance`'s tokens with `voice`, its audio handed to the voice's
/// streaming callback as it is made; `*interrupted` set when that callback stopped it.
/// The utterance is deleted either way.
int FliteSynthesizeTokens(cst_utterance* utterance, cst_voice* voice, int* interrupted);

/// flite's own tokenization and text analysis of `text`: each word's name handed to
/// `onWord` in order.
int FliteAnalyseWords(cst_voice* voice, const char* text, void (*onWord)(const char* word, void* context), void* context);

#ifdef __cplusplus
}
#endif
