// Rendering into WAV files with a recording voice and recording stream objects: the calls
// made, the arguments passed, the messages printed and the references left behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "speech/FileRendering.h"
#include "speech/StreamFormat.h"
#include "tests/support/FakeStream.h"
#include "tests/support/SpeakerFixture.h"
#include "tests/support/TaskAllocFailure.h"

namespace {

using WideString = std::basic_string<WCHAR>;
using Bytes = std::vector<BYTE>;
using Calls = std::vector<std::string>;

WideString Wide(const std::string& text) { return WideString(text.begin(), text.end()); }

const HRESULT kAccessDenied = static_cast<HRESULT>(0x80070005u);
const HRESULT kFileNotFound = static_cast<HRESULT>(0x80070002u);
const HRESULT kClassNotRegistered = static_cast<HRESULT>(0x80040154u);
const ULONGLONG kAllEvents = 0xEFFFFFFFFFFFFFFFull;

// The 18 bytes of 44.1 kHz 16-bit mono PCM.
const Bytes kMonoFormat = {0x01, 0x00, 0x01, 0x00, 0x44, 0xAC, 0x00, 0x00, 0x88,
                           0x58, 0x01, 0x00, 0x02, 0x00, 0x10, 0x00, 0x00, 0x00};

/// A Speaker on a recording voice whose current output is `previous`, with every stream
/// object the code under test creates made as a recording FakeStream and kept in `made`.
class FileRendering : public SpeakerFixture {
protected:
    FileRendering()
        : previous(FakeStream::Create()),
          streamClass(CLSID_SpStream, [this](REFIID iid, void** object) {
              if (FAILED(createResult)) return createResult;
              FakeStream* stream = FakeStream::Create();
              if (made.size() < bindResults.size()) stream->bindResult = bindResults[made.size()];
              made.push_back(stream);  // keeps the creation reference
              return stream->QueryInterface(iid, object);
          }) {
        previous->formatIdToReport = SPDFID_Text;  // distinct, so its use can be seen
        previous->formatBlockToReport = {0x01, 0x00, 0x02, 0x00};
        previous->AddRef();  // the voice's reference, released by the fake voice
        fake->outputToReport = previous;
    }
    ~FileRendering() override {
        for (FakeStream* stream : made) stream->Release();
        previous->Release();
    }

    std::string Capture(const std::function<void()>& action) {
        ::testing::internal::CaptureStdout();
        action();
        return ::testing::internal::GetCapturedStdout();
    }

