#include "frontend/lesson.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/form1.h"
#include "frontend/look.h"
#include "frontend/screens.h"
#include "replay/playback_session.h"
#include "replay/replay_folder.h"
#include "shell/screen_name.h"
#include "toolkit/utf8_path.h"

namespace {

// The build menu's items, as the menu draws them: two columns and three rows of tile-sized
// pictures; the orb menu's one item.
constexpr int kItemColumns[2] = {3, 44};
constexpr int kItemRows[3] = {17, 58, 99};
constexpr int kOrbItemX = 24, kOrbItemY = 16;
// Where the sign and Get are in the build menu: (column, row).
constexpr int kSignItem[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
constexpr int kGetItem[2] = {0, 2};
// An object marked for gathering is shown half clear.
constexpr int kMarkedAlpha = 128;

// How long a step shows as done before the next, in ticks of the game (a paused game waits).
constexpr int kDwell[kLessonSteps + 1] = {0, 0, 0, 30, 60, 30, 30, 70, 160};

constexpr const char* kNoteLesson = "lesson";
constexpr const char* kNoteShownFrom = "lesson shown from";

TRect TileRect(const TForm1& g, TLessonTile t) {
    const TRect field = g.Playfield->BoundsInForm();
    const int left = field.left + t.x * kTileSize, top = field.top + t.y * kTileSize;
    return {left, top, left + kTileSize, top + kTileSize};
}

TRect MenuItem(const TForm1& g, int col, int row) {
    const TRect menu = g.MenuImg->BoundsInForm();
    const int left = menu.left + kItemColumns[col], top = menu.top + kItemRows[row];
    return {left, top, left + kTileSize, top + kTileSize};
}

TRect OrbItem(const TForm1& g) {
    const TRect menu = g.OrbMenuImg->BoundsInForm();
    return {menu.left + kOrbItemX, menu.top + kOrbItemY, menu.left + kOrbItemX + kTileSize,
            menu.top + kOrbItemY + kTileSize};
}

bool MenuOn(const TForm1& g, TLessonTile t) {
    return g.MenuImg->Visible() && g.menuTileX == t.x && g.menuTileY == t.y;
}

// The lesson's sign: on its tile, pointing its way; pending or built.
const TSign* LessonSign(const TForm1& g) {
    for (const auto& s : g.lstSigns)
        if (s->tileX == kLessonSignTile.x && s->tileY == kLessonSignTile.y &&
            s->kind == kLessonSignDirection)
            return s.get();
    return nullptr;
}

bool Built(const TSign& s) {
    return s.layer->Bitmap().MasterAlpha() == kBuiltSignAlpha;
}

const TSprite* LessonRock(const TForm1& g) {
    const int at = g.GatherableAt(kLessonRockTile.x, kLessonRockTile.y);
    return at < 0 ? nullptr : g.lstScrap[size_t(at)].get();
}

const char* const kKinds = "FSE";
// Who hunts whom at a hatred level: "F hunt S, S hunt E, E hunt F".
std::string Hunts(int hatred) {
    std::string s;
    for (int kind = 0; kind < 3; ++kind) {
        const int hated = hatred == 1 ? (kind + 1) % 3 : (kind + 2) % 3;
        if (kind) s += kind == 2 ? " and " : ", ";
        s += std::string(1, kKinds[kind]) + " hunt " + kKinds[hated];
    }
    return s;
}

const char* const kTitles[kLessonSteps + 1] = {
    "",
    "Open the build menu",
    "Order a sign",
    "Your bot builds it",
    "A creature is sent",
    "Gather scrap",
    "Buy a bot",
    "The cycle turns",
    "Guard the orb",
};

// ---------------------------------------------------------------- buttons of a guide

// A guide's own buttons take the left button's presses on them, and a press begun on one is
// its own until let go. True when the dispatch was the guide's.
struct TGuidePress {
    std::optional<size_t> pressed;
    bool taken = false;

    bool Handle(const TDispatch& d, const std::vector<TMenuButton>& buttons, const TRect& panel) {
        const auto at = [&]() -> std::optional<size_t> {
            for (size_t i = 0; i < buttons.size(); ++i) {
                const TRect& r = buttons[i].rect;
                if (buttons[i].enabled && d.x >= r.left && d.x < r.right && d.y >= r.top &&
                    d.y < r.bottom)
                    return i;
            }
            return std::nullopt;
        };
        const bool inPanel =
            d.x >= panel.left && d.x < panel.right && d.y >= panel.top && d.y < panel.bottom;
        switch (d.kind) {
            case TDispatch::TKind::MouseDown:
                if (taken || !inPanel) return taken;
                taken = true;
                pressed = d.button == TMouseButton::Left ? at() : std::nullopt;
                return true;
            case TDispatch::TKind::MouseUp: {
                if (!taken) return false;
                if (d.shift.left || d.shift.right || d.shift.middle) return true;
                taken = false;
                const std::optional<size_t> was = pressed;
                pressed.reset();
                if (was && was == at() && buttons[*was].press) buttons[*was].press();
                return true;
            }
            default:
                return taken;
        }
    }
};

void DrawButtons(TPicture& c, const std::vector<TMenuButton>& buttons,
                 const std::optional<size_t>& pressed) {
    for (size_t i = 0; i < buttons.size(); ++i)
        look::Button(c, buttons[i].rect, buttons[i].text,
                     pressed == i ? look::TButtonState::Pressed : look::TButtonState::Normal,
                     TextFont());
}

// ---------------------------------------------------------------- pointing

constexpr TColor32 kRingInk = Color32(255, 204, 64), kRingShade = Color32(40, 24, 0, 160);

// A ring round `r`'s middle, a little larger than the tile, `grow` pixels more.
void Ring(TPicture& c, const TRect& r, int grow) {
    const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
    const double radius = std::max(r.Width(), r.Height()) * 0.5 + 6 + grow;
    const int reach = int(radius) + 5;
    const TRect box =
        TRect{int(cx) - reach, int(cy) - reach, int(cx) + reach + 1, int(cy) + reach + 1}.Intersect(
            {0, 0, c.Width(), c.Height()});
    TColor32* bits = c.MutableBits();
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) - radius;
            // A gold band 3 pixels wide with a dark edge outside it, for light ground.
            const double band = std::fabs(d) - 1.5, shade = std::fabs(d - 2.5) - 1.0;
            TColor32& p = bits[size_t(y) * c.Width() + x];
            if (shade < 1)
                p = look::Over(kRingShade, p, std::clamp(int((1 - shade) * 255), 0, 255));
            if (band < 1) p = look::Over(kRingInk, p, std::clamp(int((1 - band) * 255), 0, 255));
        }
}

