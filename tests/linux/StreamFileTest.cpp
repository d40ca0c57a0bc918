// The engine's stream object bound to WAV files: writing and reading back each codec
// family, the format blocks it reports, completion of the file on the last release,
// refusals, and byte-level access to the data chunk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "ScratchFiles.h"
#include "ToneAnalysis.h"
#include "engine/linux/streams/AudioFrames.h"
#include "engine/linux/com/Results.h"
#include "speech/StreamFormat.h"
#include "tests/support/TaskAllocFailure.h"

namespace {

using Bytes = std::vector<unsigned char>;

ISpStream* NewStream() {
    ISpStream* stream = nullptr;
    EXPECT_EQ(S_OK, CoCreateInstance(CLSID_SpStream, nullptr, CLSCTX_ALL, IID_ISpStream, reinterpret_cast<void**>(&stream)));
    return stream;
}

IEngineAudioFrames* FramesOf(IUnknown* object) {
    IEngineAudioFrames* frames = nullptr;
    object->QueryInterface(IID_IEngineAudioFrames, reinterpret_cast<void**>(&frames));
    return frames;
}

Bytes FormatOfCode(int32_t code) {
    GUID id{};
    WAVEFORMATEX* block = nullptr;
    EXPECT_EQ(S_OK, ConvertStreamFormat(code, &id, &block));
    Bytes bytes(reinterpret_cast<unsigned char*>(block),
                reinterpret_cast<unsigned char*>(block) + sizeof(WAVEFORMATEX) + block->cbSize);
    CoTaskMemFree(block);
    return bytes;
}

Bytes MakeFormat(WORD tag, WORD channels, DWORD rate, WORD bits, WORD align, Bytes extra = {}) {
    WAVEFORMATEX header{};
    header.wFormatTag = tag;
    header.nChannels = channels;
    header.nSamplesPerSec = rate;
    header.nBlockAlign = align;
    header.nAvgBytesPerSec = rate * align;
    header.wBitsPerSample = bits;
    header.cbSize = static_cast<WORD>(extra.size());
    // Made whole at once: GCC 12 warns, wrongly, of an insert after the header's bytes.
    Bytes bytes(sizeof header + extra.size());
    std::memcpy(bytes.data(), &header, sizeof header);
    std::copy(extra.begin(), extra.end(), bytes.begin() + sizeof header);
    return bytes;
}

const WAVEFORMATEX* AsFormat(const Bytes& bytes) { return reinterpret_cast<const WAVEFORMATEX*>(bytes.data()); }

// The stream's format: its identifier and a copy of its block (the block is freed here).
struct ReportedFormat {
    HRESULT result;
    GUID id;
    Bytes block;
};

ReportedFormat FormatOf(ISpStreamFormat* stream) {
    ReportedFormat reported{E_FAIL, GUID_NULL, {}};
    WAVEFORMATEX* block = nullptr;
    reported.result = stream->GetFormat(&reported.id, &block);
    if (block != nullptr) {
        reported.block.assign(reinterpret_cast<unsigned char*>(block),
                              reinterpret_cast<unsigned char*>(block) + sizeof(WAVEFORMATEX) + block->cbSize);
        CoTaskMemFree(block);
    }
    return reported;
}

HRESULT CreateFile(ISpStream* stream, const std::string& path, const Bytes& format) {
    return stream->BindToFile(scratch::Wide(path).c_str(), SPFM_CREATE_ALWAYS, &SPDFID_WaveFormatEx, AsFormat(format),
                              SPFEI_ALL_EVENTS);
}

HRESULT OpenFile(ISpStream* stream, const std::string& path) {
    return stream->BindToFile(scratch::Wide(path).c_str(), SPFM_OPEN_READONLY, nullptr, nullptr, SPFEI_ALL_EVENTS);
}

std::vector<float> ReadAllFrames(IEngineAudioFrames* frames, int channels) {
    std::vector<float> all;
    std::vector<float> chunk(1000 * size_t(channels));
    for (;;) {
        ULONG got = 0;
        EXPECT_EQ(S_OK, frames->ReadFrames(chunk.data(), 1000, &got));
        if (got == 0) break;
        all.insert(all.end(), chunk.begin(), chunk.begin() + long(got) * channels);
    }
    return all;
}

std::vector<float> FirstChannel(const std::vector<float>& interleaved, int channels) {
    std::vector<float> mono;
    for (size_t i = 0; i < interleaved.size(); i += size_t(channels)) mono.push_back(interleaved[i]);
    return mono;
}

// One codec family: the block to create the file with, what the file must report, and
// how closely a tone must come back.
struct Family {
    const char* name;
    Bytes format;
    WORD reportedTag;
    WORD reportedBits;      // 0: not checked (block codecs)
    bool exactFrameCount;   // block codecs round up to whole blocks
    double maxSampleError;  // for the fixed-size encodings; 0: judged by spectrum only
    double maxSpuriousDb;   // strongest component other than the tone, relative to it
};

std::vector<Family> Families() {
    return {
        {"pcm8_8k_mono", FormatOfCode(4), WAVE_FORMAT_PCM, 8, true, 1.0 / 128, -38},
        {"pcm16_48k_stereo", FormatOfCode(39), WAVE_FORMAT_PCM, 16, true, 1.0 / 32768, -85},
        {"pcm24_96k_mono", MakeFormat(WAVE_FORMAT_PCM, 1, 96000, 24, 3), WAVE_FORMAT_PCM, 24, true, 1.0 / 8388608, -120},
        {"pcm32_22k_stereo", MakeFormat(WAVE_FORMAT_PCM, 2, 22050, 32, 8), WAVE_FORMAT_PCM, 32, true, 1e-7, -140},
        {"float32_44k_mono", MakeFormat(WAVE_FORMAT_IEEE_FLOAT, 1, 44100, 32, 4), WAVE_FORMAT_IEEE_FLOAT, 32, true, 0, -140},
        {"alaw_8k_stereo", FormatOfCode(42), WAVE_FORMAT_ALAW, 8, true, 0.02, -35},
        {"mulaw_22k_mono", FormatOfCode(53), WAVE_FORMAT_MULAW, 8, true, 0.02, -32},
        {"msadpcm_8k_mono", FormatOfCode(57), WAVE_FORMAT_ADPCM, 0, false, 0, -38},
        {"imaadpcm_11k_mono", MakeFormat(WAVE_FORMAT_IMA_ADPCM, 1, 11025, 4, 256, {0xF9, 0x01}), WAVE_FORMAT_IMA_ADPCM, 0,
         false, 0, -28},
        {"gsm610_8k_mono", FormatOfCode(65), WAVE_FORMAT_GSM610, 0, false, 0, -45},
    };
}

void PrintTo(const Family& family, std::ostream* out) { *out << family.name; }

class StreamFileFamilies : public ::testing::TestWithParam<Family> {};

TEST_P(StreamFileFamilies, ToneWrittenAsFloatFramesReadsBackInTheSameFormat) {
    const Family& family = GetParam();
    const WAVEFORMATEX& format = *AsFormat(family.format);
    const std::string path = scratch::TestDirectory() + "/tone.wav";
    const int channels = format.nChannels;
    const double rate = format.nSamplesPerSec;
    const size_t frameCount = size_t(rate / 2);  // half a second
    const double frequency = rate / 16;         // well inside every band
    const std::vector<float> written = tone::Sine(frequency, rate, frameCount, channels, 0.5);

    ISpStream* writer = NewStream();
    ASSERT_EQ(S_OK, CreateFile(writer, path, family.format));
    IEngineAudioFrames* sink = FramesOf(writer);
    ASSERT_NE(nullptr, sink);
    DWORD frameRate = 0;
    WORD frameChannels = 0;
    ASSERT_EQ(S_OK, sink->GetFrameFormat(&frameRate, &frameChannels));
    EXPECT_EQ(format.nSamplesPerSec, frameRate);
    EXPECT_EQ(format.nChannels, frameChannels);
    // Written in uneven pieces, as a voice does.
    for (size_t at = 0; at < frameCount;) {
        ULONG piece = ULONG(std::min<size_t>(777, frameCount - at));
        ASSERT_EQ(S_OK, sink->WriteFrames(written.data() + at * size_t(channels), piece));
        at += piece;
    }
    sink->Release();
    writer->Release();  // completes the file

    ISpStream* reader = NewStream();
    ASSERT_EQ(S_OK, OpenFile(reader, path));
    ReportedFormat reported = FormatOf(reader);
    ASSERT_EQ(S_OK, reported.result);
    EXPECT_EQ(SPDFID_WaveFormatEx, reported.id);
    ASSERT_GE(reported.block.size(), sizeof(WAVEFORMATEX));
    const WAVEFORMATEX& back = *AsFormat(reported.block);
    EXPECT_EQ(family.reportedTag, back.wFormatTag);
    EXPECT_EQ(format.nChannels, back.nChannels);
    EXPECT_EQ(format.nSamplesPerSec, back.nSamplesPerSec);
    if (family.reportedBits != 0) {
        EXPECT_EQ(family.reportedBits, back.wBitsPerSample);
        EXPECT_EQ(format.nBlockAlign, back.nBlockAlign);
    }

    IEngineAudioFrames* source = FramesOf(reader);
    ASSERT_NE(nullptr, source);
    std::vector<float> read = ReadAllFrames(source, channels);
    source->Release();
    reader->Release();

    const size_t readFrames = read.size() / size_t(channels);
    if (family.exactFrameCount)
        EXPECT_EQ(frameCount, readFrames);
    else
        EXPECT_GE(readFrames, frameCount);
    ASSERT_GE(readFrames, frameCount);

    if (family.maxSampleError > 0) {
        double worst = 0;
        for (size_t i = 0; i < frameCount * size_t(channels); ++i) worst = std::max(worst, double(std::fabs(read[i] - written[i])));
        EXPECT_LE(worst, family.maxSampleError);
    } else if (family.reportedTag == WAVE_FORMAT_IEEE_FLOAT) {
        EXPECT_EQ(0, std::memcmp(read.data(), written.data(), written.size() * sizeof(float)));
    }

    for (int c = 0; c < channels; ++c) {
        std::vector<float> channel(read.size() / size_t(channels));
        for (size_t i = 0; i < channel.size(); ++i) channel[i] = read[i * size_t(channels) + size_t(c)];
        tone::Spectrum spectrum = tone::Analyse(channel, frameCount / 4, 2048, rate);
        EXPECT_NEAR(frequency, spectrum.peakFrequency, rate / 2048 * 1.5) << "channel " << c;
        EXPECT_LT(spectrum.spuriousDb, family.maxSpuriousDb)
            << "channel " << c << ", strongest other component at " << spectrum.spuriousFrequency << " Hz";
        double rms = tone::Rms(channel, frameCount / 4, frameCount / 2);
        EXPECT_NEAR(0.5 / std::sqrt(2.0), rms, 0.05) << "channel " << c;
    }
}

INSTANTIATE_TEST_SUITE_P(Codecs, StreamFileFamilies, ::testing::ValuesIn(Families()),
                         [](const ::testing::TestParamInfo<Family>& info) { return std::string(info.param.name); });

TEST(StreamFile, LastReleaseCompletesTheHeaderWithoutClose) {
    const std::string path = scratch::TestDirectory() + "/complete.wav";
    const std::vector<float> samples = tone::Sine(440, 44100, 12345, 1, 0.25);
    ISpStream* stream = NewStream();
    ASSERT_EQ(S_OK, CreateFile(stream, path, FormatOfCode(SPSF_44kHz16BitMono)));
    IEngineAudioFrames* frames = FramesOf(stream);
    ASSERT_NE(nullptr, frames);
    ASSERT_EQ(S_OK, frames->WriteFrames(samples.data(), ULONG(samples.size())));
    frames->Release();
    // Another holder keeps the stream alive: the file is not complete yet.
    stream->AddRef();
    stream->Release();
    stream->Release();

    scratch::WavHeader header = scratch::ReadWavHeader(path);
    ASSERT_TRUE(header.valid);
    EXPECT_EQ(12345u * 2, header.dataSize);
    EXPECT_EQ(header.fileSize - 8, header.riffSize);
    EXPECT_EQ(header.dataOffset + header.dataSize, header.fileSize);
    // The format chunk is the code-34 block's first 16 bytes.
    const Bytes expectedFmt = {0x01, 0x00, 0x01, 0x00, 0x44, 0xAC, 0x00, 0x00, 0x88, 0x58, 0x01, 0x00, 0x02, 0x00, 0x10, 0x00};
    ASSERT_GE(header.fmt.size(), 16u);
    EXPECT_EQ(expectedFmt, Bytes(header.fmt.begin(), header.fmt.begin() + 16));
}

TEST(StreamFile, CloseCompletesTheFileAndRetiresTheStream) {
    const std::string path = scratch::TestDirectory() + "/closed.wav";
    const std::vector<float> samples = tone::Sine(440, 8000, 800, 1, 0.25);
    ISpStream* stream = NewStream();
    ASSERT_EQ(S_OK, CreateFile(stream, path, FormatOfCode(4)));
    IEngineAudioFrames* frames = FramesOf(stream);
    ASSERT_EQ(S_OK, frames->WriteFrames(samples.data(), 800));
    ASSERT_EQ(S_OK, stream->Close());

    scratch::WavHeader header = scratch::ReadWavHeader(path);
    EXPECT_TRUE(header.valid);
    EXPECT_EQ(800u, header.dataSize);
    EXPECT_EQ(STG_E_REVERTED, frames->WriteFrames(samples.data(), 1));
    ULONG written = 7;
    EXPECT_EQ(STG_E_REVERTED, stream->Write("x", 1, &written));
    EXPECT_EQ(0u, written);
    EXPECT_EQ(STG_E_REVERTED, FormatOf(stream).result);
    frames->Release();
    stream->Release();
    EXPECT_EQ(800u, scratch::ReadWavHeader(path).dataSize);
}

TEST(StreamFile, CreatedStreamReportsTheFilesOwnFormatBlock) {
    struct Case {
        const char* name;
        Bytes requested;
        Bytes expected;  // the whole block the stream must report
    };
    Bytes adpcm8kMono = FormatOfCode(57);  // 256-byte blocks of 500 samples, as this writer makes them too
    Bytes gsm = FormatOfCode(65);
    const std::vector<Case> cases = {
        {"pcm code 34", FormatOfCode(SPSF_44kHz16BitMono), FormatOfCode(SPSF_44kHz16BitMono)},
        {"mu-law code 50", FormatOfCode(50), FormatOfCode(50)},
        {"ms adpcm code 57", adpcm8kMono, adpcm8kMono},
        {"gsm 6.10 code 65", gsm, gsm},
    };
    const std::string directory = scratch::TestDirectory();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ISpStream* stream = NewStream();
        ASSERT_EQ(S_OK, CreateFile(stream, directory + "/format.wav", c.requested));
        ReportedFormat reported = FormatOf(stream);
        EXPECT_EQ(S_OK, reported.result);
        EXPECT_EQ(SPDFID_WaveFormatEx, reported.id);
        EXPECT_EQ(c.expected, reported.block);
        stream->Release();
    }
}

