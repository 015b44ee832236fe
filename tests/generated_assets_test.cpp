// The Assets folder the build generates: the game's own loader finds every picture at its size
// with the transparency the board needs, settings.ini reads back as the defaults, and the
// generator writes the same bytes every time it runs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "core/settings.h"
#include "shell/catalogue_names.h"
#include "shell/user_files.h"
#include "tests/harness.h"

namespace {

namespace fs = std::filesystem;

const TPicture& Entry(const TForm1& f, std::string_view name) {
    return f.Sprites[size_t(CatalogueIndex(name))];
}

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Transparent(const TPicture& p, int x, int y) {
    return AlphaOf(p.Pixel(x, y)) == 0;
}

bool Opaque(const TPicture& p) {
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            if (AlphaOf(p.Pixel(x, y)) != 255) return false;
    return true;
}

}  // namespace

TEST(GeneratedAssets, CatalogueLoadsWithItsSizesAndTransparency) {
    THarness h;
    const TForm1& f = h.Form();
    ASSERT_EQ(f.Sprites.size(), kCatalogueNames.size());
    const int glyphWidth = Entry(f, "f0").Width();
    EXPECT_GE(glyphWidth, 8);
    for (std::string_view name : kCatalogueNames) {
        const TPicture& p = Entry(f, name);
        const bool glyph = name.size() <= 3 && name[0] == 'f';  // f0..f9 and fof
        EXPECT_EQ(p.Width(), glyph ? glyphWidth : 35) << name;
        EXPECT_EQ(p.Height(), glyph ? 20 : 35) << name;
    }

    // Creatures stand on their tile with its corners showing through, in every facing.
    for (const char* kind : {"SVonkel_", "FVonkel_", "EVonkel_"})
        for (const char* facing : {"D", "U", "L", "R"}) {
            const TPicture& p = Entry(f, std::string(kind) + facing);
            EXPECT_TRUE(Transparent(p, 0, 0) && Transparent(p, 34, 0) && Transparent(p, 0, 34) &&
                        Transparent(p, 34, 34))
                << kind << facing;
            EXPECT_EQ(AlphaOf(p.Pixel(17, 17)), 255) << kind << facing;
        }
    // The cursor is a frame: the tile under it shows in the middle.
    const TPicture& cursor = Entry(f, "Cursor");
    EXPECT_TRUE(Transparent(cursor, 17, 17));
    EXPECT_GT(AlphaOf(cursor.Pixel(1, 17)) + AlphaOf(cursor.Pixel(2, 17)), 0);
    // Background pieces and counter glyphs are solid; Trans is invisible; the no-build
    // marker lets the board show through.
    for (const char* name : {"Tile", "Base_Floor", "f0", "f7", "fof"})
        EXPECT_TRUE(Opaque(Entry(f, name))) << name;
    const TPicture& trans = Entry(f, "Trans");
    for (int y = 0; y < 35; ++y)
        for (int x = 0; x < 35; ++x) ASSERT_TRUE(Transparent(trans, x, y));
    const int red = AlphaOf(Entry(f, "redsquare").Pixel(17, 17));
    EXPECT_GT(red, 40);
    EXPECT_LT(red, 220);
}

TEST(GeneratedAssets, WindowPicturesHaveTheirSizes) {
    THarness h;
    TForm1& f = h.Form();
    // The build menu's icon grid (x 3 and 44, y 17, 58 and 99, 35 wide) lies inside its frame.
    EXPECT_GE(f.MenuImg->Width(), 44 + 35 + 3);
    EXPECT_GE(f.MenuImg->Height(), 99 + 35 + 3);
    EXPECT_LE(f.MenuImg->Width(), 90);
    EXPECT_LE(f.MenuImg->Height(), 145);
    EXPECT_EQ(f.MenuImg->Bitmap().Width(), f.MenuImg->Width());
    EXPECT_EQ(f.OrbMenuImg->Bitmap().Width(), 82);
    EXPECT_EQ(f.OrbMenuImg->Bitmap().Height(), 54);
    const struct {
        TImage* image;
        int w, h;
    } pictures[] = {{f.imScrap, 35, 35},   {f.imSigns, 35, 35}, {f.imSplash, 700, 700},
                    {f.imStart, 600, 600}, {f.imEnd, 550, 450}, {f.imGOTop, 700, 101},
                    {f.imGOL, 50, 499},    {f.imGOR, 50, 499},  {f.imGOBot, 700, 100}};
    for (const auto& p : pictures) {
        EXPECT_EQ(p.image->Picture().Width(), p.w) << p.image->Name();
        EXPECT_EQ(p.image->Picture().Height(), p.h) << p.image->Name();
    }
    for (const char* name : {"rhs1.bmp", "rhs2.bmp", "rhs3.bmp"}) {
        TPicture p;
        ASSERT_TRUE(p.LoadFromFile(NativeFiles(), (BuildExeDir() / "Assets" / name).string()))
            << name;
        EXPECT_EQ(p.Width(), 100);
        EXPECT_EQ(p.Height(), 172);
    }
}

