#include "frontend/daily.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>

#include "frontend/look.h"
#include "frontend/screens.h"
#include "platform/native.h"
#include "replay/daily.h"
#include "replay/replay_folder.h"

std::string TodayUtc() {
    const TLocalTime local = NativeLocalTime();
    return UtcDay(local.when, local.utcOffset);
}

int NextDailyTry(const std::vector<TGameRecord>& games, IFiles& files,
                 const std::string& replayFolder, const std::string& day) {
    int highest = 0;
    for (const TGameRecord& r : games)
        if (r.day == day) highest = std::max(highest, r.dailyTry);
    if (!replayFolder.empty())
        for (const TFolderReplay& r : ListReplays(files, replayFolder, ""))
            if (r.header)
                if (const auto note = ReadDailyNote(*r.header); note && note->day == day)
                    highest = std::max(highest, note->attempt);
    return highest + 1;
}

void PlayDaily(TFrontEnd& front, const std::string& day) {
    TPlatform& host = front.Host();
    const TDailyNote note{
        day, NextDailyTry(front.Records().games, host.files, ReplayFolder(host.stateDir), day)};
    TFrontEnd::TPlayChoice choice;
    choice.speed = 100;
    choice.seed = DailySeed(day);
    choice.settings = TSettings();
    choice.notes = {{kDailyNote, DailyNoteText(note)}};
    choice.stamp = [note](TGameRecord& record) {
        record.day = note.day;
        record.dailyTry = note.attempt;
    };
    choice.ended = [&host, note](const std::string& replay,
                                 int64_t score) -> std::unique_ptr<TMenuScreen> {
        if (!replay.empty())
            if (const int error = WriteDailyClaim(host.files, replay, score))
                std::fprintf(stderr, "quorvatide: %s: the daily's score cannot be written: %s\n",
                             replay.c_str(), std::strerror(error));
        return MakeDailyScreen(note.day);
    };
    front.Play(choice);
}

// ---------------------------------------------------------------- the records

std::optional<TGameRecord> RankedDaily(const std::vector<TGameRecord>& games,
                                       const std::string& day) {
    for (const TGameRecord& r : games)
        if (r.day == day && r.dailyTry == 1) return r;
    return std::nullopt;
}

std::optional<TGameRecord> BestPractice(const std::vector<TGameRecord>& games,
                                        const std::string& day) {
    std::vector<TGameRecord> practice;
    for (const TGameRecord& r : games)
        if (r.day == day && r.dailyTry > 1) practice.push_back(r);
    if (practice.empty()) return std::nullopt;
    return BestRecords(practice, 1).front();
}

std::vector<TGameRecord> BestDailies(const std::vector<TGameRecord>& games, size_t n) {
    std::vector<TGameRecord> ranked;
    for (const TGameRecord& r : games)
        if (r.dailyTry == 1 && !r.day.empty()) ranked.push_back(r);
    return BestRecords(ranked, n);
}

int DailyStreak(const std::vector<TGameRecord>& games, const std::string& today) {
    std::set<int64_t> days;
    for (const TGameRecord& r : games)
        if (r.dailyTry == 1)
            if (const auto number = DayNumber(r.day)) days.insert(*number);
    const std::optional<int64_t> now = DayNumber(today);
    if (!now) return 0;
    int64_t day = days.count(*now) ? *now : *now - 1;
    int streak = 0;
    while (days.count(day)) ++streak, --day;
    return streak;
}

std::string DailyShareLine(const TGameRecord& record) {
    return "Quorvatide daily " + record.day + ": " + GroupedNumber(record.score);
}

// ---------------------------------------------------------------- the screen