TEST(StreamFile, ExtensibleBlocksCreateFilesThatReadBackAsThePlainFormat) {
    // 24-bit mono in the extensible layout: valid bits, channel mask, then the PCM
    // sub-format identifier.
    Bytes extra = {24, 0, 0x04, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
                   0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    const Bytes format = MakeFormat(WAVE_FORMAT_EXTENSIBLE, 1, 48000, 24, 3, extra);
    const std::string path = scratch::TestDirectory() + "/extensible.wav";
    const std::vector<float> samples = tone::Sine(1000, 48000, 4800, 1, 0.5);
    ISpStream* writer = NewStream();
    ASSERT_EQ(S_OK, CreateFile(writer, path, format));
    IEngineAudioFrames* sink = FramesOf(writer);
    ASSERT_EQ(S_OK, sink->WriteFrames(samples.data(), 4800));
    sink->Release();
    writer->Release();

    scratch::WavHeader header = scratch::ReadWavHeader(path);
    ASSERT_TRUE(header.valid);
    EXPECT_EQ(4800u * 3, header.dataSize);
    ASSERT_GE(header.fmt.size(), 2u);
    EXPECT_EQ(0xFE, header.fmt[0]);  // the file itself keeps the extensible layout
    EXPECT_EQ(0xFF, header.fmt[1]);

    ISpStream* reader = NewStream();
    ASSERT_EQ(S_OK, OpenFile(reader, path));
    EXPECT_EQ(MakeFormat(WAVE_FORMAT_PCM, 1, 48000, 24, 3), FormatOf(reader).block);
    reader->Release();

    // A sub-format that is not one of the plain ones is refused.
    extra[6] = 0x22;  // TrueSpeech
    ISpStream* refused = NewStream();
    EXPECT_EQ(SPERR_UNSUPPORTED_FORMAT,
              CreateFile(refused, path + ".2", MakeFormat(WAVE_FORMAT_EXTENSIBLE, 1, 48000, 24, 3, extra)));
    EXPECT_FALSE(scratch::Exists(path + ".2"));
    refused->Release();
}

TEST(StreamFile, FormatBlockComesFromTaskMemoryAndEachCallGetsItsOwn) {
    const std::string path = scratch::TestDirectory() + "/blocks.wav";
    ISpStream* stream = NewStream();
    ASSERT_EQ(S_OK, CreateFile(stream, path, FormatOfCode(SPSF_44kHz16BitMono)));
    GUID id = GUID_NULL;
    WAVEFORMATEX* first = nullptr;
    WAVEFORMATEX* second = nullptr;
    ASSERT_EQ(S_OK, stream->GetFormat(&id, &first));
    ASSERT_EQ(S_OK, stream->GetFormat(&id, &second));
    ASSERT_NE(nullptr, first);
    EXPECT_NE(first, second);
    EXPECT_EQ(0, std::memcmp(first, second, sizeof(WAVEFORMATEX)));
    CoTaskMemFree(first);
    CoTaskMemFree(second);

    FailNextTaskAllocations(1);
    WAVEFORMATEX* failed = reinterpret_cast<WAVEFORMATEX*>(&id);  // anything not null
    EXPECT_EQ(E_OUTOFMEMORY, stream->GetFormat(&id, &failed));
    EXPECT_EQ(nullptr, failed);
    FailNextTaskAllocations(0);
    EXPECT_EQ(E_POINTER, stream->GetFormat(nullptr, &failed));
    EXPECT_EQ(E_POINTER, stream->GetFormat(&id, nullptr));
    stream->Release();
}

TEST(StreamFile, FormatsTheFileLibraryCannotWriteAreRefusedAndMakeNoFile) {
    struct Case {
        const char* name;
        const GUID* formatId;
        Bytes format;
        HRESULT expected;
    };
    const std::vector<Case> cases = {
        {"truespeech", &SPDFID_WaveFormatEx, FormatOfCode(40), SPERR_UNSUPPORTED_FORMAT},
        {"12-bit pcm", &SPDFID_WaveFormatEx, MakeFormat(WAVE_FORMAT_PCM, 1, 8000, 12, 2), SPERR_UNSUPPORTED_FORMAT},
        {"16-bit float", &SPDFID_WaveFormatEx, MakeFormat(WAVE_FORMAT_IEEE_FLOAT, 1, 8000, 16, 2), SPERR_UNSUPPORTED_FORMAT},
        {"unknown tag", &SPDFID_WaveFormatEx, MakeFormat(0x1234, 1, 8000, 16, 2), SPERR_UNSUPPORTED_FORMAT},
        {"gsm stereo", &SPDFID_WaveFormatEx, MakeFormat(WAVE_FORMAT_GSM610, 2, 8000, 0, 130, {0x40, 0x01}),
         SPERR_UNSUPPORTED_FORMAT},
        {"alignment disagrees", &SPDFID_WaveFormatEx, MakeFormat(WAVE_FORMAT_PCM, 2, 8000, 16, 2), E_INVALIDARG},
        {"no channels", &SPDFID_WaveFormatEx, MakeFormat(WAVE_FORMAT_PCM, 0, 8000, 16, 0), E_INVALIDARG},
        {"no rate", &SPDFID_WaveFormatEx, MakeFormat(WAVE_FORMAT_PCM, 1, 0, 16, 2), E_INVALIDARG},
        {"text format id", &SPDFID_Text, FormatOfCode(SPSF_44kHz16BitMono), SPERR_UNSUPPORTED_FORMAT},
        {"no format id", nullptr, FormatOfCode(SPSF_44kHz16BitMono), E_INVALIDARG},
    };
    const std::string directory = scratch::TestDirectory();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = directory + "/refused.wav";
        ISpStream* stream = NewStream();
        EXPECT_EQ(c.expected, stream->BindToFile(scratch::Wide(path).c_str(), SPFM_CREATE_ALWAYS, c.formatId,
                                                 AsFormat(c.format), SPFEI_ALL_EVENTS));
        EXPECT_FALSE(scratch::Exists(path));
        // Still unbound: it may be bound afterwards.
        EXPECT_EQ(SPERR_UNINITIALIZED, FormatOf(stream).result);
        EXPECT_EQ(S_OK, CreateFile(stream, directory + "/after.wav", FormatOfCode(SPSF_44kHz16BitMono)));
        stream->Release();
    }
    ISpStream* stream = NewStream();
    EXPECT_EQ(E_INVALIDARG, stream->BindToFile(scratch::Wide(directory + "/x.wav").c_str(), SPFM_CREATE_ALWAYS,
                                               &SPDFID_WaveFormatEx, nullptr, SPFEI_ALL_EVENTS));
    EXPECT_EQ(E_INVALIDARG, stream->BindToFile(nullptr, SPFM_OPEN_READONLY, nullptr, nullptr, SPFEI_ALL_EVENTS));
    EXPECT_EQ(E_INVALIDARG, stream->BindToFile(u"", SPFM_OPEN_READONLY, nullptr, nullptr, SPFEI_ALL_EVENTS));
    stream->Release();
}

