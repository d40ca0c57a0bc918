/* The calls into flite that may report an error, each behind a jump target of its own in a
   frame with C data only (see FliteCalls.h). What a failed call leaves behind is released
   where it is known; flite itself does not release what it made before it jumped. */
#include "FliteCalls.h"

#include <setjmp.h>
#include <stddef.h>

/* Opens a guarded stretch: flite's jump comes back to the 0 return. */
#define FLITE_GUARD()                        \
    jmp_buf onError;                         \
    jmp_buf* outer = cst_errjmp;             \
    cst_errjmp = &onError;                   \
    if (setjmp(onError) != 0) {              \
        cst_errjmp = outer;                  \
        return 0;                            \
    }
#define FLITE_DONE()  \
    cst_errjmp = outer; \
    return 1

int FliteRegisterVoice(cst_voice* (*registerVoice)(const char*), cst_audio_stream_callback onAudio, cst_voice** voice,
                       cst_audio_streaming_info** streaming) {
    FLITE_GUARD();
    flite_init();
    *voice = registerVoice(NULL);
    if (*voice != NULL) {
        *streaming = new_audio_streaming_info();
        (*streaming)->asc = onAudio;
        flite_feat_set((*voice)->features, "streaming_info", audio_streaming_info_val(*streaming));
    }
    FLITE_DONE();
}

int FliteSetStyle(cst_voice* voice, float durationStretch, float pitchShift) {
    FLITE_GUARD();
    flite_feat_set_float(voice->features, "duration_stretch", durationStretch);
    flite_feat_set_float(voice->features, "f0_shift", pitchShift);
    FLITE_DONE();
}

int FliteAppendToken(cst_utterance** utterance, cst_relation** tokens, const char* name, const char* whitespace,
                     const char* prepunctuation, const char* punctuation, const char* phones) {
    FLITE_GUARD();
    if (*utterance == NULL) {
        *utterance = new_utterance();
        *tokens = utt_relation_create(*utterance, "Token");
    }
    cst_item* token = relation_append(*tokens, NULL);
    item_set_string(token, "name", name);
    item_set_string(token, "whitespace", whitespace);
    item_set_string(token, "prepunctuation", prepunctuation);
    item_set_string(token, "punc", punctuation);
    if (phones != NULL) item_set_string(token, "phones", phones);
    FLITE_DONE();
}

int FlitePunctuateLast(cst_relation* tokens, const char* punctuation) {
    FLITE_GUARD();
    cst_item* last = tokens != NULL ? relation_tail(tokens) : NULL;
    if (last != NULL && item_feat_string(last, "punc")[0] == '\0') item_set_string(last, "punc", punctuation);
    FLITE_DONE();
}

int FliteLastPunctuated(cst_relation* tokens, int* punctuated) {
    FLITE_GUARD();
    cst_item* last = tokens != NULL ? relation_tail(tokens) : NULL;
    *punctuated = last != NULL && item_feat_string(last, "punc")[0] != '\0';
    FLITE_DONE();
}

int FliteOpenText(cst_voice* voice, const char* text, cst_tokenstream** stream) {
    FLITE_GUARD();
    *stream = ts_open_string(text, flite_get_param_string(voice->features, "text_whitespace", NULL),
                             flite_get_param_string(voice->features, "text_singlecharsymbols", NULL),
                             flite_get_param_string(voice->features, "text_prepunctuation", NULL),
                             flite_get_param_string(voice->features, "text_postpunctuation", NULL));
    FLITE_DONE();
}

void FliteCloseText(cst_tokenstream* stream) {
    if (stream != NULL) ts_close(stream);
}

int FliteNextToken(cst_tokenstream* stream, cst_relation* tokens, const char** token, int* sentenceBreak) {
    FLITE_GUARD();
    *token = "";
    *sentenceBreak = 0;
    if (!ts_eof(stream)) {
        *token = ts_get(stream);
        *sentenceBreak = (*token)[0] != '\0' && tokens != NULL && relation_head(tokens) != NULL &&
                         default_utt_break(stream, *token, tokens);
    }
    FLITE_DONE();
}

int FliteSynthesizeTokens(cst_utterance* utterance, cst_voice* voice, int* interrupted) {
    jmp_buf onError;
    jmp_buf* outer = cst_errjmp;
    cst_errjmp = &onError;
    if (setjmp(onError) != 0) {
        /* flite_do_synth works on the utterance it is given: it is still ours to delete. */
        cst_errjmp = outer;
        delete_utterance(utterance);
        return 0;
    }
    cst_utterance* done = flite_do_synth(utterance, voice, utt_synth_tokens);
    *interrupted = done == NULL || flite_get_param_int(done->features, "Interrupted", 0) != 0;
    cst_errjmp = outer;
    if (done != NULL) delete_utterance(done);
    return 1;
}

int FliteAnalyseWords(cst_voice* voice, const char* text, void (*onWord)(const char* word, void* context), void* context) {
    static const cst_synth_module kTokenization = {"tokenizer_func", default_tokenization};
    static const cst_synth_module kAnalysis = {"textanalysis_func", default_textanalysis};
    cst_utterance* volatile utterance = NULL;
    jmp_buf onError;
    jmp_buf* outer = cst_errjmp;
    cst_errjmp = &onError;
    if (setjmp(onError) != 0) {
        cst_errjmp = outer;
        if (utterance != NULL) delete_utterance(utterance);
        return 0;
    }
    utterance = new_utterance();
    utt_set_input_text(utterance, text);
    utt_init(utterance, voice);
    apply_synth_module(utterance, &kTokenization);
    apply_synth_module(utterance, &kAnalysis);
    for (const cst_item* word = relation_head(utt_relation(utterance, "Word")); word != NULL; word = item_next(word))
        onWord(item_feat_string(word, "name"), context);
    cst_errjmp = outer;
    delete_utterance(utterance);
    return 1;
}
