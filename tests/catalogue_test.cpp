// The sprite catalogue and the window pictures, loaded from Assets folders made by the tests.
#include <gtest/gtest.h>

#include "shell/catalogue_names.h"
#include "tests/bmp_files.h"
#include "tests/harness.h"

namespace {

std::string NameOf(int index) {
    return std::string(kCatalogueNames[size_t(index)]);
}

// A colour that tells which catalogue entry a picture was loaded for.
TColor32 Marker(int index) {
    return Color32(index, 255 - index, (index * 7) % 256);
}

void WriteCatalogue(const TTempAssets& dir, int width = 3, int height = 2) {
    for (int i = 0; i < kCatalogueSize; ++i)
        WriteFile(dir.Assets() / (NameOf(i) + ".bmp"), Bmp24(TPicture(width, height, Marker(i))));
}

}  // namespace

TEST(Catalogue, AllPicturesAtTheirIndices) {
    TTempAssets dir;
    WriteCatalogue(dir);
    THarness h(OptionsFor(dir));
    const TForm1& f = h.Form();
    ASSERT_EQ(f.Sprites.size(), size_t(kCatalogueSize));
    for (int i = 0; i < kCatalogueSize; ++i) {
        ASSERT_EQ(f.Sprites[size_t(i)].Width(), 3) << NameOf(i);
        EXPECT_EQ(f.Sprites[size_t(i)].Pixel(0, 0), Marker(i)) << NameOf(i);
    }
    const std::pair<int, int> fields[] = {
        {f.sprTile, 0},       {f.sprCursor, 1},     {f.sprBuilder, 2},  {f.sprBaseFloor, 6},
        {f.sprTurret, 7},     {f.sprSign, 8},       {f.sprCancel, 12},  {f.sprDestroy, 13},
        {f.sprGet, 14},       {f.sprScrap, 15},     {f.sprSVonkel, 16}, {f.sprFVonkel, 20},
        {f.sprEVonkel, 24},   {f.sprSTunnel, 28},   {f.sprETunnel, 29}, {f.sprFTunnel, 30},
        {f.sprTree, 31},      {f.sprRock, 33},      {f.sprRuin, 35},    {f.sprFExclaim, 36},
        {f.sprSExclaim, 39},  {f.sprEExclaim, 42},  {f.sprOrb, 45},     {f.sprSplode, 49},
        {f.sprSpeechVon, 56}, {f.sprSpeechKel, 57}, {f.sprTrans, 58},   {f.sprRedSquare, 70}};
    for (const auto& [field, index] : fields) EXPECT_EQ(field, index) << NameOf(index);
    for (int d = 0; d < 10; ++d) EXPECT_EQ(f.sprDigit[size_t(d)], 59 + d);
    EXPECT_EQ(f.sprDigit[0] + 10, 69);  // the slash
    // Without masks, 24-bit pictures are opaque.
    EXPECT_EQ(AlphaOf(f.Sprites[size_t(f.sprTurret)].Pixel(1, 1)), 255);
}

TEST(Catalogue, MissingOrBrokenFilesKeepEveryOtherIndex) {
    TTempAssets dir;
    WriteCatalogue(dir);
    std::filesystem::remove(dir.Assets() / "Cancel.bmp");
    dir.Write("Tile.bmp", "BM this is not a picture");
    dir.Write("Orb2.bmp", std::string(1000, '\xff'));
    dir.Write("TreeA.bmp", "garbage");  // a mask that cannot be read is ignored
    THarness h(OptionsFor(dir));
    const TForm1& f = h.Form();
    ASSERT_EQ(f.Sprites.size(), size_t(kCatalogueSize));
    EXPECT_TRUE(f.Sprites[0].Empty());
    EXPECT_TRUE(f.Sprites[12].Empty());
    EXPECT_TRUE(f.Sprites[46].Empty());
    EXPECT_EQ(f.sprCancel, 12);
    EXPECT_EQ(f.sprDestroy, 13);
    for (int i : {1, 13, 14, 31, 45, 47, 69, 70})
        EXPECT_EQ(f.Sprites[size_t(i)].Pixel(0, 0), Marker(i)) << NameOf(i);
}

TEST(Catalogue, NoAssetsAtAllStillGivesAWindow) {
    TTempAssets dir;
    THarness h(OptionsFor(dir));
    EXPECT_EQ(h.Form().Sprites.size(), size_t(kCatalogueSize));
    EXPECT_EQ(h.Form().MenuImg->Width(), 152);
    EXPECT_EQ(h.Form().MenuImg->Height(), 192);
    EXPECT_TRUE(h.Form().MenuImg->AutoSize);
    EXPECT_EQ(h.Form().OrbMenuImg->Width(), 82);
    EXPECT_EQ(h.Render().Width(), 903);
}

