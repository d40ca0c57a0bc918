#pragma once
// A sound file read whole through libsndfile, independently of the engine's own reading:
// how tests and benchmarks judge the files the system writes. Linux only.
#include <sndfile.h>

#include <string>
#include <vector>

struct SoundFile {
    bool valid = false;
    int rate = 0;
    int channels = 0;
    int format = 0;              // libsndfile's format code
    std::vector<float> samples;  // interleaved

    size_t Frames() const { return channels == 0 ? 0 : samples.size() / size_t(channels); }
    double Seconds() const { return rate == 0 ? 0 : double(Frames()) / rate; }
};

inline SoundFile ReadSoundFile(const std::string& path) {
    SoundFile sound;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) return sound;
    sound.valid = true;
    sound.rate = info.samplerate;
    sound.channels = info.channels;
    sound.format = info.format;
    sound.samples.resize(size_t(info.frames) * size_t(info.channels));
    sf_count_t got = sf_readf_float(file, sound.samples.data(), info.frames);
    sound.samples.resize(size_t(got < 0 ? 0 : got) * size_t(info.channels));
    sf_close(file);
    return sound;
}
