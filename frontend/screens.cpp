#include "frontend/screens.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "core/form1.h"
#include "frontend/daily.h"
#include "frontend/lesson.h"
#include "frontend/look.h"
#include "frontend/plot.h"
#include "frontend/records.h"
#include "frontend/replay_summary.h"
#include "frontend/report.h"
#include "replay/replay_folder.h"
#include "toolkit/utf8_path.h"

namespace {

// The play area, whose middle the panels stand in.
constexpr TRect kPlayArea{8, 8, 708, 708};
constexpr int kButtonHeight = 36, kButtonGap = 10, kHeader = 84, kFooter = 22;

// The panel's title and, under it, a line of what is going on.
void Heading(TPicture& c, const TRect& panel, const std::string& title,
             const std::string& subtitle) {
    look::Panel(c, panel);
    const int mid = (panel.left + panel.right) / 2;
    look::CentredText(c, mid, panel.top + 14, title, look::kGold, TitleFont());
    if (!subtitle.empty())
        look::CentredText(c, mid, panel.top + 14 + TitleFont().lineHeight + 2, subtitle,
                          look::kMutedInk, TextFont());
}

// A column of buttons of one width, from `top` down.
std::vector<TMenuButton> Column(const TRect& panel, int top, int width,
                                std::vector<std::pair<std::string, std::function<void()>>> items) {
    std::vector<TMenuButton> buttons;
    const int left = (panel.left + panel.right - width) / 2;
    for (auto& [text, press] : items) {
        TMenuButton b;
        b.rect = {left, top, left + width, top + kButtonHeight};
        b.text = text;
        b.press = std::move(press);
        buttons.push_back(std::move(b));
        top += kButtonHeight + kButtonGap;
    }
    return buttons;
}

int ColumnHeight(size_t n) {
    return int(n) * kButtonHeight + (n ? int(n - 1) * kButtonGap : 0);
}

// ---------------------------------------------------------------- the menu

class TMainMenu : public TMenuScreen {
public:
    std::vector<TMenuButton> Buttons(TFrontEnd& front) override {
        std::vector<std::pair<std::string, std::function<void()>>> items;
        items.reserve(10);
        const bool going = front.GameGoingOn() || front.Watching();
        TLesson* lesson = front.Lesson();
        if (going) {
            items.emplace_back("Resume", [&front] { front.Resume(); });
            // The lesson's own: its demonstration of the step, and leaving it.
            if (lesson) {
                items.emplace_back("Show me", [&front] {
                    std::string error;
                    if (TLesson* l = front.Lesson()) l->ShowMe(error);
                });
                items.emplace_back("Skip the lesson", [&front] {
                    if (TLesson* l = front.Lesson()) l->Skip();
                    front.Resume();
                });
            }
            items.emplace_back(front.Watching() && !lesson ? "Play a game" : "New game",
                               [&front] { front.NewGame(); });
        } else {
            items.emplace_back("Play", [&front] { front.NewGame(); });
        }
        items.emplace_back("Learn to play", [&front] { front.StartLesson(); });
        items.emplace_back("Daily challenge",
                           [&front] { front.Push(MakeDailyScreen(TodayUtc())); });
        items.emplace_back("Records", [&front] { front.Push(MakeRecordsScreen()); });
        items.emplace_back("Watch a replay", [&front] { front.Push(MakeWatchScreen(front)); });
        items.emplace_back("Options", [&front] { front.Push(MakeOptionsScreen()); });
        if (front.Host().window && front.Host().window->CanClose())
            items.emplace_back("Quit", [&front] { front.Host().window->Close(); });
        panel_ = CentredPanel(320, kHeader + ColumnHeight(items.size()) + kFooter);
        return Column(panel_, panel_.top + kHeader, 256, std::move(items));
    }
    void Draw(TFrontEnd& front, TPicture& c) override {
        std::string subtitle;
        if (const TLesson* lesson = front.Lesson())
            subtitle = "The lesson waits: step " + std::to_string(lesson->Step()) + " of " +
                       std::to_string(kLessonSteps);
        else if (front.Watching())
            subtitle = "Watching a replay";
        else if (front.GameGoingOn())
            subtitle = "The game is paused";
        Heading(c, panel_, "Quorvatide", subtitle);
    }

private:
    TRect panel_;
};

// ---------------------------------------------------------------- the options

// One option's row: its name, and its value with a step down and a step up on either side.
struct TOptionRow {
    std::string name;
    std::string value;
    std::function<void(int step)> change;
    // A switch: the value itself turns it on and off; the arrows do the same.
    bool toggle = false;
    bool enabled = true;
};

std::string Percent(int value) {
    return std::to_string(value) + " %";
}

template <typename T, size_t N>
T StepIn(const T (&values)[N], T now, int step) {
    const auto it = std::find(std::begin(values), std::end(values), now);
    const int at = it == std::end(values) ? 0 : int(it - std::begin(values));
    return values[size_t(std::clamp(at + step, 0, int(N) - 1))];
}

class TOptionsScreen : public TMenuScreen {
public:
    std::vector<TMenuButton> Buttons(TFrontEnd& front) override {
        rows_ = Rows(front);
        panel_ = CentredPanel(
            520, kHeader + int(rows_.size()) * kRowHeight + 16 + kButtonHeight + kFooter);
        std::vector<TMenuButton> buttons;
        int top = panel_.top + kHeader;
        for (TOptionRow& row : rows_) {
            const int valueLeft = panel_.right - 24 - kValueWidth - 2 * kArrowWidth;
            const auto add = [&](TRect r, std::string text, int step) {
                TMenuButton b;
                b.rect = r;
                b.text = std::move(text);
                b.enabled = row.enabled;
                b.press = [&front, change = row.change, step] {
                    change(step);
                    front.OptionsChanged();
                };
                buttons.push_back(std::move(b));
            };
            const int y = top + (kRowHeight - kArrowWidth) / 2;
            add({valueLeft, y, valueLeft + kArrowWidth, y + kArrowWidth}, "<", -1);
            add({valueLeft + kArrowWidth + 4, y, valueLeft + kArrowWidth + 4 + kValueWidth - 8,
                 y + kArrowWidth},
                row.value, row.toggle ? -1 : +1);
            add({valueLeft + kArrowWidth + kValueWidth, y,
                 valueLeft + 2 * kArrowWidth + kValueWidth, y + kArrowWidth},
                ">", +1);
            top += kRowHeight;
        }
        std::vector<TMenuButton> low =
            Column({panel_.left, 0, (panel_.left + panel_.right) / 2, 0}, top + 16, 180,
                   {{"Controls", [&front] { front.Push(MakeControlsScreen()); }}});
        std::vector<TMenuButton> back =
            Column({(panel_.left + panel_.right) / 2, 0, panel_.right, 0}, top + 16, 180,
                   {{"Back", [&front] { front.Pop(); }}});
        buttons.insert(buttons.end(), low.begin(), low.end());
        buttons.insert(buttons.end(), back.begin(), back.end());
        return buttons;
    }

