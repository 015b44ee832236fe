#include "core/digest.h"

#include <cstring>
#include <string_view>

#include "core/form1.h"

namespace {

// The digest's fields. The numbers are kept for good (replays on disk hold them); a field
// whose meaning changes gets a new number and the old one is retired.
enum TFieldId : uint32_t {
    kTick = kDigestTickField,
    kNextId = 2,
    kCash = 3,
    kScore = 4,
    kHatred = 5,
    kGameOver = kDigestGameOverField,
    kMusicTrack = 7,
    kRandomSeed = 8,
    kRandomDraws = 9,
    kCreatureCount = 10,
    kBotCount = 11,
    kOrderCount = 12,
    kBoardObjectCount = 13,
    kSignCount = 14,
    kEffectCount = 15,
    kKillBeamCount = 16,
    kTurretCount = 17,
    kLogLines = 18,
    kOrbHealth = 19,
    kCreatureKills = 20,
    kTurretKills = 21,
    // Hashes of whole parts of the state.
    kCreatures = 40,
    kBots = 41,
    kOrders = 42,
    kBoardObjects = 43,
    kSigns = 44,
    kEffects = 45,
    kKillBeams = 46,
    kTurrets = 47,
    kSpawners = 48,
    kTimers = 49,
    kWindow = 50,
    kSwitches = 51,
    kSettings = 52,
    kLog = 53,
};

struct TFieldInfo {
    uint32_t id;
    const char* name;
    bool hash;  // a hash, which only says "differs", or a number worth showing
};

constexpr TFieldInfo kFields[] = {
    {kTick, "tick", false},
    {kNextId, "last object id", false},
    {kCash, "scrap", false},
    {kScore, "score", false},
    {kHatred, "hatred level", false},
    {kGameOver, "game over", false},
    {kMusicTrack, "music track", false},
    {kRandomSeed, "random seed", false},
    {kRandomDraws, "random draws", false},
    {kCreatureCount, "creatures", false},
    {kBotCount, "bots", false},
    {kOrderCount, "orders", false},
    {kBoardObjectCount, "board objects", false},
    {kSignCount, "signs", false},
    {kEffectCount, "effects", false},
    {kKillBeamCount, "kill beams", false},
    {kTurretCount, "turrets", false},
    {kLogLines, "creature log lines", false},
    {kOrbHealth, "orb health (thousandths)", false},
    {kCreatureKills, "kills by creatures", false},
    {kTurretKills, "kills by turrets", false},
    {kCreatures, "the creatures", true},
    {kBots, "the bots", true},
    {kOrders, "the order queue", true},
    {kBoardObjects, "the board objects", true},
    {kSigns, "the signs", true},
    {kEffects, "the effects", true},
    {kKillBeams, "the kill beams", true},
    {kTurrets, "the turrets", true},
    {kSpawners, "the tunnels' spawners", true},
    {kTimers, "the timers", true},
    {kWindow, "the screens and controls", true},
    {kSwitches, "the switches and cursors", true},
    {kSettings, "the settings in effect", true},
    {kLog, "the creature log", true},
};

const TFieldInfo* InfoOf(uint32_t id) {
    for (const TFieldInfo& f : kFields)
        if (f.id == id) return &f;
    return nullptr;
}

// A 64-bit running hash of whole numbers, folded to 32 bits at the end: collisions between a
// replay and a game that went astray are out of the question in practice.
class THash {
public:
    void Add(uint64_t v) {
        h_ = (h_ ^ v) * 0x9E3779B97F4A7C15ull;
        h_ ^= h_ >> 29;
    }
    void Add(int v) { Add(uint64_t(int64_t(v))); }
    void Add(bool v) { Add(uint64_t(v ? 1 : 0)); }
    void Add(double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        Add(bits);
    }
    void Add(float v) { Add(double(v)); }
    void Add(std::string_view s) {
        Add(uint64_t(s.size()));
        uint64_t word = 0;
        for (size_t i = 0; i < s.size(); ++i) {
            word = (word << 8) | uint8_t(s[i]);
            if (i % 8 == 7) Add(word), word = 0;
        }
        Add(word);
    }
    uint64_t Value() const { return uint32_t(h_ ^ (h_ >> 32)); }
    uint64_t Raw() const { return h_; }
    void SetRaw(uint64_t h) { h_ = h; }

private:
    uint64_t h_ = 0xcbf29ce484222325ull;
};

void AddLayer(THash& h, const TBitmapLayer* layer) {
    h.Add(layer != nullptr);
    if (!layer) return;
    const TFloatRect& r = layer->Location();
    h.Add(r.left), h.Add(r.top), h.Add(r.right), h.Add(r.bottom);
    h.Add(layer->Visible());
}

// Hashes every field the objects' field list names, as it names them.
struct THashFields {
    THash& h;
    void operator()(int v) { h.Add(v); }
    void operator()(bool v) { h.Add(v); }
    void operator()(float v) { h.Add(v); }
    void operator()(double v) { h.Add(v); }
    void operator()(const std::vector<int>& ids) {
        h.Add(uint64_t(ids.size()));
        for (int id : ids) h.Add(id);
    }
    void operator()(const std::unique_ptr<TOrder>& order) {
        h.Add(order != nullptr);
        if (order) VisitFields(*order, *this);
    }
    void operator()(const TLayerHandle& layer) { AddLayer(h, layer.get()); }
};

void AddOrder(THash& h, const TOrder& o) {
    VisitFields(o, THashFields{h});
}

void AddSprite(THash& h, const TSprite* s) {
    h.Add(s != nullptr);
    if (s) VisitFields(*s, THashFields{h});
}

void AddSign(THash& h, const TSign& s) {
    h.Add(true);  // as AddSprite marks a sprite that is there
    VisitFields(s, THashFields{h});
}

void AddVonkel(THash& h, const TVonkel& v) {
    h.Add(true);
    VisitFields(v, THashFields{h});
}

template <class T, class F>
uint64_t HashList(const TObjectList<T>& list, F add) {
    THash h;
    h.Add(uint64_t(list.size()));
    for (const auto& item : list) {
        h.Add(item != nullptr);
        if (item) add(h, *item);
    }
    return h.Value();
}

// Where a reference into lstEffects points: its index, or -1.
int EffectIndex(const TForm1& g, const TSprite* s) {
    for (size_t i = 0; i < g.lstEffects.size(); ++i)
        if (g.lstEffects[i].get() == s) return int(i);
    return -1;
}

void AddControls(THash& h, const TControl& c) {
    h.Add(c.Visible()), h.Add(c.Left()), h.Add(c.Top()), h.Add(c.Width()), h.Add(c.Height());
    h.Add(c.Tag), h.Add(uint64_t(c.Color()));
    h.Add(uint64_t(c.Controls().size()));
    for (const auto& child : c.Controls()) AddControls(h, *child);
}

}  // namespace

