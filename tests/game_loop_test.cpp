// A whole loop of play, compared with a golden file: the splash screen in both its phases, a
// short game with a pause, the fall of the orb and its explosions, the game-over screen, the
// restart, and the first seconds of a second game. Every 50 ms the test notes the screen shown
// and the timers running when either changed, and every sound and music request as it came.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/harness.h"

namespace {

std::string ScreenOf(const TForm1& f) {
    if (f.pnlPause->Visible()) return "paused";
    if (f.pnlSplash->Visible()) return f.imSplash->Visible() ? "splash picture" : "splash text";
    if (f.pnlGameOver->Visible()) return "game over";
    return f.gameOver ? "exploding" : "play";
}

std::string TimersOf(const TForm1& f) {
    std::string timers;
    for (const auto& t : f.Timers())
        if (t->Enabled()) timers += (timers.empty() ? "" : " ") + t->Name();
    return timers;
}

class TLoopRecorder {
public:
    explicit TLoopRecorder(THarness& h) : h_(h), start_(h.clock.now) { Note(); }

    // Lets `ms` pass in steps of 50 ms, noting what changed after each.
    void Run(uint64_t ms) {
        for (uint64_t t = 0; t < ms; t += 50) {
            h_.Advance(50);
            Note();
        }
    }
    // Runs until `done` holds, for at most `ms`; true if it came.
    template <class Done>
    bool RunUntil(Done done, uint64_t ms) {
        for (uint64_t t = 0; t < ms && !done(); t += 50) Run(50);
        return done();
    }
    void Click(const char* what) {
        h_.Click(8 + 350, 8 + 350);
        Event(std::string("click ") + what);
    }
    void Key(char key) {
        h_.Key(key);
        Event(std::string("key ") + key);
    }
    std::string Text() const { return out_.str(); }

private:
    void Event(const std::string& what) {
        out_ << Stamp() << what << "\n";
        Note();
    }
    std::string Stamp() const {
        const TForm1& f = h_.Form();
        std::ostringstream s;
        s << (h_.clock.now - start_) << " ms tick " << f.tickCount << ": ";
        return s.str();
    }
    void Note() {
        TForm1& f = h_.Form();
        const std::string screen = ScreenOf(f), timers = TimersOf(f);
        if (screen != screen_ || timers != timers_) {
            out_ << Stamp() << screen << " [" << timers << "] start text " << f.imStart->Top()
                 << " end text " << f.imEnd->Top() << " effects " << f.lstEffects.size() << " cash "
                 << f.cash << " score " << f.score << " music " << f.musicTrack << "\n";
            screen_ = screen;
            timers_ = timers;
        }
        const auto& log = h_.audio.log;
        if (heard_ < log.size()) {
            out_ << Stamp();
            for (size_t i = heard_; i < log.size(); ++i) out_ << (i > heard_ ? ", " : "") << log[i];
            out_ << "\n";
            heard_ = log.size();
        }
    }

    THarness& h_;
    uint64_t start_;
    std::ostringstream out_;
    std::string screen_, timers_;
    size_t heard_ = 0;
};

}  // namespace

TEST(GameLoop, FromTheSplashThroughAShortGameAndItsEndToTheNextGame) {
    TTempAssets dir;
    // One tunnel sends fast creatures at a frail base; the emergence swaps run every 5 s.
    THarness h(
        dir.WithSettings("TURRETHEALTH=1\nBASEORBHEALTH=2\nEVONKELBASEEMERGE=20\n"
                         "SVONKELBASEEMERGE=100000\nFVONKELBASEEMERGE=100000\n"
                         "EVONKELBASESPEED=4\nINITDELAY=0\nVONKELEMERGESWAP=5\n"
                         "NUMSTARTRES=5\n"));
    TForm1& f = h.Form();
    TLoopRecorder loop(h);
    loop.Run(11000);  // the picture, then the start text
    loop.Click("the splash screen");
    loop.Run(3000);
    loop.Key('p');
    loop.Run(1000);
    loop.Key('P');
    ASSERT_TRUE(loop.RunUntil([&f] { return f.gameOver; }, 120000));
    ASSERT_TRUE(loop.RunUntil([&f] { return f.pnlGameOver->Visible(); }, 5000));
    loop.Run(3000);  // the end text on its way up
    loop.Click("the game-over screen");
    loop.Run(2000);
    loop.Click("the splash screen");
    loop.Run(3000);
    EXPECT_EQ(CompareGolden("game_loop", loop.Text()), "");
}
