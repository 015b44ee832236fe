// The digit counters: glyph layers edge to edge on white, redrawn whole on every change.
#include <gtest/gtest.h>

#include "platform/native.h"
#include "tests/harness.h"

namespace {

// Checks that `counter` shows exactly the glyphs `expected` (catalogue indices), edge to edge
// from the left, opaque, on a white background.
void ExpectGlyphs(TForm1& f, TLayeredImage& counter, std::vector<int> expected) {
    ASSERT_EQ(counter.LayerCount(), int(expected.size()));
    float x = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        const TPicture& glyph = f.Sprites[size_t(expected[i])];
        TBitmapLayer& layer = counter.Layer(int(i));
        EXPECT_TRUE(SamePixels(layer.Bitmap(), glyph)) << "glyph " << i;
        EXPECT_EQ(layer.Bitmap().DrawMode(), TDrawMode::Opaque);
        EXPECT_EQ(layer.Location(),
                  (TFloatRect{x, 0, x + float(glyph.Width()), float(glyph.Height())}));
        x += float(glyph.Width());
    }
    EXPECT_EQ(counter.UpdateCount(), 0);
}

}  // namespace

TEST(Counter, DrawsDigitsAndSlashesAndReplacesTheOldText) {
    THarness h;
    TForm1& f = h.Form();
    const int d = f.sprDigit[0];
    TLayeredImage& scrap = *f.imScrapCt;

    f.DrawCounter(scrap, "105");
    ExpectGlyphs(f, scrap, {d + 1, d + 0, d + 5});
    for (int y : {0, 19})
        for (int x : {0, 128}) EXPECT_EQ(scrap.Bitmap().Pixel(x, y), 0xFFFFFFFFu);

    f.DrawCounter(scrap, "3/8");
    ExpectGlyphs(f, scrap, {d + 3, d + 10, d + 8});

    f.DrawCounter(scrap, "1234567");
    f.DrawCounter(scrap, "9");
    ExpectGlyphs(f, scrap, {d + 9});

    f.DrawCounter(scrap, "-4");  // a minus sign never comes, but would show as a zero
    ExpectGlyphs(f, scrap, {d, d + 4});

    f.DrawCounter(scrap, "");
    ExpectGlyphs(f, scrap, {});
}

TEST(Counter, ShowsOnScreenOverThePanel) {
    THarness h;
    TForm1& f = h.Form();
    f.DrawCounter(*f.imScore, "7");
    const TPicture& frame = h.Render();
    const TPicture& seven = f.Sprites[size_t(f.sprDigit[7])];
    // imScore sits at (8, 16) in the score panel at (712, 8).
    for (int y = 0; y < seven.Height(); ++y)
        for (int x = 0; x < seven.Width(); ++x)
            ASSERT_EQ(frame.Pixel(720 + x, 24 + y) | 0xFF000000u, seven.Pixel(x, y) | 0xFF000000u)
                << x << "," << y;
    EXPECT_EQ(frame.Pixel(720 + seven.Width() + 1, 30), 0xFFFFFFFFu);  // white beyond
}

TEST(Counter, SignCounterShowsSignsAndTheLimitOfAllBots) {
    THarness h;
    TForm1& f = h.Form();
    const int d = f.sprDigit[0];
    f.NewBot();
    for (int i = 0; i < 3; ++i) f.lstSigns.push_back(std::make_unique<TSign>(*f.Playfield));
    f.DrawSignCounter();
    EXPECT_EQ(f.shownSignCount, 3);
    ExpectGlyphs(f, *f.imSignsCt, {d + 3, d + 10, d + 8});

    f.lstSigns.push_back(std::make_unique<TSign>(*f.Playfield));
    f.lstSigns.push_back(std::make_unique<TSign>(*f.Playfield));
    f.NewBot();  // a new bot raises the limit at once: 3 bots, 5 signs
    ExpectGlyphs(f, *f.imSignsCt, {d + 5, d + 10, d + 1, d + 2});
}

TEST(Hatred, PanelShowsTheLevelsPictureAndStaysCleanWithoutIt) {
    TTempAssets dir;
    dir.CopyFrom(BuildExeDir() / "Assets");
    std::filesystem::remove(dir.Assets() / "rhs2.bmp");
    THarness h(OptionsFor(dir));
    TForm1& f = h.Form();
    TPicture first;
    ASSERT_TRUE(first.LoadFromFile(NativeFiles(), f.assetDir + "rhs1.bmp"));
    EXPECT_TRUE(SamePixels(f.imHatred->Bitmap(), first));

    f.hatred = 2;  // its picture is missing: the panel shows white, not level 1
    f.SetHatred();
    EXPECT_TRUE(f.imHatred->Bitmap().Empty());
    const TPicture& frame = h.Render();
    EXPECT_EQ(frame.Pixel(712 + 40 + 50, 176 + 13 + 86), 0xFFFFFFFFu);

    f.hatred = 4;  // not a level: nothing changes
    f.SetHatred();
    EXPECT_TRUE(f.imHatred->Bitmap().Empty());
}
