// The music players of the real audio backend read their tracks from the files as they play.
// On SDL's dummy driver, with the mixer's own calls to the music stream taken away, the test
// pulls the stream itself: a track in the device's format comes out byte for byte and then
// ends with one report; other PCM forms are converted and keep their length, however short; a
// damaged file plays what it holds, and what is no sound at all does not open.
#include "platform/sdl/sdl_audio.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void Put16(std::string& s, int v) {
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, int(v & 0xFFFF));
    Put16(s, int(v >> 16));
}

// A WAV file: a format chunk (with a list chunk before the data, as some editors write) and
// `data` as its samples; `dataSize` is what the header claims.
std::string Wav(int tag, int channels, int rate, int bits, const std::string& data,
                uint32_t dataSize) {
    std::string s = "RIFF";
    Put32(s, uint32_t(36 + 12 + data.size()));
    s += "WAVEfmt ";
    Put32(s, 16);
    Put16(s, tag);
    Put16(s, channels);
    Put32(s, uint32_t(rate));
    Put32(s, uint32_t(rate * channels * bits / 8));
    Put16(s, channels * bits / 8);
    Put16(s, bits);
    s += "LIST";
    Put32(s, 3);
    s += "abc";
    s += '\0';  // padding to an even size
    s += "data";
    Put32(s, dataSize);
    return s + data;
}