TEST(GeneratedAssets, SettingsFileHoldsTheDefaultsWithAComment) {
    const fs::path path = BuildExeDir() / "Assets" / "settings.ini";
    std::istringstream text(Slurp(path));
    std::map<std::string, int> keyLines;
    std::string line, previous;
    bool section = false;
    while (std::getline(text, line)) {
        if (line == "[Settings]") section = true;
        const size_t eq = line.find('=');
        if (eq != std::string::npos && line[0] != ';') {
            EXPECT_TRUE(section) << line;
            EXPECT_EQ(previous.rfind("; ", 0), 0u) << "no comment above " << line;
            ++keyLines[line.substr(0, eq)];
        }
        previous = line;
    }
    ASSERT_EQ(int(keyLines.size()), kSettingCount);
    for (int i = 0; i < kSettingCount; ++i) EXPECT_EQ(keyLines[SettingKeys()[i].name], 1);

    // Every value reads back as its default; a file with each value changed would not.
    const TSettings read = ReadSettingsText(ReadSettingsFile(path.string())), defaults;
    for (int i = 0; i < kSettingCount; ++i) {
        const TSettingKey& key = SettingKeys()[i];
        if (key.integer)
            EXPECT_EQ(read.*key.integer, defaults.*key.integer) << key.name;
        else
            EXPECT_EQ(read.*key.real, defaults.*key.real) << key.name;
    }
}

TEST(GeneratedAssets, GeneratingAgainGivesTheSameBytes) {
    // A game's folder of its own: the lesson's demonstrations play with the pictures of the
    // Assets folder they are recorded into.
    const fs::path game =
        fs::temp_directory_path() / ("qv_assets_again_" + std::to_string(::getpid()));
    const fs::path again = game / "Assets";
    fs::remove_all(game);
    const auto quoted = [](const std::string& text) { return '"' + text + '"'; };
    const std::string command =
        quoted(QV_ASSETGEN) + ' ' + quoted(again.string()) + ' ' + quoted(QV_DEJAVU_DIR);
    ASSERT_EQ(std::system(command.c_str()), 0);
    // The lesson's demonstrations, where this build records them.
    const std::string lessonDemos = QV_LESSON_DEMOS;
    if (!lessonDemos.empty()) {
        ASSERT_EQ(std::system((quoted(lessonDemos) + ' ' + quoted(again.string())).c_str()), 0);
    }
    const fs::path built = BuildExeDir() / "Assets";
    int compared = 0;
    for (const auto& file : fs::directory_iterator(again)) {
        const fs::path other = built / file.path().filename();
        ASSERT_TRUE(fs::exists(other)) << file.path().filename();
        EXPECT_TRUE(Slurp(file.path()) == Slurp(other)) << file.path().filename() << " differs";
        ++compared;
    }
    // The build's folder holds nothing the generator does not write (the game may add debug.txt).
    for (const auto& file : fs::directory_iterator(built)) {
        if (file.path().filename() == "debug.txt") continue;
        EXPECT_TRUE(fs::exists(again / file.path().filename())) << file.path().filename();
    }
    EXPECT_GE(compared, 71 + 13 + 3 + 1 + (lessonDemos.empty() ? 0 : 8));
    fs::remove_all(game);
}

TEST(GeneratedAssets, MenuIconsSitInTheirSlotsWithoutHoles) {
    // The menus get their icons as plain copies, so wherever an icon is transparent its stored
    // colour shows: it must be the one slot colour of the menus, never black holes.
    THarness h;
    const TForm1& f = h.Form();
    const struct {
        const TPicture& menu;
        int sprite, x, y;
    } icons[] = {
        {f.MenuImg->Bitmap(), f.sprSign + 0, 3, 17},   {f.MenuImg->Bitmap(), f.sprSign + 1, 44, 17},
        {f.MenuImg->Bitmap(), f.sprSign + 2, 3, 58},   {f.MenuImg->Bitmap(), f.sprSign + 3, 44, 58},
        {f.MenuImg->Bitmap(), f.sprGet, 3, 99},        {f.MenuImg->Bitmap(), f.sprDestroy, 44, 99},
        {f.OrbMenuImg->Bitmap(), f.sprBuilder, 24, 16}};
    std::map<TColor32, int> uncovered;
    for (const auto& icon : icons) {
        const TPicture& p = f.Sprites[size_t(icon.sprite)];
        for (int y = 0; y < p.Height(); ++y)
            for (int x = 0; x < p.Width(); ++x)
                if (AlphaOf(p.Pixel(x, y)) == 0)
                    ++uncovered[icon.menu.Pixel(icon.x + x, icon.y + y) & 0xFFFFFF];
    }
    ASSERT_EQ(uncovered.size(), 1u);
    EXPECT_NE(uncovered.begin()->first, 0u);
    EXPECT_GT(uncovered.begin()->second, 7 * 4);  // at least the corners of every icon
}