TEST(StreamFile, OpeningReportsWhyAFileCannotBeRead) {
    const std::string directory = scratch::TestDirectory();
    {
        FILE* text = std::fopen((directory + "/notes.wav").c_str(), "w");
        std::fputs("this is not audio, just some words in a file with the wrong name\n", text);
        std::fclose(text);
    }
    struct Case {
        const char* name;
        std::string path;
        HRESULT expected;
    };
    const std::vector<Case> cases = {
        {"missing file", directory + "/missing.wav", static_cast<HRESULT>(0x80070002u)},
        {"missing directory", directory + "/notes.wav/inner.wav", static_cast<HRESULT>(0x80070003u)},
        {"a directory", directory, static_cast<HRESULT>(0x80070005u)},
        {"not audio", directory + "/notes.wav", SPERR_UNSUPPORTED_FORMAT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ISpStream* stream = NewStream();
        EXPECT_EQ(c.expected, OpenFile(stream, c.path));
        IEngineAudioFrames* frames = FramesOf(stream);
        EXPECT_EQ(nullptr, frames);
        if (frames != nullptr) frames->Release();
        stream->Release();
    }
    ISpStream* stream = NewStream();
    EXPECT_EQ(static_cast<HRESULT>(0x80070002u),
              CreateFile(stream, directory + "/no/such/dir/out.wav", FormatOfCode(SPSF_44kHz16BitMono)));
    stream->Release();
}

TEST(StreamFile, AiffIsNotAWavFile) {
    const std::string path = scratch::TestDirectory() + "/tone.aiff";
    ASSERT_EQ(0, std::system(("sox -n -r 8000 -c 1 -b 16 '" + path + "' synth 0.1 sine 440").c_str()));
    ISpStream* stream = NewStream();
    EXPECT_EQ(SPERR_UNSUPPORTED_FORMAT, OpenFile(stream, path));
    stream->Release();
}

TEST(StreamFile, ReadsFilesMadeByAnIndependentTool) {
    // sox writes more than 16 bits in the extensible layout; the stream reports the plain
    // format it stands for.
    struct Case {
        const char* name;
        const char* soxArguments;
        WORD tag;
        WORD bits;
        WORD channels;
        DWORD rate;
    };
    const std::vector<Case> cases = {
        {"24-bit 96 kHz", "-r 96000 -c 1 -b 24 -e signed-integer", WAVE_FORMAT_PCM, 24, 1, 96000},
        {"32-bit float stereo", "-r 44100 -c 2 -b 32 -e floating-point", WAVE_FORMAT_IEEE_FLOAT, 32, 2, 44100},
        {"8-bit", "-r 8000 -c 1 -b 8 -e unsigned-integer", WAVE_FORMAT_PCM, 8, 1, 8000},
        {"ima adpcm", "-r 11025 -c 1 -e ima-adpcm", WAVE_FORMAT_IMA_ADPCM, 4, 1, 11025},
        {"gsm", "-r 8000 -c 1 -e gsm-full-rate", WAVE_FORMAT_GSM610, 0, 1, 8000},
    };
    const std::string directory = scratch::TestDirectory();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = directory + "/sox.wav";
        ASSERT_EQ(0, std::system(("sox -n " + std::string(c.soxArguments) + " '" + path + "' synth 0.25 sine 1000 vol 0.5")
                                     .c_str()));
        ISpStream* stream = NewStream();
        ASSERT_EQ(S_OK, OpenFile(stream, path));
        ReportedFormat reported = FormatOf(stream);
        ASSERT_EQ(S_OK, reported.result);
        const WAVEFORMATEX& format = *AsFormat(reported.block);
        EXPECT_EQ(c.tag, format.wFormatTag);
        EXPECT_EQ(c.bits, format.wBitsPerSample);
        EXPECT_EQ(c.channels, format.nChannels);
        EXPECT_EQ(c.rate, format.nSamplesPerSec);
        IEngineAudioFrames* frames = FramesOf(stream);
        ASSERT_NE(nullptr, frames);
        std::vector<float> samples = FirstChannel(ReadAllFrames(frames, c.channels), c.channels);
        // Block codecs end at the sample count the file states, not at the padded block end.
        EXPECT_EQ(size_t(c.rate / 4), samples.size());
        tone::Spectrum spectrum = tone::Analyse(samples, samples.size() / 4, 1024, c.rate);
        EXPECT_NEAR(1000, spectrum.peakFrequency, c.rate / 1024.0 * 1.5);
        frames->Release();
        stream->Release();
    }
}

