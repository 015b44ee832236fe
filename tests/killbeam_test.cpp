// Kill beams: where they lie, which way their line runs, their colours, how long they stay,
// and alike beams sharing one layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "tests/creatures_test.h"

namespace {

// The beam as it must look: nine one-pixel lines, the line from (x1,y1) to (x2,y2) and its
// eight neighbours, each without its end point, in the pixel value `colour`, fully opaque;
// clear everywhere else.
TPicture ExpectedBeam(int w, int h, int x1, int y1, int x2, int y2, uint32_t colour) {
    TPicture p(w, h);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            p.Line(x1 + dx, y1 + dy, x2 + dx, y2 + dy, (colour & 0xFFFFFFu) | 0xFF000000u);
    return p;
}

bool OnPlayfield(TForm1& f, const TBitmapLayer* layer) {
    for (int i = 0; i < f.Playfield->LayerCount(); ++i)
        if (&f.Playfield->Layer(i) == layer) return true;
    return false;
}

const TBitmapLayer& NewestBeam(const TForm1& f) {
    return *f.lstKillBeams.back()->beam;
}

}  // namespace

TEST(KillBeam, TheLineRunsFromTheBoxsUpperLeftPartToItsLowerRightPart) {
    using TQuad = std::array<int, 4>;
    const struct {
        const char* what;
        TQuad tiles;    // shooter x, y, target x, y
        TQuad offsets;  // at the shooter's end, at the target's end
        TFloatRect box;
        TQuad line;  // from x, y to x, y inside the box
    } cases[] = {
        {"one column, target below",
         {4, 5, 4, 6},
         {17, 17, 10, 10},
         {140, 175, 175, 245},
         {17, 17, 25, 60}},
        {"one column, target above",
         {4, 6, 4, 5},
         {17, 17, 10, 10},
         {140, 175, 175, 245},
         {17, 17, 25, 60}},
        {"shooter lower left",
         {3, 6, 4, 5},
         {17, 17, 10, 10},
         {105, 175, 175, 245},
         {17, 17, 60, 60}},
        {"shooter upper right",
         {4, 5, 3, 6},
         {17, 17, 10, 10},
         {105, 175, 175, 245},
         {10, 10, 53, 53}},
        {"turret at a creature to its left",
         {10, 1, 9, 2},
         {17, 5, 17, 17},
         {315, 35, 385, 105},
         {17, 17, 53, 65}},
        {"on the same tile",
         {7, 7, 7, 7},
         {17, 17, 17, 17},
         {245, 245, 280, 280},
         {17, 17, 18, 18}},
        {"off the board", {-2, 3, -1, 3}, {17, 17, 10, 10}, {-70, 105, 0, 140}, {17, 17, 60, 25}},
    };
    TCreatureGame g;
    TForm1& f = g.f();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto [x1, y1, x2, y2] = c.tiles;
        const auto [a1, b1, a2, b2] = c.offsets;
        f.AddKillBeam(x1, y1, x2, y2, a1, b1, a2, b2, 255);
        const TBitmapLayer& beam = NewestBeam(f);
        EXPECT_EQ(beam.Location(), c.box);
        const int w = int(c.box.right - c.box.left), h = int(c.box.bottom - c.box.top);
        const auto [sx, sy, ex, ey] = c.line;
        EXPECT_TRUE(SamePixels(beam.Bitmap(), ExpectedBeam(w, h, sx, sy, ex, ey, 255)));
        EXPECT_EQ(beam.Bitmap().DrawMode(), TDrawMode::Blend);
        EXPECT_EQ(beam.Bitmap().MasterAlpha(), 255);
        EXPECT_EQ(f.lstKillBeams.back()->life, 4);
        EXPECT_EQ(f.Playfield->IndexOf(beam), f.Playfield->LayerCount() - 1) << "on top";
    }
}

TEST(KillBeam, EachShooterShootsInItsOwnColour) {
    TCreatureGame g;
    TForm1& f = g.f();
    // F at S, S at E, E at F, and a turret at a creature.
    struct {
        int kind;
        TColor32 seen;
    } shooters[] = {{0, Color32(185, 245, 120)}, {1, Color32(245, 0, 0)}, {2, Color32(75, 75, 75)}};
    for (const auto& s : shooters) {
        f.lstVonkels.clear();
        TVonkel& v = g.Place(s.kind, 4, 10);
        g.Place((s.kind + 1) % 3, 5, 10).speed = 1000000;
        v.stepTicks = 19;
        g.Tick();
        ASSERT_FALSE(f.lstKillBeams.empty()) << s.kind;
        const TPicture& beam = NewestBeam(f).Bitmap();
        EXPECT_EQ(beam.Pixel(17, 17), s.seen) << s.kind;
        EXPECT_EQ(beam.Pixel(0, 0), 0u);
    }
    TVonkel& near = g.Place(2, 9, 2);
    near.speed = 1000000;
    g.Tick();
    EXPECT_EQ(NewestBeam(f).Bitmap().Pixel(17, 5), Color32(0, 0, 255)) << "turrets shoot blue";
    // On the screen: the composed playfield shows the turret's beam over the board.
    const TPicture& frame = g.h->Render();
    const TFloatRect box = NewestBeam(f).Location();
    EXPECT_EQ(frame.Pixel(9 + int(box.left) + 17, 9 + int(box.top) + 6), Color32(0, 0, 255));
}

