#include "tests/harness.h"

#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

// ---------------------------------------------------------------- TRecordingAudio

void TRecordingAudio::PlaySound(const std::string& path) {
    log.push_back("sound " + fs::path(path).filename().string());
}

bool TRecordingAudio::MusicOpen(int player, const std::string& path) {
    Track* t = TrackOf(player);
    log.push_back("open " + std::to_string(player) + " " + fs::path(path).filename().string());
    if (!t) return false;
    *t = Track{};  // like the real players: the open file is closed first
    if (!fs::is_regular_file(path)) return false;
    const auto length = musicLengths.find(fs::path(path).filename().string());
    // At least 1 ms, so that a looping track cannot end over and over at one instant.
    *t = Track{true, false,
               length == musicLengths.end() ? 30000 : std::max<int64_t>(1, length->second), 0, 0};
    return true;
}

bool TRecordingAudio::MusicPlay(int player) {
    Track* t = TrackOf(player);
    log.push_back("play " + std::to_string(player));
    if (!t || !t->open) return false;
    if (t->playing) return true;
    if (t->played >= t->length) t->played = 0;
    t->playing = true;
    t->startedAt = clock_.now;
    return true;
}

bool TRecordingAudio::MusicStop(int player) {
    Track* t = TrackOf(player);
    log.push_back("stop " + std::to_string(player));
    if (!t || !t->open) return false;
    t->played = MusicPosition(player);
    t->playing = false;
    return true;
}

bool TRecordingAudio::MusicClose(int player) {
    Track* t = TrackOf(player);
    log.push_back("close " + std::to_string(player));
    if (!t || !t->open) return false;
    *t = Track{};
    return true;
}

bool TRecordingAudio::MusicIsOpen(int player) {
    Track* t = TrackOf(player);
    return t && t->open;
}

int64_t TRecordingAudio::MusicPosition(int player) {
    Track* t = TrackOf(player);
    if (!t || !t->open) return 0;
    if (!t->playing) return t->played;
    return std::min(t->length, t->played + int64_t(clock_.now - t->startedAt));
}

int64_t TRecordingAudio::MusicLength(int player) {
    Track* t = TrackOf(player);
    return t && t->open ? t->length : 0;
}

std::optional<uint64_t> TRecordingAudio::NextEnd() const {
    std::optional<uint64_t> next;
    for (const Track& t : tracks_)
        if (t.open && t.playing) {
            const uint64_t end = t.startedAt + uint64_t(t.length - t.played);
            if (!next || end < *next) next = end;
        }
    return next;
}

std::vector<int> TRecordingAudio::TakeFinished() {
    std::vector<int> finished;
    for (int p = 0; p < 2; ++p) {
        Track& t = tracks_[p];
        if (t.open && t.playing && MusicPosition(p) >= t.length) {
            t.played = t.length;
            t.playing = false;
            finished.push_back(p);
        }
    }
    return finished;
}

// ---------------------------------------------------------------- TTempAssets

TTempAssets::TTempAssets() {
    std::string pattern = (fs::temp_directory_path() / "quorvatide-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    exeDir_ = pattern;
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
        if (entry.is_regular_file())
            fs::create_symlink(fs::absolute(entry.path()), Assets() / entry.path().filename());
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

fs::path BuildExeDir() {
    return QV_BUILD_DIR;
}

THarness::THarness(THarnessOptions options) {
    clock.now = options.startMs;
    clock.seed = options.seed;
    std::string exeDir = (options.exeDir.empty() ? BuildExeDir() : options.exeDir).string();
    if (exeDir.back() != '/') exeDir += '/';
    platform_ = std::make_unique<TPlatform>(TPlatform{clock, audio, exeDir});
    form_ = std::make_unique<TForm1>(*platform_);
}

THarness::~THarness() = default;

void THarness::DeliverMusicEnds() {
    for (int player : audio.TakeFinished()) form_->MusicFinished(player);
}

void THarness::Advance(uint64_t ms) {
    const uint64_t target = clock.now + ms;
    for (;;) {
        // The next thing to happen: a timer falling due or a track reaching its end, whose
        // notification comes first when both fall on the same millisecond.
        const auto due = form_->NextTimerDue();
        const auto end = audio.NextEnd();
        std::optional<uint64_t> next = due;
        if (end && (!next || *end <= *next)) next = end;
        if (!next || *next > target) break;
        clock.now = std::max(clock.now, *next);
        DeliverMusicEnds();
        form_->FireDueTimers();
    }
    // A handler may have let the clock run on past the target.
    clock.now = std::max(clock.now, target);
    DeliverMusicEnds();
}

namespace {

uint32_t MaskOf(TMouseButton b) {
    return b == TMouseButton::Left ? 1u : b == TMouseButton::Right ? 2u : 4u;
}

TShiftState ShiftOf(uint32_t buttons) {
    TShiftState s;
    s.left = buttons & 1u;
    s.right = buttons & 2u;
    s.middle = buttons & 4u;
    return s;
}

}  // namespace

void THarness::MouseMove(int x, int y) {
    form_->MouseMove(x, y, ShiftOf(buttons_));
}

void THarness::MouseDown(int x, int y, TMouseButton button) {
    buttons_ |= MaskOf(button);
    form_->MouseDown(x, y, button, ShiftOf(buttons_));
}

void THarness::MouseUp(int x, int y, TMouseButton button) {
    buttons_ &= ~MaskOf(button);
    form_->MouseUp(x, y, button, ShiftOf(buttons_));
}

void THarness::Click(int x, int y, TMouseButton button) {
    MouseMove(x, y);
    MouseDown(x, y, button);
    MouseUp(x, y, button);
}

void THarness::Key(char key) {
    form_->KeyPress(key);
}

void THarness::StartPlay() {
    Click(8 + 350, 8 + 350);
}

const TPicture& THarness::Render() {
    form_->Compose();
    return form_->Frame();
}

std::string THarness::Dump() {
    TForm1& f = *form_;
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

bool SavePng(const TPicture& picture, const std::string& path, bool opaque) {
    if (picture.Empty()) return false;
    std::vector<uint8_t> rgba(size_t(picture.Width()) * picture.Height() * 4);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const TColor32 c = picture.Pixel(x, y);
            uint8_t* p = &rgba[(size_t(y) * picture.Width() + x) * 4];
            p[0] = uint8_t(RedOf(c));
            p[1] = uint8_t(GreenOf(c));
            p[2] = uint8_t(BlueOf(c));
            p[3] = opaque ? 255 : uint8_t(AlphaOf(c));
        }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(picture.Width());
    image.height = png_uint_32(picture.Height());
    image.format = PNG_FORMAT_RGBA;
    const bool ok = png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
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
