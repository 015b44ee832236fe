// Sound effects with their throttle channels, and the music: the looping title and in-game
// tracks, the track that follows the turrets, the game-over track, and the M and S toggles.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/harness.h"

namespace {

constexpr uint64_t kWrap = uint64_t(1) << 32;
using Log = std::vector<std::string>;

// The log lines of one kind ("sound", or anything about music) since the log was last cleared.
std::vector<std::string> Lines(const THarness& h, bool sounds) {
    std::vector<std::string> out;
    for (const std::string& line : h.audio.log)
        if ((line.rfind("sound ", 0) == 0) == sounds) out.push_back(line);
    return out;
}
std::vector<std::string> Sounds(const THarness& h) {
    return Lines(h, true);
}
std::vector<std::string> MusicCalls(const THarness& h) {
    return Lines(h, false);
}
// Replaces the base turrets with `standing` turrets and one sign that is not a turret.
void SetTurrets(TForm1& f, int standing) {
    f.lstTurrets.clear();
    for (int i = 0; i <= standing; ++i) {
        f.lstTurrets.push_back(std::make_unique<TSign>(*f.Playfield));
        f.lstTurrets.back()->isTurret = i < standing;
    }
}

// Plays `name` on `channel` at clock time `at` and says whether it was heard.
bool PlayAt(THarness& h, uint64_t at, const std::string& name, int channel) {
    h.clock.now = at;
    h.audio.log.clear();
    h.Form().PlaySfx(name, channel);
    return Sounds(h) == Log{"sound " + name + ".wav"};
}

}  // namespace

TEST(AudioEffects, ThrottledChannelsLetOneEffectThroughEvery500Ms) {
    THarness h;
    const uint64_t t = h.clock.now;
    EXPECT_TRUE(PlayAt(h, t, "beamshot1", 1));
    EXPECT_FALSE(PlayAt(h, t + 300, "beamshot1", 1));
    EXPECT_TRUE(PlayAt(h, t + 300, "turret", 2));  // each channel has its own throttle
    EXPECT_TRUE(PlayAt(h, t + 300, "explosion2", 3));
    EXPECT_FALSE(PlayAt(h, t + 499, "beamshot1", 1));
    EXPECT_TRUE(PlayAt(h, t + 500, "beamshot1", 1));  // 500 ms after the last one heard
    EXPECT_FALSE(PlayAt(h, t + 799, "explosion1", 3));
    // Channel 0 is never throttled, and never arms anything.
    EXPECT_TRUE(PlayAt(h, t + 500, "menuopen", 0));
    EXPECT_TRUE(PlayAt(h, t + 500, "nomoney", 0));
    EXPECT_EQ(h.Form().soundNextTick[0], 0u);
    // Only the shot, turret and kill channels 1 to 3 ever close.
    EXPECT_TRUE(PlayAt(h, t + 600, "menuselect", 5));
    EXPECT_TRUE(PlayAt(h, t + 601, "menuselect", 5));
}

TEST(AudioEffects, MissingFilesArmTheChannelAndSoundOffArmsNothing) {
    THarness h;
    TForm1& f = h.Form();
    const uint64_t t = h.clock.now;
    EXPECT_FALSE(PlayAt(h, t, "nosuchshot", 1));
    EXPECT_TRUE(Sounds(h).empty());
    EXPECT_FALSE(PlayAt(h, t + 300, "beamshot1", 1));  // armed by the missing file
    EXPECT_TRUE(PlayAt(h, t + 500, "beamshot1", 1));

    f.ToggleSound();
    EXPECT_FALSE(f.soundOn);
    EXPECT_FALSE(PlayAt(h, t + 600, "turret", 2));
    EXPECT_FALSE(PlayAt(h, t + 600, "hatewarning", 0));
    EXPECT_TRUE(h.audio.log.empty());
    EXPECT_EQ(f.soundNextTick[2], 0u);
    f.ToggleSound();
    EXPECT_TRUE(PlayAt(h, t + 700, "turret", 2));  // not armed while sound was off
}

TEST(AudioEffects, ThrottleKeepsWorkingAcrossTheWrapOfTheTickCounter) {
    THarnessOptions options;
    options.startMs = kWrap - 600;
    THarness h(options);
    const uint64_t t = h.clock.now;
    // Channel 1 armed to reopen just before the wrap: after the wrap it must open again.
    EXPECT_TRUE(PlayAt(h, t, "beamshot1", 1));
    EXPECT_FALSE(PlayAt(h, t + 300, "beamshot1", 1));
    EXPECT_TRUE(PlayAt(h, t + 700, "beamshot1", 1));  // tick 100
    EXPECT_FALSE(PlayAt(h, t + 1000, "beamshot1", 1));
    EXPECT_TRUE(PlayAt(h, t + 1200, "beamshot1", 1));
    // Channel 2 armed just before the wrap to reopen just after it: closed until then.
    EXPECT_TRUE(PlayAt(h, t + 400, "turret", 2));
    EXPECT_FALSE(PlayAt(h, t + 500, "turret", 2));  // tick 2^32 - 100, reopens at tick 300
    EXPECT_FALSE(PlayAt(h, t + 899, "turret", 2));
    EXPECT_TRUE(PlayAt(h, t + 900, "turret", 2));

    // Requests every 10 ms through a wrap, from several starting points: between two effects
    // heard there are always 500 to 509 ms. (None of these arms a channel at exactly tick
    // 2^32 - 500, whose reopening tick 0 reads as "never armed" and lets the next one through.)
    for (uint64_t start = kWrap - 1234; start < kWrap + 300; start += 77) {
        h.Form().soundNextTick.fill(0);
        std::vector<uint64_t> heard;
        for (uint64_t now = start; now < start + 3000; now += 10)
            if (PlayAt(h, now, "explosion1", 3)) heard.push_back(now);
        ASSERT_GE(heard.size(), 5u) << start;
        EXPECT_EQ(heard.front(), start);
        for (size_t i = 1; i < heard.size(); ++i) {
            EXPECT_GE(heard[i] - heard[i - 1], 500u) << start << " at " << heard[i];
            EXPECT_LT(heard[i] - heard[i - 1], 510u) << start << " at " << heard[i];
        }
    }
}