    FakeStream* previous;
    HRESULT createResult = S_OK;
    std::vector<HRESULT> bindResults;  // BindToFile results of the streams made, in order
    std::vector<FakeStream*> made;
    ClassOverride streamClass;
};

TEST_F(FileRendering, RedirectsIntoANewFileWithThePreviousIdentifierAndTheMonoFormat) {
    const WideString name = Wide("out.wav");
    EXPECT_EQ("", Capture([&] { speaker->BindOutputToFile(name.c_str()); }));

    ASSERT_EQ(1u, made.size());
    FakeStream* file = made[0];
    ASSERT_EQ(1u, file->binds.size());
    const FakeStream::BindCall& bind = file->binds[0];
    EXPECT_EQ(name, bind.fileName);
    EXPECT_EQ(SPFM_CREATE_ALWAYS, bind.mode);
    ASSERT_TRUE(bind.hasFormatId);
    EXPECT_EQ(SPDFID_Text, bind.formatId);  // the identifier of the output it replaces
    EXPECT_EQ(kMonoFormat, bind.waveFormat);
    EXPECT_EQ(kAllEvents, bind.eventInterest);

    EXPECT_EQ((Calls{"GetOutputStream", "SetOutput"}), fake->calls);
    ASSERT_EQ(1u, fake->outputs.size());
    EXPECT_EQ(static_cast<IUnknown*>(static_cast<ISpStream*>(file)), fake->outputs[0].output);
    EXPECT_EQ(TRUE, fake->outputs[0].allowFormatChanges);
    EXPECT_EQ(Calls{"GetFormat"}, previous->calls);
    speaker->FinishFileOutput();
}

TEST_F(FileRendering, FinishWaitsThenRestoresThePreviousOutputAndLetsGoOfBoth) {
    const ULONG previousBefore = previous->References();
    speaker->BindOutputToFile(Wide("out.wav").c_str());
    ASSERT_EQ(1u, made.size());
    FakeStream* file = made[0];
    fake->calls.clear();

    EXPECT_EQ("", Capture([&] { speaker->FinishFileOutput(); }));
    EXPECT_EQ((Calls{"WaitUntilDone", "SetOutput"}), fake->calls);
    EXPECT_EQ(std::vector<ULONG>{0xFFFFFFFFu}, fake->waits);
    ASSERT_EQ(2u, fake->outputs.size());
    EXPECT_EQ(static_cast<IUnknown*>(static_cast<ISpStreamFormat*>(previous)), fake->outputs[1].output);
    EXPECT_EQ(FALSE, fake->outputs[1].allowFormatChanges);
    // Only the test's own reference to the file stream is left; the previous output is
    // held by the voice again (as its current output), plus what the test held before.
    EXPECT_EQ(1u, file->References());
    EXPECT_EQ(previousBefore + 1, previous->References());

    // Both holders are empty: a new redirection is accepted.
    EXPECT_EQ("", Capture([&] { speaker->BindOutputToFile(Wide("again.wav").c_str()); }));
    EXPECT_EQ(2u, made.size());
    speaker->FinishFileOutput();
}

TEST_F(FileRendering, OutputThatCannotBeObtainedIsReportedAsAFailureAndNothingIsBound) {
    struct Case {
        const char* name;
        HRESULT getOutput;
        bool reportsOutput;
        HRESULT getFormat;
        std::string message;
    };
    const Case cases[] = {
        {"S_FALSE with no output", S_FALSE, false, S_OK, "can not bind to file, hr 80004005\n"},
        {"S_FALSE with an output", S_FALSE, true, S_OK, "can not bind to file, hr 80004005\n"},
        {"a failure", kAccessDenied, false, S_OK, "can not bind to file, hr 80004005\n"},
        {"its format unknown", S_OK, true, E_OUTOFMEMORY, "can not bind to file, hr 8007000e\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake->calls.clear();
        fake->outputs.clear();
        fake->getOutputResult = c.getOutput;
        if (fake->outputToReport != nullptr) fake->outputToReport->Release();
        fake->outputToReport = c.reportsOutput ? previous : nullptr;
        if (c.reportsOutput) previous->AddRef();
        previous->getFormatResult = c.getFormat;
        const ULONG previousBefore = previous->References();

        EXPECT_EQ(c.message, Capture([&] { speaker->BindOutputToFile(Wide("out.wav").c_str()); }));
        EXPECT_TRUE(made.empty()) << "no stream object is created";
        EXPECT_EQ(Calls{"GetOutputStream"}, fake->calls);

        // Finishing passes on whatever GetOutputStream left, and empties both holders.
        speaker->FinishFileOutput();
        ASSERT_EQ(1u, fake->outputs.size());
        EXPECT_EQ(c.reportsOutput ? static_cast<IUnknown*>(static_cast<ISpStreamFormat*>(previous)) : nullptr,
                  fake->outputs[0].output);
        EXPECT_EQ(FALSE, fake->outputs[0].allowFormatChanges);
        // The voice now holds the restored output as its current one; the speaker holds nothing.
        EXPECT_EQ(previousBefore + (c.reportsOutput ? 1u : 0u), previous->References());
        fake->SetOutput(nullptr, FALSE);
    }
}

TEST_F(FileRendering, TargetFormatThatCannotBeBuiltIsReportedAndTheOutputStillRestored) {
    FailNextTaskAllocations(1);  // the mono format's block is the first task allocation
    std::string printed = Capture([&] { speaker->BindOutputToFile(Wide("out.wav").c_str()); });
    FailNextTaskAllocations(0);
    EXPECT_EQ("can not bind to file, hr 8007000e\n", printed);
    EXPECT_TRUE(made.empty());
    EXPECT_EQ(Calls{"GetOutputStream"}, fake->calls);
    speaker->FinishFileOutput();
    ASSERT_EQ(1u, fake->outputs.size());
    EXPECT_EQ(static_cast<IUnknown*>(static_cast<ISpStreamFormat*>(previous)), fake->outputs[0].output);
}

// A redirection that cannot be set up is reported and returned, and until it is finished
// nothing is spoken at all: not into the file, and not into the output it was to replace.
TEST_F(FileRendering, ARedirectionThatFailsIsReportedAndSilencesTheSpeakerUntilFinished) {
    struct Case {
        const char* name;
        HRESULT create;
        HRESULT bind;
        HRESULT setOutput;
        HRESULT expected;
    };
    const Case cases[] = {
        {"stream object not created", kClassNotRegistered, S_OK, S_OK, kClassNotRegistered},
        {"file not bound", S_OK, kAccessDenied, S_OK, kAccessDenied},
        {"output not switched", S_OK, S_OK, E_OUTOFMEMORY, E_OUTOFMEMORY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        createResult = c.create;
        bindResults.assign(1, c.bind);
        fake->setOutputResult = c.setOutput;
        size_t madeBefore = made.size();
        HRESULT bound = S_OK;
        char bindLine[64], streamLine[64];
        std::snprintf(bindLine, sizeof bindLine, "can not bind to file, hr %x\n", static_cast<unsigned>(c.expected));
        std::snprintf(streamLine, sizeof streamLine, "speak stream failed, hr = 0x%x\n", static_cast<unsigned>(c.expected));
        EXPECT_EQ(bindLine, Capture([&] { bound = speaker->BindOutputToFile(Wide("out.wav").c_str()); }));
        EXPECT_EQ(c.expected, bound);
        // A stream object made for the file is not left behind half bound.
        if (made.size() > madeBefore && c.bind != S_OK) {
            EXPECT_EQ(1u, made.back()->References());
        }

        fake->setOutputResult = S_OK;
        fake->calls.clear();
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(c.expected, speaker->SpeakText(Wide("lost").c_str()));
        ::testing::internal::GetCapturedStderr();
        InterfaceHolder<ISpStream> nothing;
        EXPECT_EQ(streamLine, Capture([&] { EXPECT_EQ(c.expected, speaker->SpeakStream(nothing)); }));
        EXPECT_TRUE(fake->calls.empty()) << "nothing reaches the voice";

        // Finishing restores the previous output, returns the failure and prints nothing more.
        HRESULT finished = S_OK;
        EXPECT_EQ("", Capture([&] { finished = speaker->FinishFileOutput(); }));
        EXPECT_EQ(c.expected, finished);
        EXPECT_EQ(static_cast<IUnknown*>(static_cast<ISpStreamFormat*>(previous)), fake->CurrentOutput());
        // And then the speaker speaks again.
        EXPECT_EQ(S_OK, speaker->SpeakText(Wide("heard").c_str()));
    }
}

// A file that could not be written or completed is reported by name when the rendering
// is finished, and the failure is returned.
TEST_F(FileRendering, AFileThatCannotBeCompletedIsReportedWhenFinished) {
    EXPECT_EQ(S_OK, speaker->BindOutputToFile(Wide("dir/out.wav").c_str()));
    ASSERT_EQ(1u, made.size());
    made[0]->closeResult = static_cast<HRESULT>(0x80030070u);
    HRESULT finished = S_OK;
    EXPECT_EQ("can not write dir/out.wav, hr 80030070\n", Capture([&] { finished = speaker->FinishFileOutput(); }));
    EXPECT_EQ(static_cast<HRESULT>(0x80030070u), finished);
    EXPECT_EQ(static_cast<IUnknown*>(static_cast<ISpStreamFormat*>(previous)), fake->CurrentOutput());
    EXPECT_EQ(1u, made[0]->References());
}

TEST_F(FileRendering, ASecondRedirectionIsRefusedAndTheFirstStays) {
    speaker->BindOutputToFile(Wide("first.wav").c_str());
    ASSERT_EQ(1u, made.size());
    fake->calls.clear();
    std::string printed = Capture([&] { speaker->BindOutputToFile(Wide("second.wav").c_str()); });
    EXPECT_EQ("can not bind to file: the output is already redirected into a file\n", printed);
    EXPECT_EQ(1u, made.size());
    EXPECT_TRUE(fake->calls.empty());
    EXPECT_EQ(static_cast<IUnknown*>(static_cast<ISpStream*>(made[0])), fake->CurrentOutput());

    speaker->FinishFileOutput();
    EXPECT_EQ(static_cast<IUnknown*>(static_cast<ISpStreamFormat*>(previous)), fake->CurrentOutput());
    EXPECT_EQ(1u, made[0]->References());
}

TEST_F(FileRendering, BindStreamToFilePassesItsArgumentsUnchanged) {
    struct Case {
        const char* name;
        SPFILEMODE mode;
        bool withFormat;
        HRESULT bindResult;
    };
    const Case cases[] = {
        {"create", SPFM_CREATE_ALWAYS, true, S_OK},
        {"open", SPFM_OPEN_READONLY, false, S_OK},
        {"bind fails", SPFM_OPEN_READONLY, false, kFileNotFound},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bindResults.assign(made.size() + 1, c.bindResult);
        InterfaceHolder<ISpStream> holder;
        const WideString name = Wide("some/file.wav");
        HRESULT hr = BindStreamToFile(name.c_str(), c.mode, holder.Slot(), c.withFormat ? &SPDFID_WaveFormatEx : nullptr,
                                      c.withFormat ? reinterpret_cast<const WAVEFORMATEX*>(kMonoFormat.data()) : nullptr,
                                      0x1234);
        EXPECT_EQ(c.bindResult, hr);
        FakeStream* stream = made.back();
        ASSERT_EQ(1u, stream->binds.size());
        EXPECT_EQ(name, stream->binds[0].fileName);
        EXPECT_EQ(c.mode, stream->binds[0].mode);
        EXPECT_EQ(c.withFormat, stream->binds[0].hasFormatId);
        EXPECT_EQ(c.withFormat ? kMonoFormat : Bytes{}, stream->binds[0].waveFormat);
        EXPECT_EQ(0x1234u, stream->binds[0].eventInterest);
        if (SUCCEEDED(c.bindResult)) {
            EXPECT_EQ(static_cast<ISpStream*>(stream), holder.Get());
            EXPECT_EQ(2u, stream->References());
        } else {
            EXPECT_EQ(nullptr, holder.Get());
            EXPECT_EQ(1u, stream->References());
        }
    }
    createResult = kClassNotRegistered;
    InterfaceHolder<ISpStream> holder;
    EXPECT_EQ(kClassNotRegistered,
              BindStreamToFile(Wide("x.wav").c_str(), SPFM_OPEN_READONLY, holder.Slot(), nullptr, nullptr, kAllEvents));
    EXPECT_EQ(nullptr, holder.Get());
}

TEST_F(FileRendering, SpeakStreamSpeaksSynchronouslyAndGivesBackItsCopy) {
    FakeStream* input = FakeStream::Create();
    InterfaceHolder<ISpStream> holder;
    ASSERT_EQ(S_OK, input->QueryInterface(IID_ISpStream, holder.VoidSlot()));
    const ULONG before = input->References();

    EXPECT_EQ("", Capture([&] { speaker->SpeakStream(holder); }));
    ASSERT_EQ(1u, fake->spokenStreams.size());
    EXPECT_EQ(static_cast<IStream*>(static_cast<ISpStream*>(input)), fake->spokenStreams[0]);
    EXPECT_EQ(0u, fake->speakStreamFlags[0]);
    EXPECT_TRUE(fake->speakStreamNumberRequested[0]);
    EXPECT_EQ(before, input->References());

    fake->speakStreamResult = E_FAIL;
    EXPECT_EQ("speak stream failed, hr = 0x80004005\n", Capture([&] { speaker->SpeakStream(holder); }));
    EXPECT_EQ(before, input->References());

    InterfaceHolder<ISpStream> empty;
    fake->speakStreamResult = E_POINTER;
    EXPECT_EQ("speak stream failed, hr = 0x80004003\n", Capture([&] { speaker->SpeakStream(empty); }));
    EXPECT_EQ(nullptr, fake->spokenStreams.back());
    holder.Clear();
    input->Release();
}

// ConvertFileToMono: the stream objects it makes are, in order, the input and the file.
TEST_F(FileRendering, ConvertNamesTheNewFileAfterTheLastComponentWithoutItsExtension) {
    struct Case {
        std::string name;
        std::string newName;
        std::string leftInBuffer;
    };
    const std::string longStem(246, 'n');
    const std::vector<Case> cases = {
        {"take.wav", "take_mono.wav", "take"},
        {"a.b.wav", "a.b_mono.wav", "a.b"},
        {"Take.WAV", "Take_mono.wav", "Take"},
        {".wav", "_mono.wav", ""},
        {"take", "take_mono.wav", "take"},
        {"old.d/take", "old.d/take_mono.wav", "old.d/take"},
        {"old.d/take.wav", "old.d/take_mono.wav", "old.d/take"},
        {"old.d\\take", "old.d\\take_mono.wav", "old.d\\take"},
        {"dir/x.y\\take.raw", "dir/x.y\\take_mono.wav", "dir/x.y\\take"},
        {"dir/.wav", "dir/_mono.wav", "dir/"},
        {"/abs/path/take.wav", "/abs/path/take_mono.wav", "/abs/path/take"},
        {longStem + ".wav", longStem + "_mono.wav", longStem},  // 255 characters: fills the buffer
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t first = made.size();
        fake->calls.clear();
        fake->spokenStreams.clear();
        std::vector<char> buffer(c.name.begin(), c.name.end());
        buffer.push_back('\0');

        EXPECT_EQ("", Capture([&] { ConvertFileToMono(*speaker, buffer.data()); }));
        EXPECT_EQ(c.leftInBuffer, std::string(buffer.data()));
        ASSERT_EQ(first + 2, made.size());
        FakeStream* input = made[first];
        FakeStream* output = made[first + 1];
        ASSERT_EQ(1u, input->binds.size());
        EXPECT_EQ(Wide(c.name), input->binds[0].fileName);
        EXPECT_EQ(SPFM_OPEN_READONLY, input->binds[0].mode);
        EXPECT_FALSE(input->binds[0].hasFormatId);
        EXPECT_TRUE(input->binds[0].waveFormat.empty());
        EXPECT_EQ(kAllEvents, input->binds[0].eventInterest);
        ASSERT_EQ(1u, output->binds.size());
        EXPECT_EQ(Wide(c.newName), output->binds[0].fileName);
        EXPECT_EQ(SPFM_CREATE_ALWAYS, output->binds[0].mode);

        EXPECT_EQ((Calls{"GetOutputStream", "SetOutput", "SpeakStream", "WaitUntilDone", "SetOutput"}), fake->calls);
        EXPECT_EQ(static_cast<IStream*>(static_cast<ISpStream*>(input)), fake->spokenStreams[0]);
        // Everything is let go of: input and file hold only the test's references.
        EXPECT_EQ(1u, input->References());
        EXPECT_EQ(1u, output->References());
        EXPECT_EQ(static_cast<IUnknown*>(static_cast<ISpStreamFormat*>(previous)), fake->CurrentOutput());
    }
}

TEST_F(FileRendering, ConvertRefusesANameTooLongForTheNewNameAndMakesNothing) {
    const std::string name = std::string(247, 'n') + ".wav";
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    std::string printed = Capture([&] { ConvertFileToMono(*speaker, buffer.data()); });
    EXPECT_EQ("can not convert " + name + ": the name without its extension is longer than 246 characters\n", printed);
    EXPECT_EQ(name, std::string(buffer.data()));
    ASSERT_EQ(1u, made.size()) << "only the input is opened";
    EXPECT_EQ(1u, made[0]->References());
    EXPECT_TRUE(fake->calls.empty());
}

TEST_F(FileRendering, ConvertReportsAnInputThatCannotBeOpenedWithItsWholeName) {
    bindResults = {kFileNotFound};
    char name[] = "dir.v2/missing.wav";
    std::string printed = Capture([&] { ConvertFileToMono(*speaker, name); });
    EXPECT_EQ("can not open stream dir.v2/missing.wav, hr 80070002\n", printed);
    EXPECT_STREQ("dir.v2/missing.wav", name);
    ASSERT_EQ(1u, made.size());
    EXPECT_EQ(1u, made[0]->References());
    EXPECT_TRUE(fake->calls.empty()) << "the voice is not touched";
}

TEST_F(FileRendering, ConvertSpeaksNothingWhenTheRedirectionFails) {
    bindResults = {S_OK, kAccessDenied};  // the input opens, the new file does not
    char name[] = "take.wav";
    HRESULT converted = S_OK;
    EXPECT_EQ("can not bind to file, hr 80070005\n", Capture([&] { converted = ConvertFileToMono(*speaker, name); }));
    EXPECT_EQ(kAccessDenied, converted);
    // The input is spoken nowhere; the output is set again.
    EXPECT_EQ((Calls{"GetOutputStream", "WaitUntilDone", "SetOutput"}), fake->calls);
    ASSERT_EQ(1u, fake->outputs.size());
    EXPECT_EQ(static_cast<IUnknown*>(static_cast<ISpStreamFormat*>(previous)), fake->outputs[0].output);
    ASSERT_EQ(2u, made.size());
    EXPECT_EQ(1u, made[0]->References());
    EXPECT_EQ(1u, made[1]->References());
}

}  // namespace
