// Window timers on a fake clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/native.h"
#include "tests/harness.h"
#include "toolkit/form.h"

namespace {

struct TTimerBench {
    TFakeClock clock;
    TSilentAudio audio;
    TPlatform platform{clock, audio, NativeFiles(), "/tmp/"};
    TForm form{platform, 10, 10};
    std::vector<std::string> fired;  // "<name>@<ms>"

    TTimer* Add(const std::string& name, uint32_t interval, bool enabled = true) {
        TTimer* t = form.AddTimer(name, interval);
        t->OnTimer = [this, name] { fired.push_back(name + "@" + std::to_string(clock.now)); };
        t->SetEnabled(enabled);
        return t;
    }

    // Lets time pass up to `until`, firing timers at their due times as the host does.
    void RunUntil(uint64_t until) {
        for (auto due = form.NextTimerDue(); due && *due <= until; due = form.NextTimerDue()) {
            clock.now = std::max(clock.now, *due);
            form.FireDueTimers();
        }
        clock.now = std::max(clock.now, until);
    }

    std::vector<std::string> Take() { return std::exchange(fired, {}); }
};

using TFired = std::vector<std::string>;

}  // namespace

TEST(Timers, EnabledTimerFiresEveryInterval) {
    TTimerBench b;
    b.clock.now = 1000;
    TTimer* t = b.Add("t", 50, false);
    EXPECT_FALSE(t->Enabled());
    EXPECT_FALSE(b.form.NextTimerDue());
    b.RunUntil(1500);
    EXPECT_TRUE(b.Take().empty());  // disabled: never fires

    t->SetEnabled(true);  // a full interval from now
    EXPECT_EQ(b.form.NextTimerDue(), 1550u);
    b.clock.now = 1549;
    b.form.FireDueTimers();
    EXPECT_TRUE(b.Take().empty());
    b.RunUntil(1700);
    EXPECT_EQ(b.Take(), (TFired{"t@1550", "t@1600", "t@1650", "t@1700"}));

    // Enabling an enabled timer changes nothing; disabling stops it.
    b.clock.now = 1720;
    t->SetEnabled(true);
    EXPECT_EQ(b.form.NextTimerDue(), 1750u);
    t->SetEnabled(false);
    b.RunUntil(2000);
    EXPECT_TRUE(b.Take().empty());

    // A zero interval never fires.
    t->SetInterval(0);
    t->SetEnabled(true);
    EXPECT_FALSE(b.form.NextTimerDue());
    b.RunUntil(3000);
    EXPECT_TRUE(b.Take().empty());
}

TEST(Timers, RestartInsideTheHandlerCountsFromTheRestart) {
    // A 50 ms timer whose handler takes 30 ms and switches itself off meanwhile: the next
    // firing is a full interval after the handler switched it back on.
    TTimerBench b;
    TTimer* t = b.form.AddTimer("slow", 50);
    t->OnTimer = [&] {
        b.fired.push_back("slow@" + std::to_string(b.clock.now));
        t->SetEnabled(false);
        b.clock.now += 30;
        t->SetEnabled(true);
    };
    t->SetEnabled(true);
    b.RunUntil(300);
    EXPECT_EQ(b.Take(), (TFired{"slow@50", "slow@130", "slow@210", "slow@290"}));

    // Without the restart, the time taken does not shift the beat.
    TTimerBench c;
    TTimer* u = c.form.AddTimer("busy", 50);
    u->OnTimer = [&] {
        c.fired.push_back("busy@" + std::to_string(c.clock.now));
        c.clock.now += 30;
    };
    u->SetEnabled(true);
    c.RunUntil(200);
    EXPECT_EQ(c.Take(), (TFired{"busy@50", "busy@100", "busy@150", "busy@200"}));
}

