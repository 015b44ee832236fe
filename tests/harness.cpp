#include "tests/harness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/sdl/sdl_bmp.h"

namespace fs = std::filesystem;

// ---------------------------------------------------------------- TTempAssets

fs::path FreshTempFolder(const std::string& prefix) {
    static std::mt19937_64 names{std::random_device{}()};
    for (int attempt = 0;; ++attempt) {
        char number[20];
        std::snprintf(number, sizeof number, "%016llx", static_cast<unsigned long long>(names()));
        const fs::path folder = fs::temp_directory_path() / (prefix + number);
        std::error_code ec;
        if (fs::create_directory(folder, ec)) return folder;
        if (attempt > 100) std::abort();
    }
}

TTempAssets::TTempAssets() {
    exeDir_ = FreshTempFolder("quorvatide-test-");
    fs::create_directories(Assets());
}

TTempAssets::~TTempAssets() {
    std::error_code ec;
    fs::remove_all(exeDir_, ec);
}

void TTempAssets::Write(const std::string& name, const std::string& content) const {
    // A linked file is replaced, never written through.
    fs::remove(Assets() / name);
    std::ofstream(Assets() / name, std::ios::binary) << content;
}

void TTempAssets::LinkFrom(const fs::path& from) const {
    for (const auto& entry : fs::directory_iterator(from))
        if (entry.is_regular_file()) {
            // Windows makes symbolic links only with a right that players lack: there a hard
            // link, else a copy.
            const fs::path to = Assets() / entry.path().filename();
            std::error_code ec;
            fs::create_symlink(fs::absolute(entry.path()), to, ec);
            if (ec) fs::create_hard_link(entry.path(), to, ec);
            if (ec) fs::copy_file(entry.path(), to, fs::copy_options::overwrite_existing);
        }
}

THarnessOptions TTempAssets::WithSettings(const std::string& settings) const {
    LinkFrom(BuildExeDir() / "Assets");
    Write("settings.ini", "[Settings]\n" + settings);
    return OptionsFor(*this);
}

void TTempAssets::CopyFrom(const fs::path& from) const {
    for (const auto& entry : fs::directory_iterator(from))
        if (entry.is_regular_file())
            fs::copy_file(entry.path(), Assets() / entry.path().filename(),
                          fs::copy_options::overwrite_existing);
}

// ---------------------------------------------------------------- THarness

THarnessOptions OptionsFor(const TTempAssets& dir) {
    THarnessOptions o;
    o.exeDir = dir.ExeDir();
    return o;
}

TVonkel& PlaceVonkel(TForm1& f, int kind, int x, int y) {
    TSpawner spawner;
    spawner.kind = kind;
    spawner.tunnelSprite = f.sprTrans;  // nothing to stamp into the background
    spawner.tileX = x;
    spawner.tileY = y + 1;
    spawner.emergeEvery = 0;
    f.SpawnFrom(spawner);
    TVonkel& v = *f.lstVonkels.back();
    v.forceY = 0;
    v.destX = x;
    v.destY = y;
    return v;
}

std::string ReadSettingsFile(const std::string& path) {
    return NativeFiles().Read(path, kMaxSettingsBytes).value_or("");
}

TSettings ReadSettingsAt(const std::string& path) {
    return ReadSettingsText(ReadSettingsFile(path));
}

fs::path BuildExeDir() {
    return QV_BUILD_DIR;
}

namespace {

// In the build's folder unless told otherwise, reading pictures as the window does.
THarnessOptions InBuildByDefault(THarnessOptions options) {
    if (options.exeDir.empty()) options.exeDir = BuildExeDir();
    if (!options.files) options.files = &SdlFiles();
    return options;
}

}  // namespace

THarness::THarness(THarnessOptions options) : THeadlessGame(InBuildByDefault(options)) {}

std::string THarness::Dump() {
    TForm1& f = Form();
    std::ostringstream out;
    out << "time " << clock.now << " tick " << f.tickCount << " nextId " << f.nextId << "\n";
    out << "cash " << f.cash << " score " << f.score << " hatred " << f.hatred << " music "
        << f.musicTrack << " gameOver " << f.gameOver << "\n";
    const auto sprites = [&out](const char* name, const auto& list) {
        out << name << " " << list.size();
        for (const auto& s : list) out << " " << s->id << "@" << s->tileX << "," << s->tileY;
        out << "\n";
    };
    sprites("bots", f.lstBots);
    sprites("scrap", f.lstScrap);
    sprites("signs", f.lstSigns);
    sprites("vonkels", f.lstVonkels);
    sprites("effects", f.lstEffects);
    sprites("turrets", f.lstTurrets);
    out << "orders " << f.lstOrders.size() << " killbeams " << f.lstKillBeams.size() << "\n";
    out << "timers";
    for (const auto& t : f.Timers())
        if (t->Enabled()) out << " " << t->Name() << "/" << t->Interval();
    out << "\nshown";
    for (const auto& c : f.Controls())
        if (c->Visible()) out << " " << c->Name();
    out << "\n";
    return out.str();
}

// ---------------------------------------------------------------- files

::testing::AssertionResult SamePixels(const TPicture& actual, const TPicture& expected,
                                      TColor32 orMask) {
    if (actual.Width() != expected.Width() || actual.Height() != expected.Height())
        return ::testing::AssertionFailure()
               << "size " << actual.Width() << "x" << actual.Height() << ", expected "
               << expected.Width() << "x" << expected.Height();
    for (int y = 0; y < actual.Height(); ++y)
        for (int x = 0; x < actual.Width(); ++x)
            if (actual.Pixel(x, y) != (expected.Pixel(x, y) | orMask))
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y << " is " << std::hex << actual.Pixel(x, y)
                       << ", expected " << (expected.Pixel(x, y) | orMask);
    return ::testing::AssertionSuccess();
}

std::string CompareGolden(const std::string& name, const std::string& actual) {
    const fs::path file = fs::path(QV_SOURCE_DIR) / "tests" / "golden" / (name + ".txt");
    const char* update = std::getenv("QV_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << actual;
        return {};
    }
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return "no golden file " + file.string() + " (run with QV_UPDATE_GOLDEN=1 to write it)";
    const std::string expected((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    if (expected == actual) return {};
    return "differs from " + file.string() + "\n--- expected\n" + expected + "--- actual\n" +
           actual;
}