    void Draw(TFrontEnd& front, TPicture& c) override {
        Heading(c, panel_, "Options",
                front.SpeedPending() ? "The new speed begins with the next game"
                                     : "Kept for the next time you play");
        int top = panel_.top + kHeader;
        for (const TOptionRow& row : rows_) {
            const TColor32 ink = row.enabled ? look::kInk : look::kDisabledInk;
            look::Text(c, panel_.left + 28, top + (kRowHeight - TextFont().lineHeight) / 2,
                       row.name, ink, TextFont());
            top += kRowHeight;
        }
    }
    // A row's value in the text's face; the arrows and the buttons below in the buttons'.
    void DrawButton(TFrontEnd&, TPicture& c, const TMenuButton& b, size_t index,
                    TButtonLook look) override {
        const bool value = index < rows_.size() * 3 && index % 3 == 1;
        look::Button(c, b.rect, b.text, static_cast<look::TButtonState>(look),
                     value ? TextFont() : ButtonFont());
    }

private:
    static constexpr int kRowHeight = 40, kArrowWidth = 30, kValueWidth = 150;

    std::vector<TOptionRow> Rows(TFrontEnd& front) {
        TOptions& o = front.Options();
        std::vector<TOptionRow> rows;
        static constexpr int kVolumes[] = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
        rows.push_back({"Music volume", o.musicVolume ? Percent(o.musicVolume) : "Off",
                        [&o](int step) { o.musicVolume = StepIn(kVolumes, o.musicVolume, step); }});
        rows.push_back(
            {"Effects volume", o.effectsVolume ? Percent(o.effectsVolume) : "Off",
             [&o](int step) { o.effectsVolume = StepIn(kVolumes, o.effectsVolume, step); }});
        IHostWindow* window = front.Host().window;
        rows.push_back({"Show the game", o.fullscreen ? "Fullscreen" : "In a window",
                        [&o](int) { o.fullscreen = !o.fullscreen; }, true, window != nullptr});
        const int most = window ? window->MaxScale() : 1;
        const bool page = window && !window->CanClose();
        rows.push_back({"Window size",
                        page ? "As the page"
                             : (o.windowScale == 0 ? "Largest (" + std::to_string(most) + "x)"
                                                   : std::to_string(o.windowScale) + "x"),
                        [&o, most](int step) {
                            o.windowScale = std::clamp(o.windowScale + step, 0, std::max(1, most));
                        },
                        false, window && !page});
        rows.push_back({"Calm effects", o.calmEffects ? "On" : "Off",
                        [&o](int) { o.calmEffects = !o.calmEffects; }, true});
        rows.push_back({"Pause when the window is left", o.pauseOnFocusLoss ? "On" : "Off",
                        [&o](int) { o.pauseOnFocusLoss = !o.pauseOnFocusLoss; }, true});
        rows.push_back({"Game speed", Percent(o.gameSpeed), [&o](int step) {
                            // Down the list is slower.
                            o.gameSpeed = StepIn(kGameSpeeds, o.gameSpeed, -step);
                        }});
        return rows;
    }