TEST(Timers, ChangingTheIntervalRestarts) {
    TTimerBench b;
    TTimer* t = b.Add("t", 100);
    b.clock.now = 70;
    t->SetInterval(40);  // restarts: due at 110, not 40 or 100
    EXPECT_EQ(t->Due(), 110u);
    t->SetInterval(40);  // the same interval again: no restart
    b.clock.now = 90;
    t->SetInterval(40);
    EXPECT_EQ(t->Due(), 110u);
    b.RunUntil(200);
    EXPECT_EQ(b.Take(), (TFired{"t@110", "t@150", "t@190"}));

    // A disabled timer keeps the new interval for when it is enabled.
    t->SetEnabled(false);
    t->SetInterval(25);
    EXPECT_FALSE(b.form.NextTimerDue());
    t->SetEnabled(true);
    EXPECT_EQ(b.form.NextTimerDue(), 225u);

    // Changing the interval from its own handler.
    TTimerBench c;
    TTimer* u = c.Add("u", 30);
    u->OnTimer = [&] {
        c.fired.push_back("u@" + std::to_string(c.clock.now));
        u->SetInterval(u->Interval() + 10);
    };
    c.RunUntil(200);
    EXPECT_EQ(c.Take(), (TFired{"u@30", "u@70", "u@120", "u@180"}));
}

TEST(Timers, SeveralTimersFireEarliestFirstTiesInCreationOrder) {
    TTimerBench b;
    b.Add("slow", 30);
    b.Add("fast", 20);
    b.Add("same", 30);
    EXPECT_EQ(b.form.NextTimerDue(), 20u);
    b.RunUntil(60);
    EXPECT_EQ(b.Take(), (TFired{"fast@20", "slow@30", "same@30", "fast@40", "slow@60", "fast@60",
                                "same@60"}));

    // A late call fires all that are due, earliest due first, each once.
    TTimerBench c;
    c.Add("b", 70);
    c.Add("a", 50);
    c.clock.now = 1000;
    c.form.FireDueTimers();
    EXPECT_EQ(c.Take(), (TFired{"a@1000", "b@1000"}));
    c.form.FireDueTimers();
    EXPECT_TRUE(c.Take().empty());
    // The beat picks up from the late call, not from the missed intervals.
    EXPECT_EQ(c.form.NextTimerDue(), 1050u);
    c.RunUntil(1140);
    EXPECT_EQ(c.Take(), (TFired{"a@1050", "b@1070", "a@1100", "b@1140"}));

    // Slightly late (less than an interval): the beat keeps its phase.
    TTimerBench d;
    d.Add("d", 50);
    d.clock.now = 60;
    d.form.FireDueTimers();
    EXPECT_EQ(d.form.NextTimerDue(), 100u);
}

TEST(Timers, HandlersChangingOtherTimers) {
    // The first handler stops a timer that is due at the same time, and restarts another:
    // neither fires in this round.
    TTimerBench b;
    TTimer* first = b.Add("first", 10);
    TTimer* stopped = b.Add("stopped", 10);
    TTimer* restarted = b.Add("restarted", 10);
    first->OnTimer = [&] {
        b.fired.push_back("first@" + std::to_string(b.clock.now));
        stopped->SetEnabled(false);
        restarted->SetInterval(15);
    };
    b.clock.now = 10;
    b.form.FireDueTimers();
    EXPECT_EQ(b.Take(), (TFired{"first@10"}));
    EXPECT_EQ(restarted->Due(), 25u);

    // A timer enabled from a handler starts a full interval later.
    TTimerBench c;
    TTimer* later = c.Add("later", 10, false);
    TTimer* starter = c.Add("starter", 5);
    starter->OnTimer = [&] {
        c.fired.push_back("starter@" + std::to_string(c.clock.now));
        later->SetEnabled(true);
        starter->SetEnabled(false);
    };
    c.RunUntil(40);
    EXPECT_EQ(c.Take(), (TFired{"starter@5", "later@15", "later@25", "later@35"}));
}
