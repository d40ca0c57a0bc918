// The engine's stream object over a base stream: bytes pass through to the base, the
// format is a copy of the one given, and the base is held for as long as the object.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ScratchFiles.h"
#include "engine/linux/streams/AudioFrames.h"
#include "engine/linux/com/Results.h"
#include "speech/StreamFormat.h"
#include "tests/support/FakeStream.h"

namespace {

using Bytes = std::vector<BYTE>;

ISpStream* NewStream() {
    ISpStream* stream = nullptr;
    EXPECT_EQ(S_OK, CoCreateInstance(CLSID_SpStream, nullptr, CLSCTX_ALL, IID_ISpStream, reinterpret_cast<void**>(&stream)));
    return stream;
}

Bytes FormatOfCode(int32_t code) {
    GUID id{};
    WAVEFORMATEX* block = nullptr;
    EXPECT_EQ(S_OK, ConvertStreamFormat(code, &id, &block));
    Bytes bytes = WaveFormatBytes(block);
    CoTaskMemFree(block);
    return bytes;
}

const WAVEFORMATEX* AsFormat(const Bytes& bytes) { return reinterpret_cast<const WAVEFORMATEX*>(bytes.data()); }

bool OffersFrames(IUnknown* object) {
    IEngineAudioFrames* frames = nullptr;
    HRESULT hr = object->QueryInterface(IID_IEngineAudioFrames, reinterpret_cast<void**>(&frames));
    if (frames != nullptr) frames->Release();
    return SUCCEEDED(hr);
}

class StreamOverBase : public ::testing::Test {
protected:
    StreamOverBase() : base(FakeStream::Create()), stream(NewStream()) {}
    ~StreamOverBase() override {
        if (stream != nullptr) stream->Release();
        base->Release();
    }
    void Bind(int32_t code = SPSF_44kHz16BitMono) {
        Bytes format = FormatOfCode(code);
        ASSERT_EQ(S_OK, stream->SetBaseStream(base, SPDFID_WaveFormatEx, AsFormat(format)));
        base->calls.clear();
    }

    FakeStream* base;
    ISpStream* stream;
};

TEST_F(StreamOverBase, WritesReadsSeeksAndSizesReachTheBase) {
    Bind();
    const char bytes[] = "0123456789";
    ULONG written = 0;
    EXPECT_EQ(S_OK, stream->Write(bytes, 10, &written));
    EXPECT_EQ(10u, written);
    EXPECT_EQ(Bytes(bytes, bytes + 10), base->content);

    ULARGE_INTEGER position{99};
    EXPECT_EQ(S_OK, stream->Seek(LARGE_INTEGER{3}, STREAM_SEEK_SET, &position));
    EXPECT_EQ(3u, position.QuadPart);
    EXPECT_EQ(S_OK, stream->Seek(LARGE_INTEGER{-2}, STREAM_SEEK_END, nullptr));
    ASSERT_EQ(2u, base->seeks.size());
    EXPECT_EQ(3, base->seeks[0].move);
    EXPECT_EQ(DWORD(STREAM_SEEK_SET), base->seeks[0].origin);
    EXPECT_TRUE(base->seeks[0].newPositionRequested);
    EXPECT_EQ(-2, base->seeks[1].move);
    EXPECT_EQ(DWORD(STREAM_SEEK_END), base->seeks[1].origin);
    EXPECT_FALSE(base->seeks[1].newPositionRequested);

    char buffer[16] = {};
    ULONG read = 0;
    EXPECT_EQ(S_OK, stream->Read(buffer, 16, &read));
    EXPECT_EQ(2u, read);
    EXPECT_EQ("89", std::string(buffer, read));
    ASSERT_EQ(1u, base->reads.size());
    EXPECT_EQ(16u, base->reads[0].size);

    EXPECT_EQ(S_OK, stream->SetSize(ULARGE_INTEGER{4}));
    EXPECT_EQ(4u, base->content.size());
    EXPECT_EQ((std::vector<std::string>{"Write", "Seek", "Seek", "Read", "SetSize"}), base->calls);
}

TEST_F(StreamOverBase, TheBasesResultsComeBackUnchanged) {
    Bind();
    struct Case {
        const char* name;
        HRESULT FakeStream::*field;
        HRESULT result;
    };
    const Case cases[] = {
        {"read end", &FakeStream::readResult, S_FALSE},
        {"read failure", &FakeStream::readResult, STG_E_ACCESSDENIED},
        {"write failure", &FakeStream::writeResult, STG_E_MEDIUMFULL},
        {"seek failure", &FakeStream::seekResult, STG_E_INVALIDFUNCTION},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        base->readResult = base->writeResult = base->seekResult = S_OK;
        base->*c.field = c.result;
        char buffer[4] = {'a', 'b', 'c', 'd'};
        ULONG count = 0;
        HRESULT hr = c.field == &FakeStream::readResult    ? stream->Read(buffer, 4, &count)
                     : c.field == &FakeStream::writeResult ? stream->Write(buffer, 4, &count)
                                                           : stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr);
        EXPECT_EQ(c.result, hr);
    }
}