TEST(Catalogue, MasksGiveAlphaByIntensity) {
    TTempAssets dir;
    WriteCatalogue(dir);
    TPicture mask(3, 2, Color32(255, 255, 255));
    mask.SetPixel(1, 0, Color32(0, 0, 0));
    mask.SetPixel(2, 0, Color32(128, 128, 128));
    mask.SetPixel(0, 1, Color32(255, 0, 0));
    WriteFile(dir.Assets() / "TurretA.bmp", Bmp24(mask));
    WriteFile(dir.Assets() / "TileA.bmp", Bmp8(mask));
    THarness h(OptionsFor(dir));
    for (int index : {h.Form().sprTurret, h.Form().sprTile}) {
        const TPicture& p = h.Form().Sprites[size_t(index)];
        EXPECT_EQ(p.Pixel(0, 0), Marker(index) | 0xFF000000u);
        EXPECT_EQ(AlphaOf(p.Pixel(1, 0)), 0);
        EXPECT_EQ(AlphaOf(p.Pixel(2, 0)), 128);
        EXPECT_EQ(AlphaOf(p.Pixel(0, 1)), (61 * 255) >> 8);
        EXPECT_EQ(p.Pixel(1, 0) & 0xFFFFFF, Marker(index) & 0xFFFFFF);  // colour kept
    }
}

TEST(Catalogue, MenuFramesGetTheirIconsCopiedOpaque) {
    TTempAssets dir;
    WriteCatalogue(dir, 35, 35);
    // Icons whose corners are transparent: the copy replaces the frame's pixels, alpha too.
    TPicture iconMask(35, 35, Color32(255, 255, 255));
    iconMask.SetPixel(0, 0, Color32(0, 0, 0));
    for (const char* icon : {"Sign_DA.bmp", "Builder_DA.bmp"})
        WriteFile(dir.Assets() / icon, Bmp24(iconMask));
    WriteFile(dir.Assets() / "menuframe.bmp", Bmp24(TPicture(85, 140, Color32(9, 9, 9))));
    WriteFile(dir.Assets() / "orbmenuframe.bmp", Bmp24(TPicture(82, 54, Color32(8, 8, 8))));
    THarness h(OptionsFor(dir));
    const TForm1& f = h.Form();
    EXPECT_EQ(f.MenuImg->Width(), 85);
    EXPECT_EQ(f.MenuImg->Height(), 140);
    EXPECT_FALSE(f.MenuImg->AutoSize);
    const TPicture& menu = f.MenuImg->Bitmap();
    const struct {
        int sprite, x, y;
    } icons[] = {{f.sprSign, 3, 17},      {f.sprSign + 1, 44, 17}, {f.sprSign + 2, 3, 58},
                 {f.sprSign + 3, 44, 58}, {f.sprGet, 3, 99},       {f.sprDestroy, 44, 99}};
    for (const auto& icon : icons) {
        EXPECT_EQ(menu.Pixel(icon.x + 34, icon.y + 34) & 0xFFFFFF, Marker(icon.sprite) & 0xFFFFFF);
        EXPECT_EQ(menu.Pixel(icon.x - 1, icon.y), Color32(9, 9, 9));
    }
    EXPECT_EQ(menu.Pixel(3, 17), Marker(f.sprSign) & 0xFFFFFF);  // alpha 0 copied over the frame
    EXPECT_EQ(f.OrbMenuImg->Width(), 82);
    EXPECT_EQ(f.OrbMenuImg->Bitmap().Pixel(24 + 5, 16 + 5), Marker(f.sprBuilder) | 0xFF000000u);
    EXPECT_EQ(f.OrbMenuImg->Bitmap().Pixel(24, 16), Marker(f.sprBuilder) & 0xFFFFFF);
    EXPECT_EQ(f.OrbMenuImg->Bitmap().Pixel(23, 16), Color32(8, 8, 8));
}

