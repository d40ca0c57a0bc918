// The Linux voice against outputs the test controls: what it writes, in which format,
// how volume, rate, purges and output switches shape it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "VoiceTestStreams.h"
#include "engine/Engine.h"
#include "engine/linux/audio/SampleCodec.h"

namespace {

constexpr DWORD kSync = 0;
constexpr DWORD kAsync = SPF_ASYNC;
constexpr DWORD kAsyncPurge = SPF_ASYNC | SPF_PURGEBEFORESPEAK;
const std::u16string kSentence = u"The quick brown fox jumps over the lazy dog.";

InterfaceHolder<ISpVoice> MakeVoice() {
    void* voice = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice, &voice);
    EXPECT_EQ(hr, S_OK);
    return InterfaceHolder<ISpVoice>::Adopt(static_cast<ISpVoice*>(voice));
}

std::u16string LongText() {
    std::u16string text;
    for (int i = 0; i < 30; ++i) text += kSentence + u" ";
    return text;
}

double Rms(const std::vector<float>& samples, size_t from = 0, size_t to = SIZE_MAX) {
    to = std::min(to, samples.size());
    if (to <= from) return 0.0;
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

/// Every `channels`-th sample starting at `channel`.
std::vector<float> Channel(const std::vector<float>& interleaved, size_t channels, size_t channel) {
    std::vector<float> one;
    for (size_t i = channel; i < interleaved.size(); i += channels) one.push_back(interleaved[i]);
    return one;
}

/// The frequency of a steady tone, from its sign changes over the middle of the signal
/// (the ends hold the resampler's ramps).
double ToneFrequency(const std::vector<float>& samples, DWORD rate) {
    size_t from = samples.size() / 10;
    size_t to = samples.size() - from;
    size_t first = 0;
    size_t last = 0;
    size_t crossings = 0;
    for (size_t i = from + 1; i < to; ++i) {
        if ((samples[i - 1] < 0) != (samples[i] < 0)) {
            if (crossings == 0) first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2) return 0.0;
    return (crossings - 1) / 2.0 / (static_cast<double>(last - first) / rate);
}

/// A sine of `seconds` at `frequency` and amplitude 0.5, as 16-bit little-endian PCM,
/// the same in every channel.
std::vector<BYTE> SinePcm16(DWORD rate, WORD channels, double frequency, double seconds) {
    std::vector<BYTE> bytes;
    auto frames = static_cast<size_t>(rate * seconds);
    for (size_t i = 0; i < frames; ++i) {
        auto value = static_cast<int16_t>(std::lround(0.5 * 32767 * std::sin(2 * M_PI * frequency * i / rate)));
        for (WORD c = 0; c < channels; ++c) {
            bytes.push_back(static_cast<BYTE>(value & 0xFF));
            bytes.push_back(static_cast<BYTE>((value >> 8) & 0xFF));
        }
    }
    return bytes;
}

class VoiceTest : public ::testing::Test {
protected:
    /// Speaks `text` synchronously into a new stream of `format` and returns its bytes.
    std::vector<BYTE> SpeakInto(const WAVEFORMATEX& format, const std::u16string& text) {
        auto stream = TestByteStream::Create(format);
        EXPECT_EQ(voice->SetOutput(stream.Get(), TRUE), S_OK);
        EXPECT_EQ(voice->Speak(text.c_str(), kSync, nullptr), S_OK);
        EXPECT_EQ(voice->SetOutput(nullptr, FALSE), S_OK);
        return stream->Collected();
    }

    const WAVEFORMATEX cd16Mono = WaveFormat(WAVE_FORMAT_PCM, 1, 44100, 16);
    InterfaceHolder<ISpVoice> voice = MakeVoice();
};

TEST_F(VoiceTest, SpeechIsAudibleAndAsLongAsASentence) {
    std::vector<float> samples = Pcm16ToFloat(SpeakInto(cd16Mono, kSentence));
    double seconds = samples.size() / 44100.0;
    EXPECT_GT(seconds, 1.0);
    EXPECT_LT(seconds, 6.0);
    EXPECT_GT(Rms(samples), 0.02);
}

TEST_F(VoiceTest, SpeechInAnotherFormatLastsAsLongAndFillsEveryChannel) {
    std::vector<float> reference = Pcm16ToFloat(SpeakInto(cd16Mono, kSentence));
    std::vector<BYTE> bytes = SpeakInto(WaveFormat(WAVE_FORMAT_PCM, 2, 8000, 8), kSentence);
    ASSERT_EQ(bytes.size() % 2, 0u);
    std::vector<float> samples = Pcm8ToFloat(bytes);
    std::vector<float> left = Channel(samples, 2, 0);
    std::vector<float> right = Channel(samples, 2, 1);
    EXPECT_EQ(left, right);
    // The synthesizer varies its output a little from one utterance to the next.
    EXPECT_NEAR(left.size() / 8000.0, reference.size() / 44100.0, 0.05);
    EXPECT_NEAR(Rms(left), Rms(reference), 0.1 * Rms(reference));
}

TEST_F(VoiceTest, HalfVolumeHalvesTheAmplitude) {
    std::vector<float> full = Pcm16ToFloat(SpeakInto(cd16Mono, kSentence));
    ASSERT_EQ(voice->SetVolume(50), S_OK);
    std::vector<float> half = Pcm16ToFloat(SpeakInto(cd16Mono, kSentence));
    EXPECT_NEAR(Rms(half) / Rms(full), 0.5, 0.03);
    ASSERT_EQ(voice->SetVolume(0), S_OK);
    EXPECT_EQ(Rms(Pcm16ToFloat(SpeakInto(cd16Mono, kSentence))), 0.0);
}

TEST_F(VoiceTest, RateChangesThePaceOfTheNextUtterance) {
    size_t normal = SpeakInto(cd16Mono, kSentence).size();
    // Sped up after synthesis (flite, the default English voice) or by the engine, a step
    // is the tenth root of 3: rate 3 takes 0.72 of the time.
    ASSERT_EQ(voice->SetRate(3), S_OK);
    size_t faster = SpeakInto(cd16Mono, kSentence).size();
    EXPECT_GT(faster, normal * 6 / 10);
    EXPECT_LT(faster, normal * 85 / 100);
    ASSERT_EQ(voice->SetRate(10), S_OK);
    size_t fastest = SpeakInto(cd16Mono, kSentence).size();
    ASSERT_EQ(voice->SetRate(-10), S_OK);
    size_t slowest = SpeakInto(cd16Mono, kSentence).size();
    EXPECT_LT(fastest, normal / 2);
    EXPECT_GT(slowest, normal * 3 / 2);
}

TEST_F(VoiceTest, OutOfRangeSettingsAreRefusedAndTheOldOnesKept) {
    ASSERT_EQ(voice->SetVolume(40), S_OK);
    ASSERT_EQ(voice->SetRate(-3), S_OK);
    struct Case {
        const char* name;
        HRESULT hr;
    };
    const Case cases[] = {
        {"volume 101", voice->SetVolume(101)},
        {"volume 65535", voice->SetVolume(65535)},
        {"rate 11", voice->SetRate(11)},
        {"rate -11", voice->SetRate(-11)},
        {"rate 65535", voice->SetRate(65535)},
    };
    for (const auto& c : cases) EXPECT_EQ(c.hr, E_INVALIDARG) << c.name;
    USHORT volume = 0;
    LONG rate = 0;
    ASSERT_EQ(voice->GetVolume(&volume), S_OK);
    ASSERT_EQ(voice->GetRate(&rate), S_OK);
    EXPECT_EQ(volume, 40);
    EXPECT_EQ(rate, -3);
    // The edges of the ranges are accepted.
    EXPECT_EQ(voice->SetVolume(100), S_OK);
    EXPECT_EQ(voice->SetRate(10), S_OK);
    EXPECT_EQ(voice->SetRate(-10), S_OK);
}

TEST_F(VoiceTest, ABadCallIsRefusedWithItsOwnResult) {
    EXPECT_EQ(voice->Speak(nullptr, kAsyncPurge, nullptr), E_POINTER);
    EXPECT_EQ(voice->Speak(u"hello", 0x40000000, nullptr), static_cast<HRESULT>(0x80045004u));
    EXPECT_EQ(voice->Speak(u"hello", SPF_IS_XML | SPF_IS_NOT_XML, nullptr), static_cast<HRESULT>(0x80045004u));
    auto stream = TestByteStream::Create(cd16Mono);
    EXPECT_EQ(voice->SpeakStream(stream.Get(), SPF_IS_XML, nullptr), static_cast<HRESULT>(0x80045004u));
    EXPECT_EQ(voice->GetVolume(nullptr), E_POINTER);
    EXPECT_EQ(voice->GetRate(nullptr), E_POINTER);
    EXPECT_EQ(voice->GetOutputStream(nullptr), E_POINTER);
}

TEST_F(VoiceTest, APurgeCutsSpeechOff) {
    auto whole = TestByteStream::Create(cd16Mono);
    ASSERT_EQ(voice->SetOutput(whole.Get(), TRUE), S_OK);
    ASSERT_EQ(voice->Speak(LongText().c_str(), kAsync, nullptr), S_OK);
    ASSERT_EQ(voice->WaitUntilDone(INFINITE), S_OK);

    auto cut = TestByteStream::Create(cd16Mono);
    ASSERT_EQ(voice->SetOutput(cut.Get(), TRUE), S_OK);
    cut->CloseGate();
    ASSERT_EQ(voice->Speak(LongText().c_str(), kAsync, nullptr), S_OK);
    cut->AwaitWrites(1);  // speech has begun and is held in its first write
    ASSERT_EQ(voice->Speak(u"", kAsyncPurge, nullptr), S_OK);
    cut->OpenGate();
    ASSERT_EQ(voice->WaitUntilDone(INFINITE), S_OK);

    EXPECT_GT(whole->Collected().size(), 30u * 44100 * 2);  // well over half a minute of speech
    EXPECT_EQ(cut->WriteSizes().size(), 1u);
    EXPECT_LT(cut->Collected().size(), whole->Collected().size() / 100);
}

TEST_F(VoiceTest, APurgeDropsQueuedSpeechAndTheNewTextIsSpoken) {
    std::vector<BYTE> alone = SpeakInto(cd16Mono, kSentence);
    auto stream = TestByteStream::Create(cd16Mono);
    ASSERT_EQ(voice->SetOutput(stream.Get(), TRUE), S_OK);
    stream->CloseGate();
    ASSERT_EQ(voice->Speak(LongText().c_str(), kAsync, nullptr), S_OK);
    stream->AwaitWrites(1);
    ASSERT_EQ(voice->Speak(LongText().c_str(), kAsync, nullptr), S_OK);  // queued behind it
    ASSERT_EQ(voice->Speak(kSentence.c_str(), kAsyncPurge, nullptr), S_OK);
    stream->OpenGate();
    ASSERT_EQ(voice->WaitUntilDone(INFINITE), S_OK);
    std::vector<BYTE> collected = stream->Collected();
    std::vector<ULONG> sizes = stream->WriteSizes();
    ASSERT_FALSE(sizes.empty());
    // What follows the one write that was under way is the new sentence alone: as long as
    // when it is spoken by itself (give or take the synthesizer's own variation).
    double after = static_cast<double>(collected.size() - sizes[0]);
    EXPECT_NEAR(after / alone.size(), 1.0, 0.03);
}

TEST_F(VoiceTest, VolumeChangesSpeechAlreadyUnderWay) {
    auto stream = TestByteStream::Create(cd16Mono);
    ASSERT_EQ(voice->SetOutput(stream.Get(), TRUE), S_OK);
    stream->CloseGate();
    ASSERT_EQ(voice->Speak(LongText().c_str(), kAsync, nullptr), S_OK);
    stream->AwaitWrites(1);
    ASSERT_EQ(voice->SetVolume(0), S_OK);
    stream->OpenGate();
    ASSERT_EQ(voice->WaitUntilDone(INFINITE), S_OK);
    std::vector<float> samples = Pcm16ToFloat(stream->Collected());
    size_t firstWrite = stream->WriteSizes().at(0) / 2;
    ASSERT_GT(samples.size(), 10 * firstWrite);
    // The first piece may hold the silence before speech starts; the rest must be silent.
    EXPECT_EQ(Rms(samples, firstWrite), 0.0);
}

TEST_F(VoiceTest, WaitUntilDoneTellsWhenItGaveUp) {
    auto stream = TestByteStream::Create(cd16Mono);
    ASSERT_EQ(voice->SetOutput(stream.Get(), TRUE), S_OK);
    stream->CloseGate();
    ASSERT_EQ(voice->Speak(kSentence.c_str(), kAsync, nullptr), S_OK);
    stream->AwaitWrites(1);
    EXPECT_EQ(voice->WaitUntilDone(20), S_FALSE);
    stream->OpenGate();
    EXPECT_EQ(voice->WaitUntilDone(INFINITE), S_OK);
    EXPECT_EQ(voice->WaitUntilDone(0), S_OK);
}

TEST_F(VoiceTest, SpeechQueuedBeforeASwitchGoesToTheOldOutput) {
    std::vector<BYTE> alone = SpeakInto(cd16Mono, kSentence);
    auto first = TestByteStream::Create(cd16Mono);
    auto second = TestByteStream::Create(cd16Mono);
    ASSERT_EQ(voice->SetOutput(first.Get(), TRUE), S_OK);
    ASSERT_EQ(voice->Speak(kSentence.c_str(), kAsync, nullptr), S_OK);
    ASSERT_EQ(voice->SetOutput(second.Get(), TRUE), S_OK);
    double whole = static_cast<double>(alone.size());
    EXPECT_NEAR(first->Collected().size() / whole, 1.0, 0.03);
    EXPECT_TRUE(second->Collected().empty());
    ASSERT_EQ(voice->Speak(kSentence.c_str(), kSync, nullptr), S_OK);
    EXPECT_NEAR(second->Collected().size() / whole, 1.0, 0.03);
    EXPECT_NEAR(first->Collected().size() / whole, 1.0, 0.03);
}

TEST_F(VoiceTest, TheDefaultOutputReportsTheFormatItPlays) {
    ISpStreamFormat* output = nullptr;
    ASSERT_EQ(voice->GetOutputStream(&output), S_OK);
    ASSERT_NE(output, nullptr);
    GUID formatId = GUID_NULL;
    WAVEFORMATEX* format = nullptr;
    ASSERT_EQ(output->GetFormat(&formatId, &format), S_OK);
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(formatId, SPDFID_WaveFormatEx);
    EXPECT_EQ(format->wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format->nChannels, 1);
    EXPECT_EQ(format->nSamplesPerSec, 44100u);
    EXPECT_EQ(format->nAvgBytesPerSec, 88200u);
    EXPECT_EQ(format->nBlockAlign, 2);
    EXPECT_EQ(format->wBitsPerSample, 16);
    EXPECT_EQ(format->cbSize, 0);
    CoTaskMemFree(format);
    output->Release();
}

TEST_F(VoiceTest, TheVoiceHoldsItsOutputAndGoesBackToTheDefault) {
    ISpStreamFormat* device = nullptr;
    ASSERT_EQ(voice->GetOutputStream(&device), S_OK);

    auto stream = TestByteStream::Create(cd16Mono);
    ULONG before = stream->References();
    ASSERT_EQ(voice->SetOutput(stream.Get(), TRUE), S_OK);
    EXPECT_GT(stream->References(), before);
    ISpStreamFormat* current = nullptr;
    ASSERT_EQ(voice->GetOutputStream(&current), S_OK);
    EXPECT_EQ(current, static_cast<ISpStreamFormat*>(stream.Get()));
    current->Release();

    struct Restore {
        const char* name;
        IUnknown* output;
    };
    for (const Restore& restore : {Restore{"null", nullptr}, Restore{"the saved default", device}}) {
        SCOPED_TRACE(restore.name);
        ASSERT_EQ(voice->SetOutput(stream.Get(), TRUE), S_OK);
        ASSERT_EQ(voice->SetOutput(restore.output, FALSE), S_OK);
        EXPECT_EQ(stream->References(), before);  // let go of once the switch returns
        ASSERT_EQ(voice->GetOutputStream(&current), S_OK);
        GUID formatId = GUID_NULL;
        WAVEFORMATEX* format = nullptr;
        ASSERT_EQ(current->GetFormat(&formatId, &format), S_OK);
        EXPECT_EQ(format->nSamplesPerSec, 44100u);
        CoTaskMemFree(format);
        current->Release();
    }
    device->Release();
}

TEST_F(VoiceTest, OutputsItCannotWriteAreRefusedAndTheOldOneKept) {
    auto good = TestByteStream::Create(cd16Mono);
    ASSERT_EQ(voice->SetOutput(good.Get(), TRUE), S_OK);
    InterfaceHolder<ISpVoice> notAStream = MakeVoice();
    struct Case {
        const char* name;
        InterfaceHolder<IUnknown> output;
    };
    const Case cases[] = {
        {"ADPCM", InterfaceHolder<IUnknown>::Share(TestByteStream::Create(WaveFormat(WAVE_FORMAT_ADPCM, 1, 8000, 4)).Get())},
        {"text format", InterfaceHolder<IUnknown>::Share(TestByteStream::Create(cd16Mono, SPDFID_Text).Get())},
        {"not a stream", InterfaceHolder<IUnknown>::Share(notAStream.Get())},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(voice->SetOutput(c.output.Get(), TRUE), SPERR_UNSUPPORTED_FORMAT) << c.name;
        ISpStreamFormat* current = nullptr;
        ASSERT_EQ(voice->GetOutputStream(&current), S_OK);
        EXPECT_EQ(current, static_cast<ISpStreamFormat*>(good.Get())) << c.name;
        current->Release();
    }
}

TEST_F(VoiceTest, SpokenStreamsArriveAtTheirFrequencyAndLengthInAnyFormat) {
    struct Case {
        const char* name;
        WAVEFORMATEX from;
        WAVEFORMATEX to;
    };
    const Case cases[] = {
        {"22.05 kHz stereo into 44.1 kHz mono", WaveFormat(WAVE_FORMAT_PCM, 2, 22050, 16), cd16Mono},
        {"44.1 kHz mono into 8 kHz 8-bit stereo", cd16Mono, WaveFormat(WAVE_FORMAT_PCM, 2, 8000, 8)},
        {"16 kHz mono into 48 kHz float stereo", WaveFormat(WAVE_FORMAT_PCM, 1, 16000, 16),
         WaveFormat(WAVE_FORMAT_IEEE_FLOAT, 2, 48000, 32)},
        {"11.025 kHz mono into 8 kHz mu-law", WaveFormat(WAVE_FORMAT_PCM, 1, 11025, 16),
         WaveFormat(WAVE_FORMAT_MULAW, 1, 8000, 8)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto input = TestByteStream::Create(c.from);
        input->SetContent(SinePcm16(c.from.nSamplesPerSec, c.from.nChannels, 440.0, 1.0));
        auto output = TestByteStream::Create(c.to);
        ASSERT_EQ(voice->SetOutput(output.Get(), TRUE), S_OK);
        ULONG streamNumber = 0;
        ASSERT_EQ(voice->SpeakStream(input.Get(), 0, &streamNumber), S_OK);
        EXPECT_NE(streamNumber, 0u);

        std::vector<BYTE> bytes = output->Collected();
        std::vector<float> samples;
        if (c.to.wFormatTag == WAVE_FORMAT_IEEE_FLOAT) {
            samples.resize(bytes.size() / 4);
            std::memcpy(samples.data(), bytes.data(), samples.size() * 4);
        } else if (c.to.wFormatTag == WAVE_FORMAT_MULAW) {
            for (BYTE code : bytes) samples.push_back(MuLawToLinear(code) / 32768.0f);
        } else if (c.to.wBitsPerSample == 8) {
            samples = Pcm8ToFloat(bytes);
        } else {
            samples = Pcm16ToFloat(bytes);
        }
        for (WORD channel = 0; channel < c.to.nChannels; ++channel) {
            std::vector<float> one = Channel(samples, c.to.nChannels, channel);
            EXPECT_NEAR(one.size(), c.to.nSamplesPerSec, c.to.nSamplesPerSec / 100.0);
            EXPECT_NEAR(ToneFrequency(one, c.to.nSamplesPerSec), 440.0, 2.0);
            EXPECT_NEAR(Rms(one, one.size() / 10, one.size() * 9 / 10), 0.5 / std::sqrt(2.0), 0.02);
        }
    }
}

// Converting 48 kHz stereo into 44.1 kHz mono adds nothing that stands out from the
// quantisation of the two 16-bit formats.
TEST_F(VoiceTest, AConvertedStreamStaysCloseToTheIdealTone) {
    auto input = TestByteStream::Create(WaveFormat(WAVE_FORMAT_PCM, 2, 48000, 16));
    input->SetContent(SinePcm16(48000, 2, 1000.0, 1.0));
    auto output = TestByteStream::Create(cd16Mono);
    ASSERT_EQ(voice->SetOutput(output.Get(), TRUE), S_OK);
    ASSERT_EQ(voice->SpeakStream(input.Get(), 0, nullptr), S_OK);
    std::vector<float> out = Pcm16ToFloat(output->Collected());
    ASSERT_EQ(out.size(), 44100u);
    double error = 0.0;
    double signal = 0.0;
    for (size_t i = out.size() / 4; i < out.size() * 3 / 4; ++i) {
        double ideal = 0.5 * 32767 / 32768 * std::sin(2 * M_PI * 1000.0 * i / 44100);
        error += (out[i] - ideal) * (out[i] - ideal);
        signal += ideal * ideal;
    }
    EXPECT_LT(10 * std::log10(error / signal), -85.0);
}

TEST_F(VoiceTest, AStreamInTheOutputsOwnFormatPassesUnchangedAtFullVolume) {
    std::vector<BYTE> sine = SinePcm16(44100, 1, 1000.0, 0.5);
    auto input = TestByteStream::Create(cd16Mono);
    input->SetContent(sine);
    auto output = TestByteStream::Create(cd16Mono);
    ASSERT_EQ(voice->SetOutput(output.Get(), TRUE), S_OK);
    ASSERT_EQ(voice->SpeakStream(input.Get(), 0, nullptr), S_OK);
    EXPECT_EQ(output->Collected(), sine);

    ASSERT_EQ(voice->SetVolume(50), S_OK);
    auto again = TestByteStream::Create(cd16Mono);
    again->SetContent(sine);
    auto halved = TestByteStream::Create(cd16Mono);
    ASSERT_EQ(voice->SetOutput(halved.Get(), TRUE), S_OK);
    ASSERT_EQ(voice->SpeakStream(again.Get(), 0, nullptr), S_OK);
    std::vector<float> in = Pcm16ToFloat(sine);
    std::vector<float> out = Pcm16ToFloat(halved->Collected());
    ASSERT_EQ(out.size(), in.size());
    for (size_t i = 0; i < in.size(); ++i) ASSERT_NEAR(out[i], in[i] / 2, 1.0 / 32768) << "sample " << i;
}

TEST_F(VoiceTest, FrameObjectsAreReadAndWrittenAsFrames) {
    auto input = TestFramesObject::Create(16000, 1);
    for (int i = 0; i < 16000; ++i) input->content.push_back(static_cast<float>(0.5 * std::sin(2 * M_PI * 440.0 * i / 16000)));
    auto output = TestFramesObject::Create(44100, 2);
    ASSERT_EQ(voice->SetOutput(static_cast<ISpStreamFormat*>(output.Get()), TRUE), S_OK);
    ASSERT_EQ(voice->SpeakStream(static_cast<ISpStreamFormat*>(input.Get()), 0, nullptr), S_OK);
    std::vector<float> frames = output->Collected();
    std::vector<float> left = Channel(frames, 2, 0);
    EXPECT_EQ(left, Channel(frames, 2, 1));
    EXPECT_NEAR(left.size(), 44100.0, 441.0);
    EXPECT_NEAR(ToneFrequency(left, 44100), 440.0, 2.0);

    ASSERT_EQ(voice->Speak(kSentence.c_str(), kSync, nullptr), S_OK);
    EXPECT_GT(output->Collected().size(), frames.size() + 44100);
}

TEST_F(VoiceTest, StreamsItCannotReadAreRefused) {
    auto adpcm = TestByteStream::Create(WaveFormat(WAVE_FORMAT_ADPCM, 1, 8000, 4));
    auto text = TestByteStream::Create(cd16Mono, SPDFID_Text);
    auto failing = TestByteStream::Create(cd16Mono);
    failing->SetContent(SinePcm16(44100, 1, 440.0, 0.1));
    failing->FailReads(STG_E_ACCESSDENIED);
    auto output = TestByteStream::Create(cd16Mono);
    ASSERT_EQ(voice->SetOutput(output.Get(), TRUE), S_OK);

    EXPECT_TRUE(FAILED(voice->SpeakStream(nullptr, 0, nullptr)));
    EXPECT_EQ(voice->SpeakStream(adpcm.Get(), 0, nullptr), SPERR_UNSUPPORTED_FORMAT);
    EXPECT_EQ(voice->SpeakStream(text.Get(), 0, nullptr), SPERR_UNSUPPORTED_FORMAT);
    EXPECT_EQ(voice->SpeakStream(failing.Get(), 0, nullptr), STG_E_ACCESSDENIED);
    EXPECT_TRUE(output->Collected().empty());
}

TEST_F(VoiceTest, EachPieceOfWorkGetsTheNextStreamNumber) {
    auto output = TestByteStream::Create(cd16Mono);
    ASSERT_EQ(voice->SetOutput(output.Get(), TRUE), S_OK);
    ULONG first = 0;
    ULONG second = 0;
    ASSERT_EQ(voice->Speak(u"one", kAsync, &first), S_OK);
    ASSERT_EQ(voice->Speak(u"two", kAsync, &second), S_OK);
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(voice->WaitUntilDone(INFINITE), S_OK);
}

TEST(VoiceLifetime, ReleasingAVoiceMidSpeechStopsItAndLetsGoOfItsOutput) {
    auto stream = TestByteStream::Create(WaveFormat(WAVE_FORMAT_PCM, 1, 44100, 16));
    ULONG before = stream->References();
    {
        InterfaceHolder<ISpVoice> voice = MakeVoice();
        ASSERT_EQ(voice->SetOutput(stream.Get(), TRUE), S_OK);
        std::u16string text = LongText();
        ASSERT_EQ(voice->Speak(text.c_str(), kAsync, nullptr), S_OK);
    }
    EXPECT_EQ(stream->References(), before);
}

}  // namespace