TEST(StreamFile, RawBytesPassThroughInAnyPieceSize) {
    const std::string path = scratch::TestDirectory() + "/raw.wav";
    // 16-bit stereo: 4-byte frames, written and read in pieces that split frames.
    Bytes data(4000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i * 7 + i / 256);
    ISpStream* writer = NewStream();
    ASSERT_EQ(S_OK, CreateFile(writer, path, FormatOfCode(SPSF_48kHz16BitStereo)));
    for (size_t at = 0; at < data.size();) {
        ULONG piece = ULONG(std::min<size_t>(at % 5 + 1 + (at % 13) * 3, data.size() - at));
        ULONG written = 0;
        ASSERT_EQ(S_OK, writer->Write(data.data() + at, piece, &written));
        ASSERT_EQ(piece, written);
        at += piece;
    }
    ULARGE_INTEGER position{};
    EXPECT_EQ(S_OK, writer->Seek(LARGE_INTEGER{0}, STREAM_SEEK_CUR, &position));
    EXPECT_EQ(4000u, position.QuadPart);
    writer->Release();

    scratch::WavHeader header = scratch::ReadWavHeader(path);
    ASSERT_TRUE(header.valid);
    ASSERT_EQ(4000u, header.dataSize);
    Bytes file = scratch::ReadAll(path);
    EXPECT_EQ(data, Bytes(file.begin() + long(header.dataOffset), file.begin() + long(header.dataOffset + 4000)));

    ISpStream* reader = NewStream();
    ASSERT_EQ(S_OK, OpenFile(reader, path));
    Bytes back;
    unsigned char buffer[64];
    for (ULONG piece = 1;; piece = piece % 11 + 2) {
        ULONG read = 0;
        ASSERT_EQ(S_OK, reader->Read(buffer, piece, &read));
        back.insert(back.end(), buffer, buffer + read);
        if (read < piece) break;
    }
    EXPECT_EQ(data, back);

    // Seeks land anywhere, frame boundary or not.
    struct SeekCase {
        LONGLONG move;
        DWORD origin;
        ULONGLONG expected;
    };
    const SeekCase seeks[] = {{0, STREAM_SEEK_SET, 0}, {1001, STREAM_SEEK_SET, 1001}, {-3, STREAM_SEEK_CUR, 998},
                              {-10, STREAM_SEEK_END, 3990}, {4000, STREAM_SEEK_SET, 4000}};
    for (const SeekCase& seek : seeks) {
        SCOPED_TRACE(seek.expected);
        ASSERT_EQ(S_OK, reader->Seek(LARGE_INTEGER{seek.move}, seek.origin, &position));
        EXPECT_EQ(seek.expected, position.QuadPart);
        ULONG read = 0;
        ASSERT_EQ(S_OK, reader->Read(buffer, 6, &read));
        ULONG expectedCount = ULONG(std::min<ULONGLONG>(6, 4000 - seek.expected));
        ASSERT_EQ(expectedCount, read);
        EXPECT_EQ(Bytes(data.begin() + long(seek.expected), data.begin() + long(seek.expected + read)),
                  Bytes(buffer, buffer + read));
        ASSERT_EQ(S_OK, reader->Seek(LARGE_INTEGER{-LONGLONG(read)}, STREAM_SEEK_CUR, &position));
        EXPECT_EQ(seek.expected, position.QuadPart);
    }
    EXPECT_EQ(STG_E_INVALIDFUNCTION, reader->Seek(LARGE_INTEGER{-1}, STREAM_SEEK_SET, nullptr));
    EXPECT_EQ(STG_E_INVALIDFUNCTION, reader->Seek(LARGE_INTEGER{4001}, STREAM_SEEK_SET, nullptr));
    ULONG written = 9;
    EXPECT_EQ(STG_E_ACCESSDENIED, reader->Write(buffer, 4, &written));
    EXPECT_EQ(0u, written);
    reader->Release();
}