TEST_F(StreamOverBase, HoldsOneReferenceToTheBaseUntilItGoes) {
    const ULONG before = base->References();
    Bind();
    EXPECT_EQ(before + 1, base->References());
    IStream* got = nullptr;
    ASSERT_EQ(S_OK, stream->GetBaseStream(&got));
    EXPECT_EQ(static_cast<IStream*>(base), got);
    EXPECT_EQ(before + 2, base->References());
    got->Release();
    stream->Release();
    stream = nullptr;
    EXPECT_EQ(before, base->References());
}

TEST_F(StreamOverBase, CloseLetsGoOfTheBase) {
    const ULONG before = base->References();
    Bind();
    EXPECT_EQ(S_OK, stream->Close());
    EXPECT_EQ(before, base->References());
    char buffer[4];
    ULONG read = 3;
    EXPECT_EQ(STG_E_REVERTED, stream->Read(buffer, 4, &read));
    EXPECT_EQ(0u, read);
    EXPECT_TRUE(base->calls.empty());
}

TEST_F(StreamOverBase, ReportsACopyOfTheFormatItWasGiven) {
    struct Case {
        const char* name;
        GUID formatId;
        Bytes format;  // empty: none given
    };
    const std::vector<Case> cases = {
        {"pcm", SPDFID_WaveFormatEx, FormatOfCode(SPSF_44kHz16BitMono)},
        {"adpcm with its extra bytes", SPDFID_WaveFormatEx, FormatOfCode(64)},
        {"gsm", SPDFID_WaveFormatEx, FormatOfCode(68)},
        {"text", SPDFID_Text, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeStream* inner = FakeStream::Create();
        ISpStream* outer = NewStream();
        Bytes given = c.format;
        ASSERT_EQ(S_OK, outer->SetBaseStream(inner, c.formatId, given.empty() ? nullptr : AsFormat(given)));
        std::fill(given.begin(), given.end(), 0xEE);  // the caller's block is not used afterwards

        GUID id = GUID_NULL;
        WAVEFORMATEX* block = reinterpret_cast<WAVEFORMATEX*>(&id);  // anything not null
        ASSERT_EQ(S_OK, outer->GetFormat(&id, &block));
        EXPECT_EQ(c.formatId, id);
        EXPECT_EQ(c.format, WaveFormatBytes(block));
        CoTaskMemFree(block);
        EXPECT_TRUE(inner->calls.empty()) << "the format is the stream object's own, the base is not asked";
        outer->Release();
        inner->Release();
    }
}

TEST_F(StreamOverBase, DoesNotOfferFloatFrames) {
    Bind();
    EXPECT_FALSE(OffersFrames(stream));
}

TEST_F(StreamOverBase, IsBoundOnlyOnce) {
    Bind();
    FakeStream* other = FakeStream::Create();
    const ULONG otherBefore = other->References();
    EXPECT_EQ(SPERR_ALREADY_INITIALIZED, stream->SetBaseStream(other, SPDFID_WaveFormatEx, AsFormat(FormatOfCode(4))));
    EXPECT_EQ(otherBefore, other->References());
    other->Release();

    const std::string path = scratch::TestDirectory() + "/never.wav";
    Bytes format = FormatOfCode(SPSF_44kHz16BitMono);
    EXPECT_EQ(SPERR_ALREADY_INITIALIZED, stream->BindToFile(scratch::Wide(path).c_str(), SPFM_CREATE_ALWAYS,
                                                            &SPDFID_WaveFormatEx, AsFormat(format), SPFEI_ALL_EVENTS));
    EXPECT_FALSE(scratch::Exists(path));

    // Still over the first base, with the first format.
    GUID id = GUID_NULL;
    WAVEFORMATEX* block = nullptr;
    ASSERT_EQ(S_OK, stream->GetFormat(&id, &block));
    EXPECT_EQ(format, WaveFormatBytes(block));
    CoTaskMemFree(block);
}

TEST_F(StreamOverBase, RefusesAMissingBaseOrWaveFormat) {
    EXPECT_EQ(E_INVALIDARG, stream->SetBaseStream(nullptr, SPDFID_WaveFormatEx, AsFormat(FormatOfCode(4))));
    const ULONG before = base->References();
    EXPECT_EQ(E_INVALIDARG, stream->SetBaseStream(base, SPDFID_WaveFormatEx, nullptr));
    EXPECT_EQ(before, base->References());
    // Neither attempt bound it.
    Bind();
}

TEST(StreamUnbound, RefusesDataCallsUntilBound) {
    ISpStream* stream = NewStream();
    char buffer[4];
    ULONG count = 5;
    EXPECT_EQ(SPERR_UNINITIALIZED, stream->Read(buffer, 4, &count));
    EXPECT_EQ(0u, count);
    count = 5;
    EXPECT_EQ(SPERR_UNINITIALIZED, stream->Write(buffer, 4, &count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(SPERR_UNINITIALIZED, stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr));
    EXPECT_EQ(SPERR_UNINITIALIZED, stream->SetSize(ULARGE_INTEGER{0}));
    GUID id;
    WAVEFORMATEX* block = reinterpret_cast<WAVEFORMATEX*>(&id);
    EXPECT_EQ(SPERR_UNINITIALIZED, stream->GetFormat(&id, &block));
    EXPECT_EQ(nullptr, block);
    IStream* base = reinterpret_cast<IStream*>(&id);
    EXPECT_EQ(SPERR_UNINITIALIZED, stream->GetBaseStream(&base));
    EXPECT_EQ(nullptr, base);
    EXPECT_EQ(SPERR_UNINITIALIZED, stream->Close());
    EXPECT_FALSE(OffersFrames(stream));
    stream->Release();
}

TEST(StreamUnbound, AnswersEveryStreamInterfaceAsOneObject) {
    ISpStream* stream = NewStream();
    const IID* ids[] = {&IID_IUnknown, &IID_ISequentialStream, &IID_IStream, &IID_ISpStreamFormat, &IID_ISpStream};
    IUnknown* identity = nullptr;
    ASSERT_EQ(S_OK, stream->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
    for (const IID* iid : ids) {
        void* object = nullptr;
        EXPECT_EQ(S_OK, stream->QueryInterface(*iid, &object));
        ASSERT_NE(nullptr, object);
        IUnknown* unknown = nullptr;
        static_cast<IUnknown*>(object)->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown));
        EXPECT_EQ(identity, unknown);
        unknown->Release();
        static_cast<IUnknown*>(object)->Release();
    }
    identity->Release();
    void* voice = nullptr;
    EXPECT_EQ(E_NOINTERFACE, stream->QueryInterface(IID_ISpVoice, &voice));
    EXPECT_EQ(nullptr, voice);
    stream->Release();
}

}  // namespace