// A frame round a panel, `grow` pixels out.
void Frame(TPicture& c, const TRect& r, int grow) {
    const TRect out{r.left - 3 - grow, r.top - 3 - grow, r.right + 3 + grow, r.bottom + 3 + grow};
    look::Outline(c, {out.left - 1, out.top - 1, out.right + 1, out.bottom + 1}, 1, kRingShade);
    look::Outline(c, out, 3, kRingInk);
}

// An arrow pointing at the item `r` of the menu `menu` from outside the menu: from the left for
// an item of its left column where there is room, else from the right.
TRect Arrow(TPicture& c, const TRect& r, const TRect& menu, int nudge) {
    constexpr int kLength = 44, kHead = 14, kHalf = 11, kShaft = 4;
    const bool leftColumn = (r.left + r.right) / 2 < (menu.left + menu.right) / 2;
    const bool fromRight = !leftColumn || menu.left - 6 - kLength < 0;
    const int cy = (r.top + r.bottom) / 2;
    const int tip = !fromRight   ? r.left - 4 - nudge
                    : leftColumn ? menu.right + 2 + nudge
                                 : r.right + 4 + nudge;
    const int dir = fromRight ? 1 : -1;
    TRect drawn;
    for (int i = 0; i <= kLength; ++i) {
        const int x = tip + dir * i;
        const int half = i < kHead ? i * kHalf / kHead : kShaft;
        const TRect col{x, cy - half - 1, x + 1, cy + half + 2};
        look::Fill(c, col, kRingShade);
        look::Fill(c, {x, cy - half, x + 1, cy + half + 1}, kRingInk);
        drawn = drawn.Union(col);
    }
    return drawn;
}