TEST(StreamFile, WritingSeeksOnlyToFrameBoundariesItHasWritten) {
    // 16-bit stereo: 4-byte frames. Ten bytes are two frames and half of a third.
    const std::string path = scratch::TestDirectory() + "/rewrite.wav";
    const Bytes data = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ISpStream* writer = NewStream();
    ASSERT_EQ(S_OK, CreateFile(writer, path, FormatOfCode(SPSF_48kHz16BitStereo)));
    ASSERT_EQ(S_OK, writer->Write(data.data(), 10, nullptr));
    ULARGE_INTEGER position{};
    ASSERT_EQ(S_OK, writer->Seek(LARGE_INTEGER{0}, STREAM_SEEK_CUR, &position));
    EXPECT_EQ(10u, position.QuadPart);
    // The half frame could be written nowhere else.
    EXPECT_EQ(STG_E_INVALIDFUNCTION, writer->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr));
    ASSERT_EQ(S_OK, writer->Write(data.data() + 10, 2, nullptr));

    struct Case {
        LONGLONG move;
        DWORD origin;
        HRESULT expected;
        ULONGLONG position;
    };
    const Case cases[] = {
        {6, STREAM_SEEK_SET, STG_E_INVALIDFUNCTION, 12},  // inside a frame
        {16, STREAM_SEEK_SET, STG_E_INVALIDFUNCTION, 12},  // past what was written
        {-8, STREAM_SEEK_END, S_OK, 4},
        {4, STREAM_SEEK_CUR, S_OK, 8},
        {-4, STREAM_SEEK_CUR, S_OK, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.move);
        EXPECT_EQ(c.expected, writer->Seek(LARGE_INTEGER{c.move}, c.origin, nullptr));
        ASSERT_EQ(S_OK, writer->Seek(LARGE_INTEGER{0}, STREAM_SEEK_CUR, &position));
        EXPECT_EQ(c.position, position.QuadPart);
    }
    // The second frame is written over; the file keeps its length.
    const Bytes over = {0xA1, 0xA2, 0xA3, 0xA4};
    ASSERT_EQ(S_OK, writer->Write(over.data(), 4, nullptr));
    writer->Release();

    scratch::WavHeader header = scratch::ReadWavHeader(path);
    ASSERT_TRUE(header.valid);
    ASSERT_EQ(12u, header.dataSize);
    Bytes file = scratch::ReadAll(path);
    const Bytes expected = {1, 2, 3, 4, 0xA1, 0xA2, 0xA3, 0xA4, 9, 10, 11, 12};
    EXPECT_EQ(expected, Bytes(file.begin() + long(header.dataOffset), file.begin() + long(header.dataOffset + 12)));
}

