#pragma once
// Helpers for tests that make real files: a fresh directory per test, 16-bit names for
// the engine, and a reader for the sizes a WAV file's header states.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/Engine.h"

namespace scratch {

/// A directory of its own for the running test, under SPEECH_TEST_TMP (or /tmp), emptied
/// first so files left by an earlier run cannot make a test pass.
inline std::string TestDirectory() {
    const char* root = std::getenv("SPEECH_TEST_TMP");
    std::string base = root != nullptr && *root != 0 ? root : "/tmp/speech-test-tmp";
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
        if (c == '/') c = '_';
    std::string directory = base + "/" + name;
    std::string command = "rm -rf '" + directory + "' && mkdir -p '" + directory + "'";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << "can not make " << directory;
    return directory;
}

/// The engine's 16-bit form of an ASCII name.
inline std::u16string Wide(const std::string& name) { return std::u16string(name.begin(), name.end()); }

inline bool Exists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

inline std::vector<unsigned char> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline uint32_t Le32(const unsigned char* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

/// What a RIFF WAVE file's header says about itself, read byte by byte.
struct WavHeader {
    bool valid = false;
    uint32_t riffSize = 0;   // the RIFF chunk's size field
    uint32_t dataSize = 0;   // the data chunk's size field
    size_t dataOffset = 0;   // where the data chunk's bytes begin
    size_t fileSize = 0;
    std::vector<unsigned char> fmt;  // the format chunk's bytes
};

inline WavHeader ReadWavHeader(const std::string& path) {
    WavHeader header;
    std::vector<unsigned char> bytes = ReadAll(path);
    header.fileSize = bytes.size();
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return header;
    header.riffSize = Le32(bytes.data() + 4);
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        uint32_t size = Le32(bytes.data() + at + 4);
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && at + 8 + size <= bytes.size())
            header.fmt.assign(bytes.begin() + long(at + 8), bytes.begin() + long(at + 8 + size));
        if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            header.dataSize = size;
            header.dataOffset = at + 8;
            header.valid = !header.fmt.empty();
            return header;
        }
        at += 8 + size + (size & 1);
    }
    return header;
}

}  // namespace scratch
