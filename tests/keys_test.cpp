// The window's keys: music, sound and pause for every player; the nine debug keys only in
// debug mode, in either case; and closing the window at any moment.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/player_test.h"
#include "toolkit/builtin_art.h"

namespace {

// Everything a debug key could change, as text.
std::string State(TPlayerGame& game) {
    TForm1& f = game.f();
    std::ostringstream out;
    out << game.h->Dump() << "scrap counter " << game.CounterText(*f.imScrapCt) << " signs counter "
        << game.CounterText(*f.imSignsCt) << " freeze " << f.dbgFreeze << " invincible "
        << f.dbgInvincible << " nospawn " << f.dbgNoSpawn << " speeds "
        << f.settings.FVONKELBASESPEED << " " << f.settings.SVONKELBASESPEED << " "
        << f.settings.EVONKELBASESPEED;
    for (const auto& v : f.lstVonkels) out << " " << v->speed;
    out << " music " << f.musicOn << " sound " << f.soundOn << " paused " << f.pnlPause->Visible()
        << " audio " << game.h->audio.log.size();
    return out.str();
}

// A game with creatures about and a turret lost, for the debug keys to act on.
void SetTheScene(TPlayerGame& game) {
    game.PutCreature(4, 10);
    game.PutCreature(12, 6);
    game.f().lstTurrets.erase(game.f().lstTurrets.begin() + 1);
    game.Tick();
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(Keys, DebugKeysDoNothingOutsideDebugModeAndOtherKeysNothingAtAll) {
    TPlayerGame game;
    SetTheScene(game);
    const std::string before = State(game);
    for (const char key : std::string("XZCVBANFGxzcvbanfgqQ1 \t?")) {
        game.h->Key(key);
        EXPECT_EQ(State(game), before) << "key " << key;
    }
    // In debug mode the keys that are no debug key still do nothing.
    TPlayerGame debug("DEBUG=1\n");
    SetTheScene(debug);
    const std::string debugBefore = State(debug);
    for (const char key : std::string("qQ1 \t?dD")) {
        debug.h->Key(key);
        EXPECT_EQ(State(debug), debugBefore) << "key " << key;
    }
}

TEST(Keys, EveryDebugKeyWorksInEitherCase) {
    for (const bool lower : {false, true}) {
        const auto key = [lower](char k) { return lower ? char(k - 'A' + 'a') : k; };
        TPlayerGame game("DEBUG=1\n");
        TForm1& f = game.f();
        THarness& h = *game.h;
        SetTheScene(game);

        // X: a free bot, and the sign limit it brings.
        h.Key(key('X'));
        EXPECT_EQ(f.lstBots.size(), 2u);
        EXPECT_EQ(f.cash, 50);
        EXPECT_EQ(game.CounterText(*f.imSignsCt), "0/8");

        // C and V: 50 scrap more or less, never below 0, with the counter redrawn.
        h.Key(key('C'));
        EXPECT_EQ(f.cash, 100);
        EXPECT_EQ(game.CounterText(*f.imScrapCt), "100");
        h.Key(key('V'));
        EXPECT_EQ(f.cash, 50);
        f.ChangeCash(-20);
        h.Key(key('V'));
        EXPECT_EQ(f.cash, 0);
        EXPECT_EQ(game.CounterText(*f.imScrapCt), "0");

        // B, A and G flip their switches, and back.
        for (const char k : {'B', 'A', 'G'}) {
            h.Key(key(k));
            EXPECT_TRUE(f.dbgFreeze || f.dbgInvincible || f.dbgNoSpawn) << k;
            h.Key(key(k));
            EXPECT_FALSE(f.dbgFreeze || f.dbgInvincible || f.dbgNoSpawn) << k;
        }

        // F: every speed 0, the settings' too, so that creatures to come are just as fast.
        h.Key(key('F'));
        EXPECT_EQ(f.settings.FVONKELBASESPEED, 0);
        EXPECT_EQ(f.settings.SVONKELBASESPEED, 0);
        EXPECT_EQ(f.settings.EVONKELBASESPEED, 0);
        for (const auto& v : f.lstVonkels) EXPECT_EQ(v->speed, 0);
        EXPECT_EQ(game.PutCreature(6, 6).speed, 0);

        // Z: every creature gone, for no score, scrap, sound or explosion.
        const size_t effects = f.lstEffects.size();
        const size_t sounds = h.audio.log.size();
        h.Key(key('Z'));
        EXPECT_TRUE(f.lstVonkels.empty());
        EXPECT_EQ(f.score, 0);
        EXPECT_EQ(f.cash, 0);
        EXPECT_EQ(f.lstEffects.size(), effects);
        EXPECT_EQ(h.audio.log.size(), sounds);
        EXPECT_TRUE(f.lstScrap.size() > 0);

        // N: four base turrets again; the music follows in the next tick.
        h.Ticks(1);
        ASSERT_EQ(f.musicTrack, 2);  // three turrets left
        h.Key(key('N'));
        ASSERT_EQ(f.lstTurrets.size(), 4u);
        const int slots[] = {0, 2, 3, 5};
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_TRUE(f.lstTurrets[i]->isTurret);
            EXPECT_EQ(f.lstTurrets[i]->tileX, f.baseTiles[size_t(slots[i])]->tileX);
            EXPECT_EQ(f.lstTurrets[i]->tileY, f.baseTiles[size_t(slots[i])]->tileY);
        }
        EXPECT_EQ(f.musicTrack, 2);
        const size_t music = h.audio.log.size();
        h.Ticks(1);
        EXPECT_EQ(f.musicTrack, 1);
        EXPECT_NE(std::find(h.audio.log.begin() + std::ptrdiff_t(music), h.audio.log.end(),
                            "open 0 rmusic1.wav"),
                  h.audio.log.end());

        // M and S switch the music and the sounds.
        h.Key(key('M'));
        EXPECT_FALSE(f.musicOn);
        h.Key(key('S'));
        EXPECT_FALSE(f.soundOn);
    }
}

TEST(Keys, DebugKeysActOnTheSplashAndGameOverScreensAndTheirEffectsLast) {
    TTempAssets dir;
    THarness h(dir.WithSettings("DEBUG=1\nINITDELAY=2000000000\n"));
    TForm1& f = h.Form();
    h.Key('c');
    h.Key('f');
    EXPECT_EQ(f.cash, 100);
    h.StartPlay();
    // The speeds stay 0 for every later game; the switches stay as they are.
    h.Key('g');
    f.NewGame();
    EXPECT_EQ(f.settings.FVONKELBASESPEED, 0);
    EXPECT_TRUE(f.dbgNoSpawn);
    EXPECT_EQ(f.cash, 50);
    EXPECT_EQ(f.Color(), clMaroon);
    EXPECT_TRUE(f.memDbg->Visible());
    EXPECT_EQ(f.memDbg->Lines(), (std::vector<std::string>{
                                     "[X] New Bot  [Z] Kill Vonkels", "[C] Cash + 50 [V] Cash - 50",
                                     "[B] Stop Vonkel Motion [G] Gen",
                                     "[A] Invincible [N] Replace Turrets", "[F] Fast"}));
}

// Creatures and turrets are freed while a fight is on: nothing may still refer to them. Under
// the address sanitizer any left-over reference fails the test.
TEST(Keys, ZAndNInTheMiddleOfAFightLeaveNothingBehind) {
    TTempAssets dir;
    THarness h(
        dir.WithSettings("DEBUG=1\nEVONKELBASEEMERGE=12\nSVONKELBASEEMERGE=15\n"
                         "FVONKELBASEEMERGE=14\nEVONKELBASESPEED=2\nSVONKELBASESPEED=3\n"
                         "FVONKELBASESPEED=2\nTURRETHEALTH=4\nBASEORBHEALTH=1000000\n"
                         "VONKELEMERGESWAP=0\n"));
    TForm1& f = h.Form();
    f.PlaceSign(9, 9, 1, true);
    h.StartPlay();
    int freed = 0;
    for (int t = 0; t < 2400 && !f.gameOver; ++t) {
        h.Ticks(1);
        if (t % 300 == 299 && !f.lstVonkels.empty()) {
            freed += int(f.lstVonkels.size());
            h.Key('z');
        }
        if (t % 97 == 96) h.Key('n');
    }
    EXPECT_GT(freed, 20);
    // The fight went on: shots were fired at the turrets and at creatures.
    const auto logged = [&f](const char* text) {
        return std::count_if(f.lstDebug.begin(), f.lstDebug.end(), [text](const std::string& l) {
            return l.find(text) != std::string::npos;
        });
    };
    EXPECT_GT(logged("acquired target type 1 "), 0);
}

TEST(Keys, ClosingTheWindowAtAnyMomentEndsCleanlyAndSavesTheLog) {
    enum { kSplash, kPlay, kPaused, kExploding, kGameOverScreen };
    for (int moment = kSplash; moment <= kGameOverScreen; ++moment) {
        TTempAssets dir;
        auto h = std::make_unique<THarness>(
            dir.WithSettings("DEBUG=1\nINITDELAY=0\nEVONKELBASEEMERGE=5\nEVONKELBASESPEED=0\n"
                             "VONKELEMERGESWAP=0\n"));
        TForm1& f = h->Form();
        if (moment >= kPlay) {
            h->StartPlay();
            h->Ticks(200);
        }
        if (moment == kPaused) h->Key('p');
        if (moment >= kExploding) {
            f.orb->health = 0.5;
            f.DamageOrb();
            for (int t = 0; t < 40 && !f.gameOver; ++t) h->Ticks(1);
            ASSERT_TRUE(f.gameOver);
            h->Advance(moment == kExploding ? 300 : 3000);
            EXPECT_EQ(f.pnlGameOver->Visible(), moment == kGameOverScreen);
        }
        std::string expected;
        for (const std::string& line : f.lstDebug) expected += line + "\r\n";
        EXPECT_EQ(moment == kSplash, expected.empty()) << moment;
        h.reset();
        EXPECT_EQ(ReadFile(dir.Assets() / "debug.txt"), expected) << moment;
    }
}