TRect Grown(const TRect& r, int by) {
    return {r.left - by, r.top - by, r.right + by, r.bottom + by};
}

// How far apart two rectangles are (0 when they meet).
int Gap(const TRect& a, const TRect& b) {
    const int dx = std::max({0, b.left - a.right, a.left - b.right});
    const int dy = std::max({0, b.top - a.bottom, a.top - b.bottom});
    return std::max(dx, dy);
}

constexpr TRect kPlayArea{8, 8, 708, 708};
constexpr int kCaptionWidth = 420, kCaptionPad = 14, kCaptionButtonH = 26;

}  // namespace

// ---------------------------------------------------------------- the lesson's game

TSettings LessonSettings() {
    TSettings s;
    // The first creatures come out after 15 s of play, and half as many as in the shipped game.
    s.INITDELAY = 300;
    s.FVONKELBASEEMERGE = 160;
    s.SVONKELBASEEMERGE = 240;
    s.EVONKELBASEEMERGE = 320;
    // A base that stands through the lesson and well beyond: left alone, about six and a half
    // minutes (the shipped one falls in 45 s), and nine with a fair player (qv_balance).
    s.TURRETHEALTH = 60;
    s.BASEORBHEALTH = 90;
    s.TURRETSHOTSTRENGTH = 0.2;
    // A bot for the scrap that the first sign and the first rock leave.
    s.BOTCOST = 50;
    return s;
}

TFrontEnd::TPlayChoice LessonChoice() {
    TFrontEnd::TPlayChoice choice;
    choice.seed = kLessonSeed;
    choice.settings = LessonSettings();
    choice.notes = {{kNoteLesson, "the guided first game"}};
    return choice;
}

std::string DemonstrationFile(int step) {
    return "lesson-" + std::to_string(step) + ".qvr";
}

std::vector<std::pair<std::string, std::string>> DemonstrationNotes(int step, uint64_t fromMs) {
    return {{kNoteLesson, "demonstration of step " + std::to_string(step)},
            {kNoteShownFrom, std::to_string(fromMs) + " ms"}};
}

std::optional<TDemonstration> ReadDemonstration(const TReplayHeader& header) {
    TDemonstration demo;
    bool step = false, from = false;
    for (const auto& [name, value] : header.notes) {
        if (name == kNoteLesson &&
            std::sscanf(value.c_str(), "demonstration of step %d", &demo.step) == 1)
            step = demo.step >= 1 && demo.step <= kLessonSteps;
        unsigned long long ms = 0;
        if (name == kNoteShownFrom && std::sscanf(value.c_str(), "%llu ms", &ms) == 1)
            demo.fromMs = ms, from = true;
    }
    if (!step || !from) return std::nullopt;
    return demo;
}

// ---------------------------------------------------------------- the guide

void TLessonGuide::Begin(int step, const TForm1& game) {
    step_ = std::clamp(step, 1, kLessonSteps);
    doneAt_ = -1;
    gathered_ = turned_ = fought_ = false;
    lastHatred_ = game.hatred;
    marked_.clear();
    See(game);
}

void TLessonGuide::See(const TForm1& g) {
    // A rock marked for gathering that has gone was gathered: only a bot takes one away.
    std::vector<int> marked;
    for (const auto& object : g.lstScrap)
        if (object->gatherable && object->alpha == kMarkedAlpha) marked.push_back(object->id);
    for (const int id : marked_)
        if (std::none_of(g.lstScrap.begin(), g.lstScrap.end(),
                         [id](const auto& o) { return o->id == id; }))
            gathered_ = true;
    marked_ = std::move(marked);
    if (g.hatred != lastHatred_) turned_ = true;
    lastHatred_ = g.hatred;
    for (const auto& v : g.lstVonkels)
        for (const auto& t : g.lstTurrets)
            if (TForm1::Adjacent(*t, *v)) fought_ = true;
}