    TRect panel_;
    std::vector<TOptionRow> rows_;
};

// ---------------------------------------------------------------- the controls

class TControlsScreen : public TMenuScreen {
public:
    std::vector<TMenuButton> Buttons(TFrontEnd& front) override {
        panel_ = CentredPanel(600, kHeader + kLines * kLine + 20 + kButtonHeight + kFooter);
        return Column(panel_, panel_.bottom - kFooter - kButtonHeight, 180,
                      {{"Back", [&front] { front.Pop(); }}});
    }
    void Draw(TFrontEnd&, TPicture& c) override {
        Heading(c, panel_, "Controls", "Steer the creatures: you cannot move them, only signs can");
        static const char* const kTable[kLines][2] = {
            {"Mouse", ""},
            {"Click a tile", "the build menu: a sign, or Get for scrap"},
            {"Click the orb", "the orb menu: a builder bot"},
            {"Keys", ""},
            {"P  M  S", "pause, music, sound effects"},
            {"Arrows, Enter", "a pointer tile by tile, and a click"},
            {"Esc", "this menu (or closes the game's menu)"},
            {"F11, Alt+Enter", "fullscreen and back"},
            {"Game pad", ""},
            {"D-pad, stick, A", "the pointer, and a click"},
            {"B, Start, Back", "back, this menu, music"},
            {"Watching a replay", ""},
            {"P  1-4  T", "pause, x1 to x8, take over"},
            {"Left, Right, Home, End", "10 s back and on, the start, the end"},
        };
        int y = panel_.top + kHeader;
        for (const auto& row : kTable) {
            if (!*row[1]) {
                look::Text(c, panel_.left + 30, y + 2, row[0], look::kGold, ButtonFont());
            } else {
                look::Text(c, panel_.left + 50, y + 3, row[0], look::kInk, TextFont());
                look::Text(c, panel_.left + 250, y + 3, row[1], look::kMutedInk, TextFont());
            }
            y += kLine;
        }
    }

private:
    static constexpr int kLines = 14, kLine = 22;
    TRect panel_;
};

// ---------------------------------------------------------------- the replays

class TWatchScreen : public TMenuScreen {
public:
    explicit TWatchScreen(TFrontEnd& front) {
        const std::string folder = ReplayFolder(front.Host().stateDir);
        std::error_code ec;
        if (!folder.empty())
            for (std::filesystem::directory_iterator it(Utf8Path(folder), ec), end;
                 !ec && it != end; it.increment(ec)) {
                const std::string name = PathUtf8(it->path().filename());
                if (!IsReplayFileName(name)) continue;
                TReplaySummary summary;
                if (SummariseReplay(front.Host().files, folder + name, summary)) {
                    summary.file = name;
                    replays_.push_back(std::move(summary));
                }
            }
        // Newest first, by the moments the files are named after.
        std::sort(replays_.begin(), replays_.end(),
                  [](const TReplaySummary& a, const TReplaySummary& b) { return a.file > b.file; });
    }