TEST(StreamFile, RawBytesOfALawAndEightBitFilesAreTheStoredBytes) {
    // A-law and 8-bit PCM store one byte per sample: what Read hands out is exactly what
    // Write was given.
    const std::string directory = scratch::TestDirectory();
    for (int32_t code : {4, 41, 49}) {
        SCOPED_TRACE(code);
        Bytes data(1001);
        for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i * 31);
        const std::string path = directory + "/bytes.wav";
        ISpStream* writer = NewStream();
        ASSERT_EQ(S_OK, CreateFile(writer, path, FormatOfCode(code)));
        ASSERT_EQ(S_OK, writer->Write(data.data(), ULONG(data.size()), nullptr));
        writer->Release();
        ISpStream* reader = NewStream();
        ASSERT_EQ(S_OK, OpenFile(reader, path));
        Bytes back(2000);
        ULONG read = 0;
        ASSERT_EQ(S_OK, reader->Read(back.data(), 2000, &read));
        back.resize(read);
        EXPECT_EQ(data, back);
        reader->Release();
    }
}

TEST(StreamFile, BlockCodecsRefuseByteAccess) {
    const std::string directory = scratch::TestDirectory();
    for (int32_t code : {57, 65}) {
        SCOPED_TRACE(code);
        ISpStream* writer = NewStream();
        ASSERT_EQ(S_OK, CreateFile(writer, directory + "/block.wav", FormatOfCode(code)));
        unsigned char buffer[16] = {};
        ULONG count = 5;
        EXPECT_TRUE(FAILED(writer->Write(buffer, 16, &count)));
        EXPECT_EQ(0u, count);
        EXPECT_TRUE(FAILED(writer->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr)));
        std::vector<float> silence(8000, 0.0f);
        IEngineAudioFrames* frames = FramesOf(writer);
        ASSERT_EQ(S_OK, frames->WriteFrames(silence.data(), 8000));
        frames->Release();
        writer->Release();

        ISpStream* reader = NewStream();
        ASSERT_EQ(S_OK, OpenFile(reader, directory + "/block.wav"));
        count = 5;
        EXPECT_TRUE(FAILED(reader->Read(buffer, 16, &count)));
        EXPECT_EQ(0u, count);
        reader->Release();
    }
}