TEST(Catalogue, WindowPicturesGoToTheirControls) {
    TTempAssets dir;
    const std::pair<const char*, TColor32> files[] = {
        {"ScrapCount.bmp", Color32(1, 0, 0)},   {"SignCount.bmp", Color32(2, 0, 0)},
        {"splash.bmp", Color32(3, 0, 0)},       {"gameoverbottom.bmp", Color32(4, 0, 0)},
        {"gameoverleft.bmp", Color32(5, 0, 0)}, {"gameovertop.bmp", Color32(6, 0, 0)},
        {"endtext.bmp", Color32(7, 0, 0)},      {"starttext.bmp", Color32(8, 0, 0)}};
    for (const auto& [name, colour] : files)
        WriteFile(dir.Assets() / name, Bmp24(TPicture(10, 20, colour)));
    THarness h(OptionsFor(dir));
    const TForm1& f = h.Form();
    const std::pair<const TImage*, TColor32> shown[] = {
        {f.imScrap, Color32(1, 0, 0)},  {f.imSigns, Color32(2, 0, 0)},
        {f.imSplash, Color32(3, 0, 0)}, {f.imGOBot, Color32(4, 0, 0)},
        {f.imGOL, Color32(5, 0, 0)},    {f.imGOR, Color32(5, 0, 0)},
        {f.imGOTop, Color32(6, 0, 0)},  {f.imEnd, Color32(7, 0, 0)},
        {f.imStart, Color32(8, 0, 0)}};
    for (const auto& [image, colour] : shown) {
        ASSERT_FALSE(image->Picture().Empty()) << image->Name();
        EXPECT_EQ(image->Picture().Pixel(0, 0), colour) << image->Name();
    }
    // The end text sizes its control to itself; the others keep their places.
    EXPECT_EQ(f.imEnd->Width(), 10);
    EXPECT_EQ(f.imEnd->Height(), 20);
    EXPECT_EQ(f.imGOR->Width(), 50);
}

TEST(Catalogue, EveryFileBrokenAtOnceStillGivesAWindow) {
    TTempAssets dir;
    const std::string whole = Bmp24(TPicture(35, 35, Color32(1, 2, 3)));
    const std::string truncated = whole.substr(0, whole.size() / 2);
    int n = 0;
    const auto broken = [&]() -> std::string {
        switch (n++ % 4) {
            case 0:
                return truncated;
            case 1:
                return "BM";
            case 2:
                return std::string(54, '\0');
            default:
                return whole.substr(0, 30);
        }
    };
    for (std::string_view name : kCatalogueNames) {
        dir.Write(std::string(name) + ".bmp", broken());
        dir.Write(std::string(name) + "A.bmp", broken());
    }
    for (const char* name :
         {"menuframe", "orbmenuframe", "ScrapCount", "SignCount", "splash", "gameoverbottom",
          "gameoverleft", "gameovertop", "endtext", "starttext", "rhs1", "rhs2", "rhs3"})
        dir.Write(std::string(name) + ".bmp", broken());
    dir.Write("settings.ini", truncated);
    THarness h(OptionsFor(dir));
    EXPECT_EQ(h.Form().Sprites.size(), size_t(kCatalogueSize));
    EXPECT_EQ(h.Form().MenuImg->Width(), 152);
    h.Form().pnlSplash->Hide();
    EXPECT_EQ(h.Render().Width(), 903);
}

// A process that makes its window again and again (the game fuzz target) may lend it the
// pictures it finished before: the next window has them, masked, without reading the files.
TEST(Catalogue, KeptPicturesServeTheNextWindowWithoutTheFiles) {
    TTempAssets dir;
    WriteCatalogue(dir);
    WriteFile(dir.Assets() / "TurretA.bmp", Bmp24(TPicture(3, 2, Color32(0x80, 0x80, 0x80))));
    dir.Write("Orb2.bmp", "broken");
    TLoadedPictures kept;
    auto options = OptionsFor(dir);
    options.pictures = &kept;
    TPicture turret;
    {
        THarness first(options);
        turret.Assign(first.Form().Sprites[size_t(first.Form().sprTurret)]);
    }
    EXPECT_EQ(kept.size(), size_t(kCatalogueSize));
    for (int i = 0; i < kCatalogueSize; ++i)
        std::filesystem::remove(dir.Assets() / (NameOf(i) + ".bmp"));
    THarness second(options);
    const TForm1& f = second.Form();
    ASSERT_EQ(f.Sprites.size(), size_t(kCatalogueSize));
    EXPECT_TRUE(SamePixels(f.Sprites[size_t(f.sprTurret)], turret));
    EXPECT_LT(AlphaOf(turret.Pixel(1, 1)), 255);
    EXPECT_EQ(f.Sprites[size_t(f.sprTile)].Pixel(0, 0), Marker(0));
    EXPECT_EQ(f.Sprites[size_t(f.sprOrb) + 1].Width(), 0);  // broken then, empty now
}