bool TLessonGuide::Reached(int step, const TForm1& g) const {
    const TSign* sign = LessonSign(g);
    switch (step) {
        case 1:
            return MenuOn(g, kLessonSignTile) || sign;
        case 2:
            return sign;
        case 3:
            return sign && Built(*sign);
        case 4:
            return sign && Built(*sign) && !sign->seenVonkels.empty();
        case 5:
            return gathered_ || !LessonRock(g);
        case 6:
            return g.lstBots.size() >= 2;
        case 7:
            return turned_ || g.hatred != 1;
        case 8:
            return fought_ || g.lstTurrets.size() < 4 ||
                   std::any_of(g.lstTurrets.begin(), g.lstTurrets.end(),
                               [&g](const auto& t) { return t->health < g.settings.TURRETHEALTH; });
        default:
            return false;
    }
}

bool TLessonGuide::Follow(const TForm1& g) {
    See(g);
    const int before = step_;
    while (!Finished()) {
        if (doneAt_ < 0) {
            // The menu closed with no sign ordered: open it again.
            if (step_ == 2 && !Reached(1, g)) step_ = 1;
            if (!Reached(step_, g)) break;
            doneAt_ = g.tickCount;
        }
        if (g.tickCount - doneAt_ < kDwell[step_]) break;
        ++step_;
        doneAt_ = -1;
    }
    return step_ != before;
}

TLessonView TLessonGuide::View(const TForm1& g) const {
    TLessonView v;
    const int step = std::min(step_, kLessonSteps);
    v.title = kTitles[step];
    v.done = StepDone();
    const TRect signTile = TileRect(g, kLessonSignTile);
    const TRect orbTile = g.orb ? TileRect(g, {g.orb->tileX, g.orb->tileY}) : TRect{};
    auto& l = v.lines;
    switch (step) {
        case 1: {
            v.rings.push_back(signTile);
            const int there = g.SignAt(kLessonSignTile.x, kLessonSignTile.y);
            if (g.MenuImg->Visible() && !MenuOn(g, kLessonSignTile)) {
                l = {"That menu is open on another tile. Click the board",
                     "to close it, then click the ringed tile."};
            } else if (there >= 0) {
                l = {"That sign points another way. Open the menu on it",
                     "and choose Destroy (bottom right); once your bot",
                     "has taken it away, order the sign pointing left."};
            } else {
                l = {"You cannot move the creatures: only signs steer them.",
                     "Click the ringed tile to open the build menu there."};
            }
            break;
        }
        case 2:
            if (MenuOn(g, kLessonSignTile))
                v.item = MenuItem(g, kSignItem[kLessonSignDirection][0],
                                  kSignItem[kLessonSignDirection][1]);
            else
                v.rings.push_back(signTile);
            l = {"Choose the arrow pointing left. A sign sends every",
                 "creature that steps on it five tiles its way.",
                 "It costs " + std::to_string(g.settings.SIGNCOST) + " scrap."};
            break;
        case 3:
            v.rings.push_back(signTile);
            l = v.done
                    ? std::vector<std::string>{"Built: from now on it steers."}
                    : std::vector<std::string>{"The faint sign is only an order: your builder bot",
                                               "walks out and builds it. Only built signs steer."};
            break;
        case 4:
            v.rings.push_back(signTile);
            v.frames.push_back(g.pnlHated->BoundsInForm());
            l = v.done
                    ? std::vector<std::string>{"Sent left! It looks round, then heads for the",
                                               "orb, firing at every S creature next to it."}
                    : std::vector<std::string>{"F creatures come up this side. The sign sends them",
                                               "left, into the S creatures, whom F hate. The panel",
                                               "shows who attacks whom: wait for the next F."};
            break;
        case 5: {
            const TSprite* rock = LessonRock(g);
            if (MenuOn(g, kLessonRockTile)) {
                v.item = MenuItem(g, kGetItem[0], kGetItem[1]);
                l = {"Choose Get, bottom left: a bot gathers the rock."};
            } else if (v.done) {
                l = {std::to_string(g.settings.GATHER_SCRAP) + " scrap more. Killed creatures",
                     "sometimes leave scrap too: gather it the same way."};
            } else if (rock && rock->alpha == kMarkedAlpha) {
                v.rings.push_back(TileRect(g, kLessonRockTile));
                l = {"Your bot walks over and gathers it, for " +
                     std::to_string(g.settings.GATHER_SCRAP) + " scrap."};
            } else {
                v.rings.push_back(TileRect(g, kLessonRockTile));
                l = {"Signs and bots cost scrap. Click the ringed rock",
                     "and choose Get: a bot gathers it."};
            }
            break;
        }
        case 6: {
            const std::string cost = std::to_string(g.settings.BOTCOST);
            if (g.OrbMenuImg->Visible()) {
                v.item = OrbItem(g);
                l = {"Click the bot to buy it."};
            } else if (v.done) {
                l = {"A second bot: your bots build faster now, and",
                     std::to_string(int(g.lstBots.size()) * g.settings.MAX_SIGN) +
                         " signs may stand."};
            } else if (g.cash < g.settings.BOTCOST) {
                v.rings.push_back(orbTile);
                l = {"A bot costs " + cost + " scrap and you have " + std::to_string(g.cash) + ".",
                     "Gather more: click a rock or a ruin and choose Get."};
            } else {
                v.rings.push_back(orbTile);
                l = {"Each bot builds and gathers, and lets you keep more",
                     "signs. Click the orb to buy one for " + cost + " scrap."};
            }
            break;
        }
        case 7: {
            v.frames.push_back(g.pnlHated->BoundsInForm());
            if (v.done) {
                l = {"Turned round: now " + Hunts(g.hatred) + ".",
                     "Steer each kind into the one it hunts."};
            } else if (g.spHatred->Visible()) {
                l = {"There: the red frame. The cycle turns round now."};
            } else {
                l = {"Now and then a red frame flashes round the panel",
                     "and the cycle turns round: each kind then hunts", "another."};
                if (g.tmrRHS->Enabled() && g.tmrTick->Enabled()) {
                    const int64_t ms =
                        int64_t(g.tmrRHS->Due()) - int64_t(g.tmrTick->Due()) + 50 + 750;
                    l.back() += " It turns in about " +
                                std::to_string(std::max<int64_t>(1, (ms + 999) / 1000)) + " s.";
                }
            }
            break;
        }
        default: {
            for (const auto& t : g.lstTurrets) v.rings.push_back(TileRect(g, {t->tileX, t->tileY}));
            v.rings.push_back(orbTile);
            l = {"Turrets shoot every creature next to them. Once no",
                 "turret stands, the creatures shoot the orb; when it",
                 "falls, the game is over. Steer well, and guard it!"};
            break;
        }
    }
    return v;
}

