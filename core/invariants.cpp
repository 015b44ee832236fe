#include "core/invariants.h"

#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <type_traits>

#include "core/form1.h"

namespace {

// The board is 20 tiles on each side.
constexpr int kBoardTiles = 20;

std::string Say(const char* format, long a = 0, long b = 0) {
    char text[200];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// Whether a counter's glyph layers spell `text`, glyph for glyph as DrawCounter draws it.
bool CounterShows(const TForm1& game, TLayeredImage& image, const std::string& text) {
    if (image.LayerCount() != int(text.size())) return false;
    float x = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        int glyph = game.sprDigit[0];
        if (text[i] >= '0' && text[i] <= '9') glyph += text[i] - '0';
        if (text[i] == '/') glyph += 10;
        const TPicture& want = game.CataloguePicture(glyph);
        const TBitmapLayer& layer = image.Layer(int(i));
        const TPicture& got = layer.Bitmap();
        if (got.Width() != want.Width() || got.Height() != want.Height()) return false;
        if (layer.Location().left != x) return false;
        for (int py = 0; py < got.Height(); ++py)
            for (int px = 0; px < got.Width(); ++px)
                if (got.Pixel(px, py) != want.Pixel(px, py)) return false;
        x += float(want.Width());
    }
    return true;
}

class TChecker {
public:
    explicit TChecker(const TForm1& game) : game_(game) {}

    std::string Run() {
        std::string broken;
        if (!(broken = Objects()).empty()) return broken;
        if (!(broken = Layers()).empty()) return broken;
        if (!(broken = Counters()).empty()) return broken;
        return Ranges();
    }

private:
    // A sprite is alive and owned once, and its layer belongs to `image`.
    std::string Sprite(const TSprite* s, const char* what, TLayeredImage* image) {
        if (!s) return std::string("a null object in ") + what;
        if (!sprites_.insert(s).second) return std::string("an object owned twice: ") + what;
        if (!s->layer) return std::string("an object without a layer: ") + what;
        if (!layers_.insert(s->layer.get()).second)
            return std::string("a layer shared by two objects: ") + what;
        if (&s->layer->Owner() != image || image->IndexOf(*s->layer) < 0)
            return std::string("an object whose layer is not on its control: ") + what;
        // Every number of its own is a number: no position, health or the like gone NaN or
        // infinite.
        bool finite = true;
        const auto check = [&finite](const auto& field) {
            using T = std::decay_t<decltype(field)>;
            if constexpr (std::is_floating_point_v<T>) finite = finite && std::isfinite(field);
        };
        if (const auto* v = dynamic_cast<const TVonkel*>(s))
            VisitFields(*v, check);
        else
            VisitFields(*s, check);
        if (!finite) return std::string("an object with a field that is not a number: ") + what;
        return {};
    }

    template <class T>
    std::string List(const TObjectList<T>& list, const char* what, bool onBoard) {
        for (const auto& s : list) {
            std::string broken = Sprite(s.get(), what, game_.Playfield);
            if (!broken.empty()) return broken;
            if (onBoard && (s->tileX < 0 || s->tileX >= kBoardTiles || s->tileY < 0 ||
                            s->tileY >= kBoardTiles))
                return std::string("an object off the board in ") + what +
                       Say(" at %ld,%ld", s->tileX, s->tileY);
        }
        return {};
    }