TEST(StreamFile, FullScaleIsHeldNotWrappedWhenFloatsExceedIt) {
    const std::string path = scratch::TestDirectory() + "/loud.wav";
    ISpStream* writer = NewStream();
    ASSERT_EQ(S_OK, CreateFile(writer, path, FormatOfCode(SPSF_44kHz16BitMono)));
    IEngineAudioFrames* frames = FramesOf(writer);
    const float loud[] = {1.5f, -1.5f, 1.0f, -1.0f, 0.5f};
    ASSERT_EQ(S_OK, frames->WriteFrames(loud, 5));
    frames->Release();
    writer->Release();

    ISpStream* reader = NewStream();
    ASSERT_EQ(S_OK, OpenFile(reader, path));
    int16_t samples[5] = {};
    ULONG read = 0;
    ASSERT_EQ(S_OK, reader->Read(samples, sizeof samples, &read));
    ASSERT_EQ(sizeof samples, read);
    EXPECT_EQ(32767, samples[0]);
    EXPECT_LE(samples[1], -32767);
    EXPECT_EQ(32767, samples[2]);
    EXPECT_LE(samples[3], -32767);
    EXPECT_NEAR(16384, samples[4], 1);
    reader->Release();
}

TEST(StreamFile, FramesGoOnlyTheWayTheFileWasOpened) {
    const std::string path = scratch::TestDirectory() + "/way.wav";
    float sample = 0.25f;
    ISpStream* writer = NewStream();
    ASSERT_EQ(S_OK, CreateFile(writer, path, FormatOfCode(SPSF_44kHz16BitMono)));
    IEngineAudioFrames* sink = FramesOf(writer);
    ULONG got = 3;
    EXPECT_EQ(STG_E_ACCESSDENIED, sink->ReadFrames(&sample, 1, &got));
    EXPECT_EQ(0u, got);
    EXPECT_EQ(S_OK, sink->WriteFrames(&sample, 1));
    sink->Release();
    writer->Release();

    ISpStream* reader = NewStream();
    ASSERT_EQ(S_OK, OpenFile(reader, path));
    IEngineAudioFrames* source = FramesOf(reader);
    EXPECT_EQ(STG_E_ACCESSDENIED, source->WriteFrames(&sample, 1));
    float room[4] = {};  // more room than the file has frames
    EXPECT_EQ(S_OK, source->ReadFrames(room, 4, &got));
    EXPECT_EQ(1u, got);
    EXPECT_NEAR(0.25f, room[0], 1.0 / 32768);
    EXPECT_EQ(S_OK, source->ReadFrames(room, 4, &got));
    EXPECT_EQ(0u, got);
    source->Release();
    reader->Release();
}