    std::vector<TMenuButton> Buttons(TFrontEnd& front) override {
        panel_ =
            CentredPanel(600, kHeader + kRows * (kRowHeight + 6) + 16 + kButtonHeight + kFooter);
        std::vector<TMenuButton> buttons;
        int top = panel_.top + kHeader;
        for (size_t i = page_ * kRows; i < replays_.size() && i < (page_ + 1) * kRows; ++i) {
            TMenuButton b;
            b.rect = {panel_.left + 24, top, panel_.right - 24, top + kRowHeight};
            b.press = [&front, file = replays_[i].file] {
                std::string error;
                if (front.Watch(ReplayFolder(front.Host().stateDir) + file, error))
                    front.CloseMenu();
            };
            buttons.push_back(std::move(b));
            top += kRowHeight + 6;
        }
        const int low = panel_.bottom - kFooter - kButtonHeight;
        const int mid = (panel_.left + panel_.right) / 2;
        const auto add = [&](int left, std::string text, bool enabled,
                             std::function<void()> press) {
            TMenuButton b;
            b.rect = {left, low, left + 150, low + kButtonHeight};
            b.text = std::move(text);
            b.enabled = enabled;
            b.press = std::move(press);
            buttons.push_back(std::move(b));
        };
        add(panel_.left + 24, "Newer", page_ > 0, [this, &front] {
            --page_;
            front.Redraw();
        });
        add(mid - 75, "Back", true, [&front] { front.Pop(); });
        add(panel_.right - 24 - 150, "Older", (page_ + 1) * kRows < replays_.size(),
            [this, &front] {
                ++page_;
                front.Redraw();
            });
        return buttons;
    }

    void Draw(TFrontEnd&, TPicture& c) override {
        const size_t pages = (replays_.size() + kRows - 1) / kRows;
        Heading(c, panel_, "Watch a replay",
                replays_.empty() ? "No replays yet: every game you play is kept here"
                                 : "Newest first; page " + std::to_string(page_ + 1) + " of " +
                                       std::to_string(pages));
    }
    // A replay's row: when, how long, its best score, and whether it stopped in play.
    void DrawButton(TFrontEnd&, TPicture& c, const TMenuButton& b, size_t index,
                    TButtonLook look) override {
        const size_t shown =
            std::min(kRows, replays_.size() - std::min(replays_.size(), page_ * kRows));
        if (index >= shown) {
            look::Button(c, b.rect, b.text, static_cast<look::TButtonState>(look));
            return;
        }
        const TReplaySummary& r = replays_[page_ * kRows + index];
        look::Button(c, b.rect, "", static_cast<look::TButtonState>(look));
        const int y = look::LineTopIn(b.rect, TextFont());
        look::Text(c, b.rect.left + 14, y, r.date, look::kInk, TextFont());
        look::Text(c, b.rect.left + 190, y, MinutesLong(r.lengthMs), look::kMutedInk, TextFont());
        const std::string score =
            r.gamesEnded ? "best " + look::Grouped(r.bestScore) : "no game ended";
        look::Text(c, b.rect.left + 280, y, score, look::kInk, TextFont());
        if (r.inPlay) look::Text(c, b.rect.right - 100, y, "left in play", look::kGold, TextFont());
    }

private:
    static constexpr size_t kRows = 8;
    static constexpr int kRowHeight = 38;
    std::vector<TReplaySummary> replays_;
    size_t page_ = 0;
    TRect panel_;
};

// ---------------------------------------------------------------- the records

// A record's line: its place or "Latest", score, date, length, settings and speed.
void RecordLine(TPicture& c, const TRect& r, const std::string& place, const TGameRecord& g) {
    const int y = look::LineTopIn(r, TextFont());
    look::Text(c, r.left + 12, y, place, look::kGold, TextFont());
    const std::string score = GroupedNumber(g.score);
    look::Text(c, r.left + 150 - TextWidth(score, ButtonFont()), look::LineTopIn(r, ButtonFont()),
               score, look::kInk, ButtonFont());
    look::Text(c, r.left + 172, y, g.date, look::kMutedInk, TextFont());
    look::Text(c, r.left + 318, y, MinutesLong(g.lengthMs), look::kMutedInk, TextFont());
    std::string marks;
    if (g.ownSettings) marks += "own settings";
    if (g.speed != 100) marks += (marks.empty() ? "" : ", ") + std::to_string(g.speed) + " %";
    look::Text(c, r.left + 380, y, marks, look::kMutedInk, TextFont());
}

class TRecordsScreen : public TMenuScreen {
public:
    std::vector<TMenuButton> Buttons(TFrontEnd& front) override {
        const std::vector<TGameRecord>& games = front.Records().games;
        best_ = BestRecords(games, kRecordsKept);
        latest_ = LatestRecords(games, 1);
        const int rows = int(best_.size()) + (latest_.empty() ? 0 : 1);
        panel_ = CentredPanel(
            600, kHeader + std::max(rows, 1) * (kRow + 4) + 24 + kButtonHeight + kFooter);
        std::vector<TMenuButton> buttons;
        int top = panel_.top + kHeader;
        const auto add = [&](const TGameRecord& record) {
            TMenuButton b;
            b.rect = {panel_.left + 24, top, panel_.right - 24, top + kRow};
            b.enabled = !record.replay.empty();
            b.press = [&front, record] { front.Push(MakeReportScreen(front, record)); };
            buttons.push_back(std::move(b));
            top += kRow + 4;
        };
        for (const TGameRecord& record : best_) add(record);
        latestAt_ = top + 8;
        top += 8;
        for (const TGameRecord& record : latest_) add(record);
        TMenuButton back;
        const int mid = (panel_.left + panel_.right) / 2;
        back.rect = {mid - 90, panel_.bottom - kFooter - kButtonHeight, mid + 90,
                     panel_.bottom - kFooter};
        back.text = "Back";
        back.press = [&front] { front.Pop(); };
        buttons.push_back(std::move(back));
        return buttons;
    }