namespace {

constexpr int kButtonHeight = 36, kRow = 26, kBestShown = 5;

// The text, or as much of its end as fits `width` after an ellipsis (a long folder's path).
std::string Fitted(const std::string& text, int width) {
    if (TextWidth(text, TextFont()) <= width) return text;
    for (size_t cut = 1; cut < text.size(); ++cut) {
        if ((static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) continue;
        const std::string tail = "..." + text.substr(cut);
        if (TextWidth(tail, TextFont()) <= width) return tail;
    }
    return {};
}

class TDailyScreen : public TMenuScreen {
public:
    explicit TDailyScreen(std::string today) : today_(std::move(today)) {}

    std::vector<TMenuButton> Buttons(TFrontEnd& front) override {
        const std::vector<TGameRecord>& games = front.Records().games;
        if (!read_) {
            TPlatform& host = front.Host();
            nextTry_ = NextDailyTry(games, host.files, ReplayFolder(host.stateDir), today_);
            read_ = true;
        }
        ranked_ = RankedDaily(games, today_);
        practice_ = BestPractice(games, today_);
        best_ = BestDailies(games, kBestShown);
        streak_ = DailyStreak(games, today_);
        // Today's ranked try to share, else the latest day's.
        shared_ = ranked_;
        if (!shared_)
            for (const TGameRecord& r : games)
                if (r.dailyTry == 1 && !r.day.empty() && (!shared_ || r.day > shared_->day))
                    shared_ = r;
        const int rows = 4 + std::max<int>(1, int(best_.size())) + int(said_.size());
        panel_ = CentredPanel(560, 84 + rows * kRow + 24 + kButtonHeight + 22);
        const int low = panel_.bottom - 22 - kButtonHeight;
        const int mid = (panel_.left + panel_.right) / 2;
        std::vector<TMenuButton> buttons;
        const auto add = [&](int left, int width, std::string text, bool enabled,
                             std::function<void()> press) {
            TMenuButton b;
            b.rect = {left, low, left + width, low + kButtonHeight};
            b.text = std::move(text);
            b.enabled = enabled;
            b.press = std::move(press);
            buttons.push_back(std::move(b));
        };
        add(mid - 250, 210, nextTry_ == 1 ? "Play today's daily" : "Practice", true, [&front] {
            PlayDaily(front, TodayUtc());
            front.CloseMenu();
        });
        add(mid - 30, 130, "Share", shared_ && !shared_->replay.empty(),
            [this, &front] { Share(front); });
        add(mid + 110, 130, "Back", true, [&front] { front.Pop(); });
        return buttons;
    }

    void Draw(TFrontEnd&, TPicture& c) override {
        look::Panel(c, panel_);
        const int mid = (panel_.left + panel_.right) / 2;
        look::CentredText(c, mid, panel_.top + 14, "Daily challenge", look::kGold, TitleFont());
        look::CentredText(c, mid, panel_.top + 16 + TitleFont().lineHeight,
                          today_ + " (UTC): one board for every player today", look::kMutedInk,
                          TextFont());
        const int left = panel_.left + 32;
        int y = panel_.top + 84;
        std::string status;
        if (ranked_)
            status = "Today's ranked score: " + GroupedNumber(ranked_->score);
        else if (nextTry_ > 1)
            status = "Today's ranked try did not reach its end";
        else
            status = "Not played yet today: your first try is the ranked one";
        if (practice_) status += "   (practice best " + GroupedNumber(practice_->score) + ")";
        look::Text(c, left, y, status, look::kInk, TextFont());
        y += kRow;
        look::Text(c, left, y,
                   streak_ == 0   ? std::string("No streak yet: a ranked try a day makes one")
                   : streak_ == 1 ? std::string("Streak: 1 day")
                                  : "Streak: " + std::to_string(streak_) + " days in a row",
                   look::kInk, TextFont());
        y += kRow + 8;
        look::Text(c, left, y, "Best daily scores (ranked tries)", look::kGold, ButtonFont());
        y += kRow;
        if (best_.empty()) {
            look::Text(c, left + 16, y, "None yet", look::kMutedInk, TextFont());
            y += kRow;
        }
        for (size_t i = 0; i < best_.size(); ++i) {
            look::Text(c, left + 16, y, Ordinal(int(i) + 1), look::kGold, TextFont());
            const std::string score = GroupedNumber(best_[i].score);
            look::Text(c, left + 150 - TextWidth(score, TextFont()), y, score, look::kInk,
                       TextFont());
            look::Text(c, left + 180, y, best_[i].day, look::kMutedInk, TextFont());
            y += kRow;
        }
        y += 8;
        for (const std::string& line : said_) {
            look::Text(c, left, y, Fitted(line, panel_.Width() - 64), look::kInk, TextFont());
            y += kRow;
        }
    }

private:
    void Share(TFrontEnd& front) {
        if (!shared_) return;
        const std::string line = DailyShareLine(*shared_);
        const std::string path = ReplayFolder(front.Host().stateDir) + shared_->replay;
        IHostWindow* window = front.Host().window;
        const bool shared = window && window->Share(line, path);
        const bool page = window && !window->CanClose();
        said_.clear();
        said_.push_back((shared && !page ? "Copied: " : "") + line);
        if (page && shared) {
            said_.push_back("Its replay is downloaded: " + shared_->replay);
        } else {
            said_.push_back("Its replay: " + shared_->replay);
            said_.push_back("in " + ReplayFolder(front.Host().stateDir));
        }
        front.Redraw();
    }

    std::string today_;
    bool read_ = false;
    int nextTry_ = 1, streak_ = 0;
    std::optional<TGameRecord> ranked_, practice_, shared_;
    std::vector<TGameRecord> best_;
    std::vector<std::string> said_;
    TRect panel_;
};

}  // namespace

std::unique_ptr<TMenuScreen> MakeDailyScreen(const std::string& today) {
    return std::make_unique<TDailyScreen>(today);
}