    std::string Objects() {
        const TForm1& g = game_;
        std::string broken;
        for (const auto& tile : g.baseTiles)
            if (tile && !(broken = Sprite(tile.get(), "the base tiles", g.Playfield)).empty())
                return broken;
        if (g.cursor && !(broken = Sprite(g.cursor.get(), "the cursor", g.Playfield)).empty())
            return broken;
        if (g.menuCursor &&
            !(broken = Sprite(g.menuCursor.get(), "the menu cursor", g.MenuImg)).empty())
            return broken;
        if (g.orbMenuCursor &&
            !(broken = Sprite(g.orbMenuCursor.get(), "the orb menu cursor", g.OrbMenuImg)).empty())
            return broken;
        if (!(broken = List(g.lstBots, "lstBots", true)).empty()) return broken;
        // Creatures may walk off the board, and the scrap of one that falls there lies there too.
        if (!(broken = List(g.lstScrap, "lstScrap", false)).empty()) return broken;
        if (!(broken = List(g.lstSigns, "lstSigns", true)).empty()) return broken;
        if (!(broken = List(g.lstVonkels, "lstVonkels", false)).empty()) return broken;
        if (!(broken = List(g.lstTurrets, "lstTurrets", true)).empty()) return broken;
        if (!(broken = List(g.lstEffects, "lstEffects", false)).empty()) return broken;

        std::set<const TOrder*> orders;
        for (const auto& o : g.lstOrders)
            if (!o || !orders.insert(o.get()).second) return "a null or twice-owned order";
        for (const auto& bot : g.lstBots)
            if (bot->order && !orders.insert(bot->order.get()).second)
                return "a bot's order also waits in lstOrders";

        std::set<const TBitmapLayer*> beams;
        for (const auto& k : g.lstKillBeams) {
            if (!k || !k->beam) return "a null kill beam or one without a layer";
            if (&k->beam->Owner() != g.Playfield || g.Playfield->IndexOf(*k->beam) < 0)
                return "a kill beam whose layer is not on the playfield";
            beams.insert(k->beam.get());
        }
        for (const TBitmapLayer* beam : beams)
            if (!layers_.insert(beam).second) return "a kill beam's layer is also a sprite's";

        // Pointers into lstEffects: the orb and the tunnels.
        std::set<const TSprite*> effects;
        for (const auto& e : g.lstEffects) effects.insert(e.get());
        if (g.orb && !effects.count(g.orb)) return "the orb is not among the effects";
        for (const TSpawner* s : {&g.spawnS, &g.spawnF, &g.spawnE})
            if (s->tunnel && !effects.count(s->tunnel)) return "a tunnel is not among the effects";
        return {};
    }

    // Every layer of the playfield and the menus belongs to one of the objects seen.
    std::string Layers() {
        for (TLayeredImage* image : {game_.Playfield, game_.MenuImg, game_.OrbMenuImg}) {
            if (!image) return "a layered control is missing";
            for (int i = 0; i < image->LayerCount(); ++i)
                if (!layers_.count(&image->Layer(i)))
                    return Say("layer %ld of %ld left without its object", i, image->LayerCount()) +
                           " on " + image->Name();
        }
        return {};
    }

    std::string Counters() {
        const TForm1& g = game_;
        if (!CounterShows(g, *g.imScore, std::to_string(g.score)))
            return Say("the score counter does not show %ld", g.score);
        if (!CounterShows(g, *g.imScrapCt, std::to_string(g.cash)))
            return Say("the scrap counter does not show %ld", g.cash);
        const long long limit = (long long)g.lstBots.size() * g.settings.MAX_SIGN;
        if (!CounterShows(g, *g.imSignsCt,
                          std::to_string(g.shownSignCount) + "/" + std::to_string(limit)))
            return Say("the sign counter does not show %ld/%ld", g.shownSignCount, long(limit));
        return {};
    }

    std::string Ranges() {
        const TForm1& g = game_;
        if (g.hatred < 1 || g.hatred > 2) return Say("hatred level %ld", g.hatred);
        if (g.musicTrack < 0 || g.musicTrack > 4) return Say("music track %ld", g.musicTrack);
        if (g.splodeStage < 0 || g.splodeStage > 2)
            return Say("explosion stage %ld", g.splodeStage);
        if (int(g.Sprites.size()) != kCatalogueSize)
            return Say("a catalogue of %ld pictures", long(g.Sprites.size()));
        for (const auto& o : g.lstOrders)
            if (o->targetX < 0 || o->targetX >= kBoardTiles || o->targetY < 0 ||
                o->targetY >= kBoardTiles)
                return Say("an order for tile %ld,%ld", o->targetX, o->targetY);
        for (const TSpawner* s : {&g.spawnS, &g.spawnF, &g.spawnE})
            if (s->kind < 0 || s->kind > 2) return Say("a spawner of kind %ld", s->kind);
        return {};
    }

    const TForm1& game_;
    std::set<const TSprite*> sprites_;
    std::set<const TBitmapLayer*> layers_;
};

}  // namespace

std::string CheckInvariants(const TForm1& game) {
    return TChecker(game).Run();
}