// ---------------------------------------------------------------- the lesson in the front end

namespace {

TPlaybackSession* PlaybackIn(TFrontEnd& front) {
    return dynamic_cast<TPlaybackSession*>(&front.Playing());
}

}  // namespace

TLesson::TLesson(TFrontEnd& front) : front_(front) {}

void TLesson::Start() {
    front_.GuideMakesNext();
    front_.Play(LessonChoice());
    // Past the title screen, as the player's click would be.
    front_.NewGame();
    demonstration_ = false;
    if (const TForm1* game = front_.Game()) guide_.Begin(1, *game);
    Reached(1);
}

void TLesson::Reached(int step) {
    TOptions& o = front_.Options();
    if (o.lessonStep == step) return;
    o.lessonStep = step;
    front_.WriteOptionsFile();
}

bool TLesson::ShowingDemonstration() {
    return demonstration_ && front_.Watching();
}

bool TLesson::ShowMe(std::string& error, int step) {
    if (step < 1 || step > kLessonSteps) step = std::min(guide_.Step(), kLessonSteps);
    const std::string path = TForm1::AssetDirOf(front_.Host().exeDir) + DemonstrationFile(step);
    // The game the menu paused goes on for the moment it has left, as New game leaves it.
    front_.CloseMenu();
    front_.GuideMakesNext();
    if (!front_.Watch(path, error)) {
        front_.GuideMakesNext(false);
        std::fprintf(stderr, "quorvatide: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    TPlaybackSession* playback = PlaybackIn(front_);
    if (!playback) return false;
    const std::optional<TDemonstration> demo = ReadDemonstration(playback->Player().Header());
    playback->Seek(playback->Player().FirstTime() + (demo ? demo->fromMs : 0));
    demonstration_ = true;
    if (const TForm1* game = front_.Game()) guide_.Begin(step, *game);
    front_.CloseMenu();
    return true;
}

void TLesson::TakeOver() {
    TPlaybackSession* playback = PlaybackIn(front_);
    if (playback && !playback->Live()) playback->TakeOver();
}

void TLesson::Skip() {
    if (ShowingDemonstration()) TakeOver();
    Reached(Step());
    front_.EndGuide();
}

void TLesson::Finish() {
    TOptions& o = front_.Options();
    o.lessonDone = true;
    o.lessonStep = kLessonSteps;
    front_.WriteOptionsFile();
    front_.OpenScreen(MakeLessonEndScreen());
    front_.EndGuide();
}

void TLesson::Follow() {
    const TForm1* game = front_.Game();
    if (!game) return;
    const bool watching = ShowingDemonstration();
    // The orb fell: the lesson ends with its game.
    if (game->gameOver && !watching) return front_.EndGuide();
    if (std::strcmp(ScreenName(*game), "splash") == 0) return;
    guide_.Follow(*game);
    if (watching) return;
    if (guide_.Finished()) return Finish();
    Reached(guide_.Step());
}

bool TLesson::TakesInput() {
    // Over a demonstration the host's pointer drives too: its confirm takes the game over.
    return ShowingDemonstration();
}

TRect TLesson::Caption() {
    const TForm1* game = front_.Game();
    if (!game) return {};
    const TLessonView v = guide_.View(*game);
    const int lines = int(v.lines.size()) + (ShowingDemonstration() ? 1 : 0);
    const int height = kCaptionPad + ButtonFont().lineHeight + 6 + lines * TextFont().lineHeight +
                       10 + kCaptionButtonH + kCaptionPad;
    // What it must not cover: what it points at, and the menus open on the board.
    std::vector<TRect> avoid = v.rings;
    avoid.insert(avoid.end(), v.frames.begin(), v.frames.end());
    // An open menu, and the arrow on either side of it.
    for (const TLayeredImage* menu : {game->MenuImg, game->OrbMenuImg})
        if (menu->Visible()) {
            const TRect m = menu->BoundsInForm();
            avoid.push_back(v.item ? TRect{m.left - 56, m.top, m.right + 56, m.bottom} : m);
        }
    const int m = 10;
    const TRect corners[] = {
        {kPlayArea.left + m, kPlayArea.bottom - m - height, kPlayArea.left + m + kCaptionWidth,
         kPlayArea.bottom - m},
        {kPlayArea.right - m - kCaptionWidth, kPlayArea.bottom - m - height, kPlayArea.right - m,
         kPlayArea.bottom - m},
        {kPlayArea.left + m, kPlayArea.top + m, kPlayArea.left + m + kCaptionWidth,
         kPlayArea.top + m + height},
        {kPlayArea.right - m - kCaptionWidth, kPlayArea.top + m, kPlayArea.right - m,
         kPlayArea.top + m + height},
    };
    const auto clearance = [&](const TRect& r) {
        int least = 1 << 20;
        for (const TRect& a : avoid) least = std::min(least, Gap(r, Grown(a, 8)));
        return least;
    };
    // The first corner well clear of it all, or the clearest.
    const TRect* best = &corners[0];
    for (const TRect& r : corners) {
        if (clearance(r) >= 24) return r;
        if (clearance(r) > clearance(*best)) best = &r;
    }
    return *best;
}

std::vector<TMenuButton> TLesson::Buttons() {
    const TRect r = Caption();
    const int w = 96, top = r.bottom - kCaptionPad - kCaptionButtonH;
    std::vector<TMenuButton> buttons(2);
    buttons[0].rect = {r.right - kCaptionPad - 2 * w - 8, top, r.right - kCaptionPad - w - 8,
                       top + kCaptionButtonH};
    buttons[1].rect = {r.right - kCaptionPad - w, top, r.right - kCaptionPad,
                       top + kCaptionButtonH};
    if (ShowingDemonstration()) {
        buttons[0].text = "Take over";
        buttons[0].press = [this] { TakeOver(); };
    } else {
        buttons[0].text = "Show me";
        buttons[0].press = [this] {
            std::string error;
            ShowMe(error);
        };
    }
    buttons[1].text = "Skip";
    buttons[1].press = [this] { Skip(); };
    return buttons;
}

bool TLesson::Press(const TDispatch& d) {
    TGuidePress state{pressed_, pressTaken_};
    const std::vector<TMenuButton> buttons = Buttons();
    bool taken = state.Handle(d, buttons, Caption());
    // Over a demonstration a click anywhere else takes it over.
    if (!taken && ShowingDemonstration() && d.kind == TDispatch::TKind::MouseDown &&
        d.button == TMouseButton::Left) {
        state.taken = true;
        taken = true;
        TakeOver();
    }
    pressed_ = state.pressed;
    pressTaken_ = state.taken;
    return taken;
}

std::string TLesson::Look() {
    const TForm1* game = front_.Game();
    if (!game) return {};
    const TLessonView v = guide_.View(*game);
    std::string look = std::to_string(guide_.Step()) + (v.done ? "d" : "") +
                       (ShowingDemonstration() ? "w" : "") + std::to_string(pressed_.value_or(9));
    for (const std::string& line : v.lines) look += line;
    for (const TRect& r : v.rings) look += std::to_string(r.left) + "," + std::to_string(r.top);
    if (v.item) look += "i" + std::to_string(v.item->left) + "," + std::to_string(v.item->top);
    // The rings and the arrow pulse with the game's ticks (and rest while it is paused).
    look += "p" + std::to_string(game->tickCount / 3 % 6);
    return look;
}

void TLesson::Draw(TPicture& c, TOverlay& overlay) {
    const TForm1* game = front_.Game();
    if (!game || std::strcmp(ScreenName(*game), "splash") == 0) return;
    const TLessonView v = guide_.View(*game);
    const int phase = game->tickCount / 3 % 6;
    const int grow = phase < 3 ? phase : 6 - phase;
    {
        for (const TRect& r : v.rings) {
            Ring(c, r, grow);
            overlay.Drawn(Grown(r, 20));
        }
        for (const TRect& r : v.frames) {
            Frame(c, r, grow);
            overlay.Drawn(Grown(r, 8));
        }
        if (v.item) {
            look::Outline(c, Grown(*v.item, 2), 2, kRingInk);
            overlay.Drawn(Grown(*v.item, 2));
            const TLayeredImage* menu = game->MenuImg->Visible() ? game->MenuImg : game->OrbMenuImg;
            overlay.Drawn(Arrow(c, *v.item, menu->BoundsInForm(), grow));
        }
    }
    const TRect r = Caption();
    look::Panel(c, r);
    int y = r.top + kCaptionPad;
    const int step = std::min(guide_.Step(), kLessonSteps);
    const std::string title = (ShowingDemonstration() ? "Shown: "
                                                      : "Step " + std::to_string(step) + " of " +
                                                            std::to_string(kLessonSteps) + ": ") +
                              v.title;
    const int w = look::Text(c, r.left + kCaptionPad, y, title, look::kGold, ButtonFont());
    if (v.done)
        look::Text(c, r.left + kCaptionPad + w + 10, y, "Done", Color32(120, 220, 120),
                   ButtonFont());
    y += ButtonFont().lineHeight + 6;
    for (const std::string& line : v.lines) {
        look::Text(c, r.left + kCaptionPad, y, line, look::kInk, TextFont());
        y += TextFont().lineHeight;
    }
    if (ShowingDemonstration()) {
        look::Text(c, r.left + kCaptionPad, y, "T, a click or A takes it over: play on from there.",
                   look::kGold, TextFont());
    }
    const std::vector<TMenuButton> buttons = Buttons();
    look::Text(c, r.left + kCaptionPad, look::LineTopIn(buttons[0].rect, TextFont()),
               ShowingDemonstration() ? "1-4: its speed" : "Esc: the menu", look::kMutedInk,
               TextFont());
    DrawButtons(c, buttons, pressed_);
    overlay.Drawn(r);
}

// ---------------------------------------------------------------- the welcome

TRect TWelcome::Panel() {
    return {712, 510, 897, 707};
}

std::vector<TMenuButton> TWelcome::Buttons() {
    const TRect p = Panel();
    std::vector<TMenuButton> b(2);
    b[0].rect = {p.left + 10, p.top + 86, p.right - 10, p.top + 86 + 32};
    b[0].text = "Learn to play";
    b[0].press = [this] { front_.StartLesson(); };
    b[1].rect = {p.left + 10, p.top + 126, p.right - 10, p.top + 126 + 32};
    b[1].text = "Play";
    b[1].press = [this] {
        front_.EndGuide();
        front_.NewGame();
    };
    return b;
}

void TWelcome::Follow() {
    const TForm1* game = front_.Game();
    if (!game || std::strcmp(ScreenName(*game), "splash") != 0) front_.EndGuide();
}

void TWelcome::Draw(TPicture& c, TOverlay& overlay) {
    const TRect p = Panel();
    look::Panel(c, p);
    const int mid = (p.left + p.right) / 2;
    look::CentredText(c, mid, p.top + 12, "Welcome!", look::kGold, ButtonFont());
    look::CentredText(c, mid, p.top + 38, "New here? A guided", look::kInk, TextFont());
    look::CentredText(c, mid, p.top + 38 + TextFont().lineHeight, "first game, 3 minutes.",
                      look::kInk, TextFont());
    const std::vector<TMenuButton> buttons = Buttons();
    for (size_t i = 0; i < buttons.size(); ++i)
        look::Button(c, buttons[i].rect, buttons[i].text,
                     pressed_ == i ? look::TButtonState::Pressed : look::TButtonState::Normal);
    look::CentredText(c, mid, p.bottom - 8 - TextFont().lineHeight, "Both are in the menu too",
                      look::kMutedInk, TextFont());
    overlay.Drawn(p);
}

std::string TWelcome::Look() {
    return "welcome" + std::to_string(pressed_.value_or(9));
}

bool TWelcome::Press(const TDispatch& d) {
    TGuidePress state{pressed_, pressTaken_};
    const bool taken = state.Handle(d, Buttons(), Panel());
    pressed_ = state.pressed;
    pressTaken_ = state.taken;
    return taken;
}

bool FirstStart(TFrontEnd& front) {
    if (!front.Records().games.empty()) return false;
    const std::string folder = ReplayFolder(front.Host().stateDir);
    if (folder.empty()) return false;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(Utf8Path(folder), ec), end; !ec && it != end;
         it.increment(ec))
        if (IsReplayFileName(PathUtf8(it->path().filename()))) return false;
    return true;
}

// ---------------------------------------------------------------- the end

namespace {

class TLessonEndScreen : public TMenuScreen {
public:
    std::vector<TMenuButton> Buttons(TFrontEnd& front) override {
        panel_ = CentredPanel(460, 84 + 4 * TextFont().lineHeight + 24 + 36 + 22);
        const int top = panel_.bottom - 22 - 36, mid = (panel_.left + panel_.right) / 2;
        std::vector<TMenuButton> b(2);
        b[0].rect = {mid - 190, top, mid - 10, top + 36};
        b[0].text = "Play on";
        b[0].press = [&front] { front.Resume(); };
        b[1].rect = {mid + 10, top, mid + 190, top + 36};
        b[1].text = "New game";
        b[1].press = [&front] {
            front.Play();
            front.CloseMenu();
        };
        return b;
    }
    void Draw(TFrontEnd&, TPicture& c) override {
        look::Panel(c, panel_);
        const int mid = (panel_.left + panel_.right) / 2;
        look::CentredText(c, mid, panel_.top + 14, "Well done", look::kGold, TitleFont());
        const char* const lines[] = {
            "Signs steer the creatures into the kind they hunt,",
            "bots build the signs and gather scrap, and the cycle",
            "turns round now and then. Keep the orb standing!",
            "Learn to play is in the menu whenever you want it.",
        };
        int y = panel_.top + 14 + TitleFont().lineHeight + 12;
        for (const char* line : lines) {
            look::CentredText(c, mid, y, line, look::kInk, TextFont());
            y += TextFont().lineHeight;
        }
    }
    // Escape plays on.
    void Back(TFrontEnd& front) override { front.Resume(); }

private:
    TRect panel_;
};

}  // namespace

std::unique_ptr<TMenuScreen> MakeLessonEndScreen() {
    return std::make_unique<TLessonEndScreen>();
}
