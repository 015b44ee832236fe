// The lab's players. Each looks at the game only to decide where to click; everything it does
// goes through the mouse, at window coordinates, the way a person plays.
#include <algorithm>
#include <array>
#include <random>

#include "core/form1.h"
#include "tools/balance/lab.h"

namespace {

constexpr int kBoard = 20;

// Points inside the build menu's items, in menu pixels, by the item's direction or role.
struct TPoint {
    int x, y;
};
constexpr TPoint kSignItem[4] = {{20, 35}, {60, 35}, {20, 75}, {60, 75}};  // down up left right
constexpr TPoint kGetItem = {20, 115};
// Anywhere on the orb menu buys a bot.
constexpr TPoint kOrbMenuPoint = {40, 27};
// Where a sign of each direction sends a creature: five tiles its way.
constexpr int kPush = 5;
constexpr TPoint kSignPush[4] = {{0, kPush}, {0, -kPush}, {-kPush, 0}, {kPush, 0}};

bool OnBoard(int x, int y) {
    return x >= 0 && x < kBoard && y >= 0 && y < kBoard;
}

bool MenuOpen(const TForm1& game) {
    return game.MenuImg->Visible() || game.OrbMenuImg->Visible();
}

void ClickMenu(const TForm1& game, TLabInput& input, TPoint item) {
    input.Click(game.MenuImg->Left() + item.x, game.MenuImg->Top() + item.y);
}

void BuyBot(const TForm1& game, TLabInput& input) {
    input.ClickTile(game.orb->tileX, game.orb->tileY);
    input.Click(game.OrbMenuImg->Left() + kOrbMenuPoint.x,
                game.OrbMenuImg->Top() + kOrbMenuPoint.y);
}

// ---------------------------------------------------------------- idle

// Never touches the mouse: how long does the base hold by itself?
class TIdlePlayer : public TPlayer {
public:
    void Act(const TForm1&, TLabInput&) override {}
};

// ---------------------------------------------------------------- builder

// Gathers the rocks and ruins nearest the base, buys a bot whenever the scrap is there, and
// places signs that send creatures of one kind into the path of the kind that attacks them.
// It learns the paths by watching where each kind walks.
class TBuilderPlayer : public TPlayer {
public:
    void Act(const TForm1& game, TLabInput& input) override {
        for (const auto& v : game.lstVonkels)
            if (OnBoard(v->tileX, v->tileY) && v->vonkelKind >= 0 && v->vonkelKind < 3)
                ++walked_[size_t(v->vonkelKind)][size_t(v->tileX)][size_t(v->tileY)];
        if (++ticks_ % kThinkEvery != 0 || MenuOpen(game)) return;

        // One job per bot at a time, so that a new sign is not stuck behind a long queue.
        if (OrdersOutstanding(game) < int(game.lstBots.size())) {
            // Signs first: while one may be placed and paid for, the bots keep free for it.
            if (!PlaceSign(game, input) && !SignsWanted(game)) Gather(game, input);
        }
        if (game.cash >= game.settings.BOTCOST && game.settings.BOTCOST >= 0) BuyBot(game, input);
    }

private:
    // Ticks between two looks at the board: about a person's pace.
    static constexpr int kThinkEvery = 10;
    // Ticks of watching before the first sign, so that every kind has walked its path.
    static constexpr int kWatchFirst = 400;

    static int OrdersOutstanding(const TForm1& game) {
        int n = int(game.lstOrders.size());
        for (const auto& bot : game.lstBots) n += bot->order != nullptr;
        return n;
    }

    // The kind that shoots creatures of `kind` at the current hatred level, -1 if none.
    static int AttackerOf(const TForm1& game, int kind) {
        if (game.hatred == 1) return (kind + 2) % 3;  // F shoots S, S shoots E, E shoots F
        if (game.hatred == 2) return (kind + 1) % 3;  // the other way round
        return -1;
    }

    // How much `kind` walks on and around a tile: where a creature can be shot from.
    int WalkedAround(int kind, int x, int y) const {
        int n = 0;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (OnBoard(x + dx, y + dy))
                    n += walked_[size_t(kind)][size_t(x + dx)][size_t(y + dy)];
        return n;
    }

    // Whether the build menu would take a sign on this tile: no sign within the block radius,
    // clear of the base's squares, no effect on it.
    static bool Buildable(const TForm1& game, int x, int y) {
        const int radius = game.settings.BLOCKSIGNBUILDBY;
        for (const auto& sign : game.lstSigns)
            if (std::abs(sign->tileX - x) <= std::max(radius, 0) &&
                std::abs(sign->tileY - y) <= std::max(radius, 0))
                return false;
        for (const auto& base : game.baseTiles)
            if (std::abs(base->tileX - x) <= 1 && std::abs(base->tileY - y) <= 1) return false;
        return !game.EffectAt(x, y);
    }

    static bool SignsWanted(const TForm1& game) {
        const int64_t limit = int64_t(game.lstBots.size()) * game.settings.MAX_SIGN;
        return int64_t(game.lstSigns.size()) < limit && game.cash >= game.settings.SIGNCOST;
    }