TEST(StreamFile, CreateAlwaysReplacesAndCreateNewRefusesAnExistingFile) {
    const std::string path = scratch::TestDirectory() + "/again.wav";
    const std::vector<float> samples = tone::Sine(440, 8000, 4000, 1, 0.25);
    for (int round = 0; round < 2; ++round) {
        ISpStream* stream = NewStream();
        ASSERT_EQ(S_OK, CreateFile(stream, path, FormatOfCode(4)));
        IEngineAudioFrames* frames = FramesOf(stream);
        ASSERT_EQ(S_OK, frames->WriteFrames(samples.data(), ULONG(round == 0 ? 4000 : 100)));
        frames->Release();
        stream->Release();
    }
    EXPECT_EQ(100u, scratch::ReadWavHeader(path).dataSize);

    ISpStream* stream = NewStream();
    EXPECT_EQ(static_cast<HRESULT>(0x80070050u),
              stream->BindToFile(scratch::Wide(path).c_str(), SPFM_CREATE, &SPDFID_WaveFormatEx,
                                 AsFormat(FormatOfCode(4)), SPFEI_ALL_EVENTS));
    EXPECT_EQ(100u, scratch::ReadWavHeader(path).dataSize);
    stream->Release();
}

TEST(StreamFile, SixteenBitNamesReachTheFileSystemAsUtf8) {
    const std::string directory = scratch::TestDirectory();
    // "tön€" then U+1D11E (a surrogate pair), then ".wav".
    const std::u16string name = scratch::Wide(directory + "/") + u"t\u00F6n\u20AC\U0001D11E.wav";
    ISpStream* stream = NewStream();
    ASSERT_EQ(S_OK, stream->BindToFile(name.c_str(), SPFM_CREATE_ALWAYS, &SPDFID_WaveFormatEx,
                                       AsFormat(FormatOfCode(SPSF_44kHz16BitMono)), SPFEI_ALL_EVENTS));
    stream->Release();
    EXPECT_TRUE(scratch::Exists(directory + "/t\xC3\xB6n\xE2\x82\xAC\xF0\x9D\x84\x9E.wav"));
}

TEST(StreamFile, IsBoundOnlyOnce) {
    const std::string directory = scratch::TestDirectory();
    ISpStream* stream = NewStream();
    ASSERT_EQ(S_OK, CreateFile(stream, directory + "/first.wav", FormatOfCode(SPSF_44kHz16BitMono)));
    EXPECT_EQ(SPERR_ALREADY_INITIALIZED, CreateFile(stream, directory + "/second.wav", FormatOfCode(4)));
    EXPECT_EQ(SPERR_ALREADY_INITIALIZED, OpenFile(stream, directory + "/first.wav"));
    EXPECT_FALSE(scratch::Exists(directory + "/second.wav"));

    ISpStream* other = NewStream();
    EXPECT_EQ(SPERR_ALREADY_INITIALIZED, stream->SetBaseStream(other, SPDFID_WaveFormatEx, AsFormat(FormatOfCode(4))));
    ReportedFormat reported = FormatOf(stream);
    EXPECT_EQ(FormatOfCode(SPSF_44kHz16BitMono), reported.block);
    IStream* base = reinterpret_cast<IStream*>(&reported);  // anything not null
    EXPECT_EQ(S_FALSE, stream->GetBaseStream(&base));
    EXPECT_EQ(nullptr, base);
    other->Release();
    stream->Release();
}

}  // namespace