class AudioStream : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(audio_.Open());
        // From now on only the test pulls the music stream.
        Mix_HookMusic(nullptr, nullptr);
        dir_ = fs::temp_directory_path() / ("qv_audio_test." + std::to_string(getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string File(const std::string& name, const std::string& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    // Pulls the stream in blocks of 4096 bytes until the track's end is reported.
    std::string PlayToEnd(int& ends) {
        std::string out;
        ends = 0;
        for (int block = 0; block < 1000 && ends == 0; ++block) {
            std::vector<uint8_t> stream(4096, 0);
            audio_.Mix(stream.data(), int(stream.size()));
            out.append(reinterpret_cast<const char*>(stream.data()), stream.size());
            SDL_Event ev;
            while (SDL_PollEvent(&ev))
                if (ev.type == audio_.FinishedEventType() && audio_.HandleFinished(ev.user.code))
                    ++ends;
        }
        return out;
    }

    TSdlAudio audio_;
    fs::path dir_;
};

}  // namespace

TEST_F(AudioStream, PlaysFilesAsTheyAreReadAndReportsTheirEnds) {
    // 16-bit stereo at 44100 Hz, the device's own format: byte for byte, then silence.
    std::string pcm;
    for (int i = 0; i < 44100; ++i) {
        Put16(pcm, (i * 37) % 20000 - 10000);
        Put16(pcm, (i * 11) % 30000 - 15000);
    }
    ASSERT_TRUE(
        audio_.MusicOpen(0, File("same.wav", Wav(1, 2, 44100, 16, pcm, uint32_t(pcm.size())))));
    EXPECT_EQ(audio_.MusicLength(0), 1000);
    ASSERT_TRUE(audio_.MusicPlay(0));
    int ends = 0;
    std::string out = PlayToEnd(ends);
    EXPECT_EQ(ends, 1);
    ASSERT_GE(out.size(), pcm.size());
    EXPECT_TRUE(out.compare(0, pcm.size(), pcm) == 0);
    EXPECT_EQ(out.find_first_not_of('\0', pcm.size()), std::string::npos);
    EXPECT_EQ(audio_.MusicPosition(0), 1000);
    // Played again, it starts over from the top.
    ASSERT_TRUE(audio_.MusicPlay(0));
    out = PlayToEnd(ends);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(out.compare(0, pcm.size(), pcm) == 0);

    // 8-bit mono at 22050 Hz: converted, about as long as it was.
    std::string u8(11025, '\0');
    for (size_t i = 0; i < u8.size(); ++i) u8[i] = char(128 + (i % 64 < 32 ? 60 : -60));
    ASSERT_TRUE(audio_.MusicOpen(1, File("u8.wav", Wav(1, 1, 22050, 8, u8, uint32_t(u8.size())))));
    EXPECT_EQ(audio_.MusicLength(1), 500);
    ASSERT_TRUE(audio_.MusicPlay(1));
    out = PlayToEnd(ends);
    EXPECT_EQ(ends, 1);
    const size_t last = out.find_last_not_of('\0');
    ASSERT_NE(last, std::string::npos);
    EXPECT_NEAR(double(last + 1), 22050 * 4, 64);
    // A short one at an odd rate: its frames and the silence after them once came to just what
    // the converter holds back, and it played nothing at all.
    std::string tone;
    for (int i = 0; i < 301; ++i) Put16(tone, 8000 + i);
    ASSERT_TRUE(
        audio_.MusicOpen(1, File("short.wav", Wav(1, 1, 2113, 16, tone, uint32_t(tone.size())))));
    ASSERT_TRUE(audio_.MusicPlay(1));
    out = PlayToEnd(ends);
    EXPECT_EQ(ends, 1);
    EXPECT_NEAR(double(out.find_last_not_of('\0') + 1), 301.0 * 44100 / 2113 * 4, 64);

    // A header that claims more data than the file holds plays what is there.
    const std::string cut = pcm.substr(0, 4410 * 4);
    ASSERT_TRUE(audio_.MusicOpen(0, File("cut.wav", Wav(1, 2, 44100, 16, cut, 0xFFFFFFFFu))));
    EXPECT_EQ(audio_.MusicLength(0), 100);

    // One sample a second is no sound: neither the reader nor the mixer behind it (which
    // would decode these 2000 bytes into 176 MB) takes it.
    EXPECT_FALSE(
        audio_.MusicOpen(0, File("slow.wav", Wav(1, 1, 1, 16, std::string(2000, 1), 2000))));

    // Not a sound, and no file at all.
    EXPECT_FALSE(audio_.MusicOpen(0, File("junk.wav", "RIFF\x04\0\0\0WAVEjunk")));
    EXPECT_FALSE(audio_.MusicIsOpen(0));
    EXPECT_FALSE(audio_.MusicOpen(0, (dir_ / "missing.wav").string()));
}

TEST_F(AudioStream, AStoppedTrackResumesAndAClosedOneReportsNoEnd) {
    std::string pcm;
    for (int i = 0; i < 8192; ++i) Put32(pcm, uint32_t(i * 2654435761u) | 0x00010001u);
    ASSERT_TRUE(
        audio_.MusicOpen(0, File("t.wav", Wav(1, 2, 44100, 16, pcm, uint32_t(pcm.size())))));
    ASSERT_TRUE(audio_.MusicPlay(0));
    std::vector<uint8_t> stream(4096, 0);
    audio_.Mix(stream.data(), 4096);
    ASSERT_TRUE(audio_.MusicStop(0));
    std::vector<uint8_t> silent(4096, 0);
    audio_.Mix(silent.data(), 4096);
    EXPECT_EQ(silent, std::vector<uint8_t>(4096, 0));
    ASSERT_TRUE(audio_.MusicPlay(0));
    int ends = 0;
    const std::string rest = PlayToEnd(ends);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(rest.compare(0, pcm.size() - 4096, pcm, 4096) == 0);

    // The end of a track closed before its report is handled is no end of anything.
    ASSERT_TRUE(audio_.MusicOpen(1, File("u.wav", Wav(1, 2, 44100, 16, pcm.substr(0, 400), 400))));
    ASSERT_TRUE(audio_.MusicPlay(1));
    audio_.Mix(stream.data(), 4096);
    audio_.MusicClose(1);
    SDL_Event ev;
    int reported = 0;
    while (SDL_PollEvent(&ev))
        if (ev.type == audio_.FinishedEventType() && audio_.HandleFinished(ev.user.code))
            ++reported;
    EXPECT_EQ(reported, 0);
}

TEST_F(AudioStream, MusicThatComesLateIsOpenedAsTheGameLeftIt) {
    std::string pcm;
    for (int i = 0; i < 4410; ++i) Put32(pcm, uint32_t(i * 2654435761u) | 0x00010001u);
    const std::string wav = Wav(1, 2, 44100, 16, pcm, uint32_t(pcm.size()));
    const std::string title = (dir_ / "title.wav").string(), other = (dir_ / "other.wav").string();
    // Opened before its file is there (the game plays what it opens, when it opens): nothing yet.
    EXPECT_FALSE(audio_.MusicOpen(0, title));
    // Opened and stopped since: it is to be open, but still.
    EXPECT_FALSE(audio_.MusicOpen(1, other));
    audio_.MusicStop(1);
    audio_.OpenArrivedMusic();
    EXPECT_FALSE(audio_.MusicIsOpen(0));
    File("title.wav", wav);
    File("other.wav", wav);
    audio_.OpenArrivedMusic();
    // The first plays from its start; the stopped one is open and still.
    ASSERT_TRUE(audio_.MusicIsOpen(0));
    int ends = 0;
    const std::string out = PlayToEnd(ends);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(out.compare(0, pcm.size(), pcm) == 0);
    EXPECT_TRUE(audio_.MusicIsOpen(1));
    EXPECT_EQ(audio_.MusicPosition(1), 0);
    // Once there, nothing is awaited: a closed player stays closed.
    audio_.MusicClose(0);
    audio_.OpenArrivedMusic();
    EXPECT_FALSE(audio_.MusicIsOpen(0));
}

TEST_F(AudioStream, EachVolumeStepReachesTheMixer) {
    std::string pcm;
    for (int i = 0; i < 4410; ++i) {
        Put16(pcm, (i * 37) % 20000 - 10000);
        Put16(pcm, 12000);
    }
    const std::string track = File("volume.wav", Wav(1, 2, 44100, 16, pcm, uint32_t(pcm.size())));
    for (int step = 0; step <= 100; step += 10) {
        audio_.SetVolumes(step, 100 - step);
        EXPECT_EQ(audio_.MusicMixVolume(), (step * SDL_MIX_MAXVOLUME + 50) / 100);
        // The effects' channel is the mixer's own.
        EXPECT_EQ(audio_.EffectsMixVolume(), ((100 - step) * SDL_MIX_MAXVOLUME + 50) / 100);
        // The music comes out of the mix scaled as the mixer scales it.
        ASSERT_TRUE(audio_.MusicOpen(0, track));
        ASSERT_TRUE(audio_.MusicPlay(0));
        int ends = 0;
        const std::string out = PlayToEnd(ends);
        std::vector<uint8_t> expected(pcm.begin(), pcm.end()), silence(pcm.size(), 0);
        SDL_MixAudioFormat(silence.data(), expected.data(), AUDIO_S16SYS, Uint32(pcm.size()),
                           audio_.MusicMixVolume());
        EXPECT_TRUE(out.compare(0, pcm.size(), reinterpret_cast<const char*>(silence.data()),
                                pcm.size()) == 0)
            << step << " %";
        if (step == 0) {
            EXPECT_EQ(out.find_first_not_of('\0'), std::string::npos);
        }
        if (step == 100) {
            EXPECT_TRUE(out.compare(0, pcm.size(), pcm) == 0);
        }
    }
}