    void Draw(TFrontEnd& front, TPicture& c) override {
        const size_t n = front.Records().games.size();
        Heading(c, panel_, "Records",
                n == 0   ? "No game played to its end yet"
                : n == 1 ? "1 game played to its end; the best ten keep their replays"
                         : std::to_string(n) +
                               " games played to their end; the best ten keep their replays");
    }

    void DrawButton(TFrontEnd&, TPicture& c, const TMenuButton& b, size_t index,
                    TButtonLook look) override {
        const size_t rows = best_.size() + latest_.size();
        if (index >= rows) {
            look::Button(c, b.rect, b.text, static_cast<look::TButtonState>(look));
            return;
        }
        look::Button(c, b.rect, "",
                     static_cast<look::TButtonState>(
                         look == TButtonLook::Disabled ? TButtonLook::Normal : look));
        if (index < best_.size())
            RecordLine(c, b.rect, Ordinal(int(index) + 1), best_[index]);
        else
            RecordLine(c, b.rect, "Latest", latest_[index - best_.size()]);
    }

private:
    static constexpr int kRow = 30;
    std::vector<TGameRecord> best_, latest_;
    int latestAt_ = 0;
    TRect panel_;
};

class TReportScreen : public TMenuScreen {
public:
    TReportScreen(TFrontEnd& front, const TGameRecord& record) : record_(record) {
        const std::string path = ReplayFolder(front.Host().stateDir) + record.replay;
        outcome_ = MakeReport(path, front.Host().files, front.Host().exeDir, record.game);
        if (outcome_.status == 0) plot_ = DrawReportPlot(outcome_.report, 560, 250);
    }