    bool PlaceSign(const TForm1& game, TLabInput& input) {
        if (ticks_ < kWatchFirst) return false;
        if (!SignsWanted(game)) return false;
        // The best tile and direction: many creatures of a kind pass it, and it sends them where
        // their attackers walk.
        int64_t best = 0;
        int bestX = 0, bestY = 0, bestDirection = 0;
        for (int x = 0; x < kBoard; ++x)
            for (int y = 0; y < kBoard; ++y) {
                if (!Buildable(game, x, y)) continue;
                for (int d = 0; d < 4; ++d) {
                    const int lx = x + kSignPush[d].x, ly = y + kSignPush[d].y;
                    if (!OnBoard(lx, ly)) continue;
                    int64_t value = 0;
                    for (int kind = 0; kind < 3; ++kind) {
                        const int attacker = AttackerOf(game, kind);
                        if (attacker < 0) continue;
                        value += int64_t(walked_[size_t(kind)][size_t(x)][size_t(y)]) *
                                 WalkedAround(attacker, lx, ly);
                    }
                    if (value > best) {
                        best = value;
                        bestX = x;
                        bestY = y;
                        bestDirection = d;
                    }
                }
            }
        if (best == 0) return false;
        input.ClickTile(bestX, bestY);
        ClickMenu(game, input, kSignItem[bestDirection]);
        return true;
    }

    void Gather(const TForm1& game, TLabInput& input) {
        const int baseX = game.orb->tileX, baseY = game.orb->tileY + 1;
        const TSprite* nearest = nullptr;
        int nearestSteps = 0;
        for (const auto& object : game.lstScrap) {
            // Half-transparent objects are marked for gathering already.
            if (!object->gatherable || object->alpha != 255) continue;
            if (!OnBoard(object->tileX, object->tileY)) continue;
            // A bot steps diagonally, so the way is as long as the longer side.
            const int steps =
                std::max(std::abs(object->tileX - baseX), std::abs(object->tileY - baseY));
            if (!nearest || steps < nearestSteps) {
                nearest = object.get();
                nearestSteps = steps;
            }
        }
        if (!nearest) return;
        input.ClickTile(nearest->tileX, nearest->tileY);
        // The orb's tile opens the orb menu instead; nothing gatherable lies there.
        if (game.MenuImg->Visible())
            ClickMenu(game, input, kGetItem);
        else if (MenuOpen(game))
            input.ClickTile(0, kBoard - 1);
    }

    int ticks_ = 0;
    std::array<std::array<std::array<int, kBoard>, kBoard>, 3> walked_{};
};

// ---------------------------------------------------------------- random

// Clicks at random over the board and both menus, now and then, with the left button mostly;
// a robustness check as much as a player.
class TRandomPlayer : public TPlayer {
public:
    explicit TRandomPlayer(uint32_t seed) : random_(seed ^ 0x9e3779b9u) {}

    void Act(const TForm1& game, TLabInput& input) override {
        if (Draw(0, 99) >= kActPercent) return;
        const TMouseButton button = Draw(0, 99) < 90 ? TMouseButton::Left : TMouseButton::Right;
        const TLayeredImage* menu = game.MenuImg->Visible()      ? game.MenuImg
                                    : game.OrbMenuImg->Visible() ? game.OrbMenuImg
                                                                 : nullptr;
        const int what = Draw(0, 99);
        if (menu && what < 70) {
            // Somewhere on the open menu, its items or its frame.
            const int x = menu->Left() + Draw(0, menu->Width() - 1);
            const int y = menu->Top() + Draw(0, menu->Height() - 1);
            if (what < 20)
                input.MouseMove(x, y);
            else
                input.Click(x, y, button);
        } else if (what < 85) {
            // Anywhere on the board (the playfield's pixels start at (9, 9)).
            const int x = 9 + Draw(0, 699), y = 9 + Draw(0, 699);
            if (what < 50)
                input.MouseMove(x, y);
            else
                input.Click(x, y, button);
        } else if (what < 95) {
            input.ClickTile(game.orb->tileX, game.orb->tileY);
        } else {
            // A press here and its release elsewhere: a drag over the board.
            input.MouseDown(9 + Draw(0, 699), 9 + Draw(0, 699), button);
            input.MouseMove(9 + Draw(0, 699), 9 + Draw(0, 699));
            input.MouseUp(9 + Draw(0, 699), 9 + Draw(0, 699), button);
        }
    }

private:
    // Percent of ticks before which the player does something.
    static constexpr int kActPercent = 25;
    // The engine's output is fixed by the standard (a distribution's is not), so the same seed
    // clicks the same everywhere.
    int Draw(int a, int b) { return a + int(random_() % uint32_t(b - a + 1)); }
    std::mt19937 random_;
};

}  // namespace

const std::vector<std::string>& PlayerNames() {
    static const std::vector<std::string> names = {"idle", "builder", "random"};
    return names;
}

std::unique_ptr<TPlayer> MakePlayer(const std::string& name, uint32_t seed) {
    if (name == "idle") return std::make_unique<TIdlePlayer>();
    if (name == "builder") return std::make_unique<TBuilderPlayer>();
    if (name == "random") return std::make_unique<TRandomPlayer>(seed);
    return nullptr;
}