TEST(KillBeam, ACreaturesBeamGoesInTheThirdTickAfterTheShotATurretsInTheFourth) {
    TCreatureGame g;
    TForm1& f = g.f();
    TVonkel& v = g.Place(0, 4, 10);
    g.Place(1, 5, 10).speed = 1000000;
    v.stepTicks = 19;
    g.Tick();
    ASSERT_EQ(f.lstKillBeams.size(), 1u);
    const TAnimKill* creatureBeam = f.lstKillBeams[0].get();
    EXPECT_EQ(creatureBeam->life, 3) << "counted down once in the tick of the shot";
    const TBitmapLayer* layer = creatureBeam->beam.get();
    g.Tick();
    g.Tick();
    EXPECT_EQ(f.lstKillBeams.size(), 1u);
    g.Tick();
    EXPECT_TRUE(f.lstKillBeams.empty());
    EXPECT_FALSE(OnPlayfield(f, layer)) << "its layer went with it";

    f.lstVonkels.clear();
    g.Place(2, 9, 2).speed = 1000000;
    g.Tick();
    g.Place(2, 30, 30);  // nothing more to shoot at after this tick
    f.lstVonkels.erase(f.lstVonkels.begin());
    ASSERT_EQ(f.lstKillBeams.size(), 2u) << "two turrets reach (9,2)";
    EXPECT_EQ(f.lstKillBeams[0]->life, 4);
    for (int tick = 1; tick <= 3; ++tick) {
        g.Tick();
        EXPECT_EQ(f.lstKillBeams.size(), 2u) << tick;
    }
    g.Tick();
    EXPECT_TRUE(f.lstKillBeams.empty());
}

TEST(KillBeam, AlikeBeamsShareOneLayerThatStaysOnTopUntilTheLastGoes) {
    TCreatureGame g;
    TForm1& f = g.f();
    const int layers = f.Playfield->LayerCount();
    f.AddKillBeam(4, 4, 5, 5, 17, 17, 10, 10, 255);
    f.lstKillBeams.back()->life = 1;
    f.AddEffect(4, 4, f.sprSplode, 7, 7, 255);       // drawn above the first beam
    f.AddKillBeam(4, 4, 5, 4, 17, 17, 10, 10, 255);  // another beam
    f.AddKillBeam(4, 4, 5, 5, 17, 17, 10, 10, 255);  // alike the first
    EXPECT_EQ(f.lstKillBeams.size(), 3u);
    EXPECT_EQ(f.Playfield->LayerCount(), layers + 3) << "two beam layers and the effect";
    EXPECT_EQ(f.lstKillBeams[0]->beam, f.lstKillBeams[2]->beam);
    EXPECT_EQ(f.Playfield->IndexOf(*f.lstKillBeams[0]->beam), f.Playfield->LayerCount() - 1);
    f.UpdateEffects();  // the first goes, its layer stays for the third
    EXPECT_EQ(f.lstKillBeams.size(), 2u);
    EXPECT_EQ(f.Playfield->LayerCount(), layers + 3);
    // Another colour is another beam.
    f.AddKillBeam(4, 4, 5, 5, 17, 17, 10, 10, 254);
    EXPECT_EQ(f.Playfield->LayerCount(), layers + 4);
    for (int i = 0; i < 4; ++i) f.UpdateEffects();
    EXPECT_TRUE(f.lstKillBeams.empty());
    EXPECT_EQ(f.Playfield->LayerCount(), layers + 1) << "only the explosion is left";
    // A new game frees whatever beams are shown.
    f.AddKillBeam(4, 4, 5, 5, 17, 17, 10, 10, 255);
    f.NewGame();
    EXPECT_TRUE(f.lstKillBeams.empty());
    f.AddKillBeam(4, 4, 5, 5, 17, 17, 10, 10, 255);
    EXPECT_EQ(f.lstKillBeams.size(), 1u);
}