TEST(Music, TitleTrackStartsWithTheWindowAndLoopsWhileMusicIsOn) {
    THarness h;
    TForm1& f = h.Form();
    const Log start = MusicCalls(h);
    const auto open = std::find(start.begin(), start.end(), "open 0 rmusic0.wav");
    ASSERT_NE(open, start.end());
    ASSERT_NE(open + 1, start.end());
    EXPECT_EQ(*(open + 1), "play 0");
    EXPECT_EQ(f.musicTrack, 0);

    // The title ends (30 s on the recording audio) and starts again, time after time.
    h.audio.log.clear();
    h.Advance(30500);
    EXPECT_EQ(MusicCalls(h), Log{"play 0"});
    EXPECT_EQ(f.BGM->Position(), 500);  // started again the moment it ended
    h.Advance(30000);
    EXPECT_EQ(MusicCalls(h), (Log{"play 0", "play 0"}));

    // A player halted part-way reports too, but only the end of a track repeats it.
    h.audio.log.clear();
    f.BGM->Stop();
    f.MusicFinished(0);
    EXPECT_EQ(MusicCalls(h), Log{"stop 0"});
    f.BGM->Play();

    // Music off closes the title; on again, it starts over from its beginning.
    h.audio.log.clear();
    f.ToggleMusic();
    EXPECT_FALSE(f.musicOn);
    EXPECT_EQ(MusicCalls(h), Log{"close 0"});
    h.Advance(65000);
    f.MusicFinished(0);
    EXPECT_EQ(MusicCalls(h), Log{"close 0"});
    f.ToggleMusic();
    EXPECT_EQ(MusicCalls(h), (Log{"close 0", "open 0 rmusic0.wav", "play 0"}));
    EXPECT_EQ(f.BGM->Position(), 0);
}

TEST(Music, InGameTrackFollowsTheStandingTurrets) {
    THarness h;
    TForm1& f = h.Form();
    const auto update = [&](int standing) {
        SetTurrets(f, standing);
        h.audio.log.clear();
        f.UpdateMusic();
        return MusicCalls(h);
    };
    EXPECT_EQ(update(4), (Log{"close 0", "open 0 rmusic1.wav", "play 0"}));
    EXPECT_EQ(f.musicTrack, 1);
    EXPECT_EQ(update(5), Log{});  // still "four or more"
    EXPECT_EQ(update(3), (Log{"close 0", "open 0 rmusic2.wav", "play 0"}));
    EXPECT_EQ(update(2), Log{});
    EXPECT_EQ(update(1), (Log{"close 0", "open 0 rmusic3.wav", "play 0"}));
    EXPECT_EQ(update(0), Log{});
    EXPECT_EQ(f.musicTrack, 3);

    // The in-game tracks loop like the title.
    h.audio.log.clear();
    h.Advance(30001);
    EXPECT_EQ(MusicCalls(h), Log{"play 0"});

    // With music off the track still follows the turrets, silently; music on plays the new
    // track from its start.
    update(4);
    f.ToggleMusic();
    EXPECT_EQ(update(1), Log{});
    EXPECT_EQ(f.musicTrack, 3);
    f.ToggleMusic();
    EXPECT_EQ(MusicCalls(h), (Log{"open 0 rmusic3.wav", "play 0"}));
    EXPECT_EQ(f.BGM->Position(), 0);
}

TEST(Music, GameOverTrackPlaysOnceAndIgnoresTheTurrets) {
    THarness h;
    TForm1& f = h.Form();
    f.musicTrack = 4;
    h.audio.log.clear();
    f.PlayTrack(*f.BGMGO, 4);
    EXPECT_EQ(MusicCalls(h), (Log{"open 1 rmusic4.wav", "play 1"}));
    SetTurrets(f, 1);
    f.UpdateMusic();
    EXPECT_EQ(f.musicTrack, 4);
    // Neither the game-over track nor the title still open on BGM starts again at its end.
    h.Advance(61000);
    EXPECT_EQ(MusicCalls(h), (Log{"open 1 rmusic4.wav", "play 1"}));

    // M toggles the game-over player.
    h.audio.log.clear();
    f.ToggleMusic();
    f.ToggleMusic();
    EXPECT_EQ(MusicCalls(h), (Log{"close 1", "open 1 rmusic4.wav", "play 1"}));
}

TEST(Music, MissingTrackPlaysNothingAndNeverLoops) {
    TTempAssets dir;
    THarness h(OptionsFor(dir));
    TForm1& f = h.Form();
    const Log start = MusicCalls(h);
    EXPECT_NE(std::find(start.begin(), start.end(), "open 0 rmusic0.wav"), start.end());
    EXPECT_EQ(std::find(start.begin(), start.end(), "play 0"), start.end());  // open failed
    EXPECT_FALSE(f.BGM->IsOpen());

    // Without an open file position and length are both 0: that is no end of a track.
    h.audio.log.clear();
    f.MusicFinished(0);
    f.MusicFinished(1);
    h.Advance(61000);
    EXPECT_EQ(MusicCalls(h), Log{});
}