TStateDigest TStateDigester::Take(const TForm1& g) {
    TStateDigest d;
    const auto put = [&d](uint32_t id, uint64_t value) { d.fields.push_back({id, value}); };
    const auto putInt = [&put](uint32_t id, int64_t value) { put(id, uint64_t(value)); };

    putInt(kTick, g.tickCount);
    putInt(kNextId, g.nextId);
    putInt(kCash, g.cash);
    putInt(kScore, g.score);
    putInt(kHatred, g.hatred);
    putInt(kGameOver, g.gameOver);
    putInt(kMusicTrack, g.musicTrack);
    put(kRandomSeed, g.random.SeedUsed());
    put(kRandomDraws, g.random.Draws());
    put(kCreatureCount, g.lstVonkels.size());
    put(kBotCount, g.lstBots.size());
    put(kOrderCount, g.lstOrders.size());
    put(kBoardObjectCount, g.lstScrap.size());
    put(kSignCount, g.lstSigns.size());
    put(kEffectCount, g.lstEffects.size());
    put(kKillBeamCount, g.lstKillBeams.size());
    put(kTurretCount, g.lstTurrets.size());
    put(kLogLines, g.lstDebug.size());
    putInt(kOrbHealth, g.orb ? int64_t(g.orb->health * 1000) : -1);
    putInt(kCreatureKills, g.killsByCreatures);
    putInt(kTurretKills, g.killsByTurrets);

    put(kCreatures, HashList(g.lstVonkels, AddVonkel));
    put(kBots, HashList(g.lstBots, [](THash& h, const TSprite& s) { AddSprite(h, &s); }));
    put(kOrders, HashList(g.lstOrders, AddOrder));
    put(kBoardObjects, HashList(g.lstScrap, [](THash& h, const TSprite& s) { AddSprite(h, &s); }));
    put(kSigns, HashList(g.lstSigns, AddSign));
    {
        THash h;
        h.Add(HashList(g.lstEffects, [](THash& h, const TSprite& s) { AddSprite(h, &s); }));
        h.Add(EffectIndex(g, g.orb));
        put(kEffects, h.Value());
    }
    put(kKillBeams, HashList(g.lstKillBeams, [](THash& h, const TAnimKill& k) {
            h.Add(k.life);
            AddLayer(h, k.beam.get());
        }));
    put(kTurrets, HashList(g.lstTurrets, AddSign));
    {
        THash h;
        for (const TSpawner* s : {&g.spawnS, &g.spawnF, &g.spawnE}) {
            h.Add(s->kind), h.Add(s->tunnelSprite), h.Add(s->tileX), h.Add(s->tileY);
            h.Add(s->counter), h.Add(s->emergeEvery), h.Add(EffectIndex(g, s->tunnel));
        }
        put(kSpawners, h.Value());
    }
    {
        THash h;
        for (const auto& t : g.Timers()) {
            h.Add(t->Enabled()), h.Add(uint64_t(t->Interval()));
            if (t->Enabled()) h.Add(t->Due());
        }
        put(kTimers, h.Value());
    }
    {
        THash h;
        AddControls(h, g);
        h.Add(std::string_view(g.Caption()));
        put(kWindow, h.Value());
    }
    {
        THash h;
        for (uint32_t t : g.soundNextTick) h.Add(uint64_t(t));
        h.Add(g.musicOn), h.Add(g.soundOn), h.Add(g.dbgFreeze), h.Add(g.dbgInvincible);
        h.Add(g.dbgNoSpawn), h.Add(g.speechToggle), h.Add(g.menuTileX), h.Add(g.menuTileY);
        h.Add(g.shownSignCount), h.Add(g.splodeStage);
        for (const auto& tile : g.baseTiles) AddSprite(h, tile.get());
        AddSprite(h, g.cursor.get());
        AddSprite(h, g.menuCursor.get());
        AddSprite(h, g.orbMenuCursor.get());
        put(kSwitches, h.Value());
    }
    {
        THash h;
        ForEachSetting(g.settings, [&h](const TSettingKey&, auto value) { h.Add(value); });
        put(kSettings, h.Value());
    }
    {
        // The log only grows: hash what was added since the last digest onto what came before.
        THash h;
        h.SetRaw(logHash_);
        if (g.lstDebug.size() < logLines_) logLines_ = 0, h = THash();
        for (; logLines_ < g.lstDebug.size(); ++logLines_)
            h.Add(std::string_view(g.lstDebug[logLines_]));
        logHash_ = h.Raw();
        put(kLog, h.Value());
    }
    return d;
}

std::string DigestFieldName(uint32_t id) {
    if (const TFieldInfo* f = InfoOf(id)) return f->name;
    return "field " + std::to_string(id);
}

std::string DescribeDigestDifference(const TStateDigest& recorded, const TStateDigest& now) {
    std::string numbers, parts;
    for (const TDigestField& r : recorded.fields) {
        const TDigestField* n = nullptr;
        for (const TDigestField& f : now.fields)
            if (f.id == r.id) n = &f;
        if (!n || n->value == r.value) continue;
        const TFieldInfo* info = InfoOf(r.id);
        if (info && info->hash) {
            parts += (parts.empty() ? "" : ", ") + std::string(info->name);
        } else {
            if (!numbers.empty()) numbers += "; ";
            numbers += DigestFieldName(r.id) + " " + std::to_string(int64_t(r.value)) +
                       " recorded, " + std::to_string(int64_t(n->value)) + " now";
        }
    }
    if (!parts.empty()) {
        if (!numbers.empty()) numbers += "; ";
        numbers += "differing: " + parts;
    }
    return numbers;
}