    std::vector<TMenuButton> Buttons(TFrontEnd& front) override {
        panel_ = CentredPanel(620, kHeader + 3 * 24 + 24 + 250 + 24 + kButtonHeight + kFooter);
        const int low = panel_.bottom - kFooter - kButtonHeight;
        const bool ok = outcome_.status == 0;
        const std::string path = ReplayFolder(front.Host().stateDir) + record_.replay;
        const uint64_t from = outcome_.report.startTime;
        std::vector<TMenuButton> buttons;
        const auto add = [&](int left, std::string text, bool enabled,
                             std::function<void()> press) {
            TMenuButton b;
            b.rect = {left, low, left + 170, low + kButtonHeight};
            b.text = std::move(text);
            b.enabled = enabled;
            b.press = std::move(press);
            buttons.push_back(std::move(b));
        };
        const int mid = (panel_.left + panel_.right) / 2;
        add(mid - 270, "Watch", ok, [&front, path, from] {
            std::string error;
            front.WatchGame(path, from, false, error);
        });
        add(mid - 85, "Take over", ok, [&front, path, from] {
            std::string error;
            front.WatchGame(path, from, true, error);
        });
        add(mid + 100, "Back", true, [&front] { front.Pop(); });
        return buttons;
    }

    void Draw(TFrontEnd&, TPicture& c) override {
        const TGameReport& r = outcome_.report;
        Heading(
            c, panel_, "Score " + GroupedNumber(record_.score),
            record_.date + "   " + MinutesLong(record_.lengthMs) +
                (record_.ownSettings ? "   own settings" : "") +
                (record_.speed != 100 ? "   speed " + std::to_string(record_.speed) + " %" : ""));
        if (outcome_.status != 0) {
            look::CentredText(c, (panel_.left + panel_.right) / 2, panel_.top + 140,
                              "The report cannot be made:", look::kInk, TextFont());
            look::CentredText(c, (panel_.left + panel_.right) / 2, panel_.top + 162,
                              outcome_.message.substr(outcome_.message.rfind(": ") + 2),
                              look::kMutedInk, TextFont());
            return;
        }
        const std::pair<std::string, std::string> facts[] = {
            {"Kills by turrets", GroupedNumber(r.killsByTurrets)},
            {"Kills by creatures", GroupedNumber(r.killsByCreatures)},
            {"Signs built", GroupedNumber(r.signsBuilt)},
            {"Bots bought", GroupedNumber(r.botsBought)},
            {"Scrap gathered", GroupedNumber(r.scrapGathered)},
            {"Scrap spent", GroupedNumber(r.scrapSpent)},
        };
        int y = panel_.top + kHeader;
        for (size_t i = 0; i < std::size(facts); ++i) {
            const int x = panel_.left + 40 + int(i % 2) * 280;
            if (i % 2 == 0 && i) y += 24;
            look::Text(c, x, y, facts[i].first, look::kMutedInk, TextFont());
            look::Text(c, x + 250 - TextWidth(facts[i].second, ButtonFont()), y - 1,
                       facts[i].second, look::kInk, ButtonFont());
        }
        y += 36;
        const int x = (panel_.left + panel_.right - plot_.Width()) / 2;
        look::Fill(c, {x - 1, y - 1, x + plot_.Width() + 1, y + plot_.Height() + 1},
                   look::kPanelInnerEdge);
        plot_.DrawTo(c, x, y, TDrawMode::Opaque);
    }

private:
    TGameRecord record_;
    TReportOutcome outcome_;
    TPicture plot_;
    TRect panel_;
};

}  // namespace

TRect CentredPanel(int width, int height) {
    const int left = (kPlayArea.left + kPlayArea.right - width) / 2;
    const int top = std::max(kPlayArea.top + 4, (kPlayArea.top + kPlayArea.bottom - height) / 2);
    return {left, top, left + width, top + height};
}

std::unique_ptr<TMenuScreen> MakeMainMenu() {
    return std::make_unique<TMainMenu>();
}

std::unique_ptr<TMenuScreen> MakeOptionsScreen() {
    return std::make_unique<TOptionsScreen>();
}

std::unique_ptr<TMenuScreen> MakeControlsScreen() {
    return std::make_unique<TControlsScreen>();
}

std::unique_ptr<TMenuScreen> MakeWatchScreen(TFrontEnd& front) {
    return std::make_unique<TWatchScreen>(front);
}

std::unique_ptr<TMenuScreen> MakeRecordsScreen() {
    return std::make_unique<TRecordsScreen>();
}

std::unique_ptr<TMenuScreen> MakeReportScreen(TFrontEnd& front, const TGameRecord& record) {
    return std::make_unique<TReportScreen>(front, record);
}
