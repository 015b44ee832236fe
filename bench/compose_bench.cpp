// Compositing benchmark: the whole 903 x 717 window with the playfield holding many sprite
// layers made from the generated Assets, painted by our drawing layer, by pixman called directly
// and by SDL blits, next to a plain copy of the frame. Before anything is timed, every frame is
// checked against the exact blend (BlendPixel applied layer by layer); the run stops if ours is
// more than 2 levels off.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/form1.h"
#include "platform/native.h"
#include "shell/game_session.h"
#include "shell/user_files.h"

namespace {

constexpr int kSpriteSize = 35;
// The playfield's top-left corner in window coordinates (panel at 8, control at 1 inside).
constexpr int kFieldX = 9, kFieldY = 9;
constexpr int kFieldSize = 698;
constexpr uint32_t kSeed = 20240611;
// The most an exact-blend pixel may differ, per colour channel.
constexpr int kMaxError = 2;

// ---------------------------------------------------------------- the scene

struct TSprite35 {
    std::vector<TColor32> pixels;  // straight (not premultiplied) ARGB
    int master = 255;
    int x = 0, y = 0;  // playfield coordinates
};

struct TScenePlan {
    std::vector<TColor32> background;  // 700 x 700, opaque
    std::vector<TSprite35> sprites;
};

int Uniform(std::mt19937& rng, int lo, int hi) {
    return lo + int(rng() % uint32_t(hi - lo + 1));
}

// The generated Assets folder beside this program.
std::filesystem::path AssetDir() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "Assets";
}

// A catalogue picture loaded as the game loads it: colour file plus optional mask.
TPicture LoadSprite(std::string_view name) {
    const std::filesystem::path dir = AssetDir();
    TPicture p;
    if (!p.LoadFromFile(NativeFiles(), (dir / (std::string(name) + ".bmp")).string())) {
        std::fprintf(stderr, "qv_bench_compose: no %s in %s; build the assets first\n",
                     std::string(name).c_str(), dir.c_str());
        std::exit(1);
    }
    TPicture mask;
    if (mask.LoadFromFile(NativeFiles(), (dir / (std::string(name) + "A.bmp")).string()))
        p.IntensityToAlpha(mask);
    return p;
}

std::vector<TColor32> PixelsOf(const TPicture& p) {
    std::vector<TColor32> px;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) px.push_back(p.Pixel(x, y));
    return px;
}

// The board as the game draws it: the background tiled from the game's own tile picture, and
// sprites of every kind the board shows (creatures, bots, signs, objects, effects) at random
// places, a tenth of them faded.
TScenePlan MakeScene(int layerCount) {
    std::mt19937 rng(kSeed);
    TScenePlan s;
    const TPicture tile = LoadSprite("Tile");
    s.background.resize(700 * 700);
    for (int y = 0; y < 700; ++y)
        for (int x = 0; x < 700; ++x)
            s.background[size_t(y) * 700 + x] = tile.Pixel(x % kSpriteSize, y % kSpriteSize);
    std::vector<std::vector<TColor32>> pictures;
    for (int i = CatalogueIndex("Cursor"); i <= CatalogueIndex("SpeechKel"); ++i)
        if (i != CatalogueIndex("Base_Floor"))
            pictures.push_back(PixelsOf(LoadSprite(kCatalogueNames[size_t(i)])));
    for (int i = 0; i < layerCount; ++i) {
        TSprite35 sp;
        sp.pixels = pictures[size_t(i) % pictures.size()];
        sp.master = i % 10 == 5 ? Uniform(rng, 40, 230) : 255;
        sp.x = Uniform(rng, 0, kFieldSize - kSpriteSize);
        sp.y = Uniform(rng, 0, kFieldSize - kSpriteSize);
        s.sprites.push_back(std::move(sp));
    }
    return s;
}

const TScenePlan& Scene(int layerCount) {
    static std::map<int, TScenePlan> scenes;
    auto it = scenes.find(layerCount);
    if (it == scenes.end()) it = scenes.emplace(layerCount, MakeScene(layerCount)).first;
    return it->second;
}

// ---------------------------------------------------------------- ours: the real window

class TBenchClock : public IClock {
public:
    uint64_t NowMs() override { return 0; }
    uint32_t RandomSeed() override { return 1; }
};

// An exe folder with an empty Assets folder, so the window starts without pictures; removed
// again when the program ends.
const std::string& BenchExeDir() {
    struct TTempDir {
        std::string path;
        TTempDir() {
            path = (std::filesystem::temp_directory_path() / "qv_bench_XXXXXX").string();
            if (!mkdtemp(path.data())) {
                std::perror("mkdtemp");
                std::exit(1);
            }
            std::filesystem::create_directory(std::filesystem::path(path) / "Assets");
            path += "/";
        }
        ~TTempDir() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const TTempDir dir;
    return dir.path;
}

struct TOurScene {
    TBenchClock clock;
    TSilentAudio audio;
    TPlatform platform{clock, audio, NativeFiles(), BenchExeDir()};
    std::unique_ptr<TGameSession> session;
    TForm1* form = nullptr;
    std::vector<TBitmapLayer*> layers;
    std::vector<int> dx, dy;  // gliding direction of each layer (play frames)
    int frame = 0;

    explicit TOurScene(int layerCount) {
        // The splash panel, which covers the playfield at start-up, hidden.
        session = std::make_unique<TGameSession>(platform, ReadGameSettings(platform), true);
        form = &session->Game();
        const TScenePlan& plan = Scene(layerCount);
        TPicture& back = form->Playfield->Bitmap();
        back.SetSize(700, 700);
        std::copy(plan.background.begin(), plan.background.end(), back.MutableBits());
        std::mt19937 rng(kSeed + 1);
        for (const TSprite35& sp : plan.sprites) {
            TBitmapLayer& l = form->Playfield->AddLayer();
            l.Bitmap().SetSize(kSpriteSize, kSpriteSize);
            std::copy(sp.pixels.begin(), sp.pixels.end(), l.Bitmap().MutableBits());
            l.Bitmap().SetDrawMode(TDrawMode::Blend);
            l.Bitmap().SetMasterAlpha(sp.master);
            l.SetLocation(
                {float(sp.x), float(sp.y), float(sp.x + kSpriteSize), float(sp.y + kSpriteSize)});
            layers.push_back(&l);
            int ddx = 0, ddy = 0;
            while (ddx == 0 && ddy == 0) {
                ddx = 4 * Uniform(rng, -1, 1);
                ddy = 4 * Uniform(rng, -1, 1);
            }
            dx.push_back(ddx);
            dy.push_back(ddy);
        }
        // The first compose builds every picture's compositing data.
        form->Compose();
    }

    // Moves a tenth of the layers by 4 px along their direction, turning at the edges.
    void Glide() {
        ++frame;
        for (size_t i = size_t(frame % 10); i < layers.size(); i += 10) {
            TBitmapLayer& l = *layers[i];
            TFloatRect r = l.Location();
            const auto step = [](float& lo, float& hi, int& d) {
                if (lo + d < 0 || hi + d > kFieldSize) d = -d;
                lo += float(d);
                hi += float(d);
            };
            step(r.left, r.right, dx[i]);
            step(r.top, r.bottom, dy[i]);
            l.SetLocation(r);
        }
    }
};

TOurScene& Ours(int layerCount, bool playFrames) {
    static std::map<std::pair<int, bool>, std::unique_ptr<TOurScene>> scenes;
    auto& s = scenes[{layerCount, playFrames}];
    if (!s) s = std::make_unique<TOurScene>(layerCount);
    return *s;
}

// The window without sprites: what the peers start every frame from.
const std::vector<TColor32>& WindowBackground() {
    static const std::vector<TColor32> bits = [] {
        const TPicture& f = Ours(0, false).form->Frame();
        return std::vector<TColor32>(f.Bits(), f.Bits() + size_t(f.Width()) * f.Height());
    }();
    return bits;
}

// ---------------------------------------------------------------- pixman direct

struct TPixmanUnref {
    void operator()(pixman_image_t* image) const { pixman_image_unref(image); }
};
using TPixmanImage = std::unique_ptr<pixman_image_t, TPixmanUnref>;

struct TPixmanScene {
    std::vector<uint32_t> frameBits;
    TPixmanImage frame, background;
    struct TLayer {
        std::vector<uint32_t> premul;
        TPixmanImage image, mask;
        int x, y;
    };
    std::vector<TLayer> layers;

    explicit TPixmanScene(int layerCount) : frameBits(size_t(kClientWidth) * kClientHeight) {
        const std::vector<TColor32>& back = WindowBackground();
        frame.reset(pixman_image_create_bits(PIXMAN_x8r8g8b8, kClientWidth, kClientHeight,
                                             frameBits.data(), kClientWidth * 4));
        background.reset(pixman_image_create_bits(PIXMAN_x8r8g8b8, kClientWidth, kClientHeight,
                                                  const_cast<uint32_t*>(back.data()),
                                                  kClientWidth * 4));
        layers.reserve(size_t(layerCount));
        for (const TSprite35& sp : Scene(layerCount).sprites) {
            TLayer l;
            for (TColor32 p : sp.pixels) {
                const int a = AlphaOf(p);
                const auto pm = [a](int c) { return uint32_t((c * a + 127) / 255); };
                l.premul.push_back(uint32_t(a) << 24 | pm(RedOf(p)) << 16 | pm(GreenOf(p)) << 8 |
                                   pm(BlueOf(p)));
            }
            l.image.reset(pixman_image_create_bits(PIXMAN_a8r8g8b8, kSpriteSize, kSpriteSize,
                                                   l.premul.data(), kSpriteSize * 4));
            if (sp.master < 255) {
                const uint16_t m = uint16_t(sp.master * 257);
                const pixman_color_t c{m, m, m, m};
                l.mask.reset(pixman_image_create_solid_fill(&c));
            }
            l.x = kFieldX + sp.x;
            l.y = kFieldY + sp.y;
            layers.push_back(std::move(l));
        }
    }

    void Compose() {
        pixman_image_composite32(PIXMAN_OP_SRC, background.get(), nullptr, frame.get(), 0, 0, 0, 0,
                                 0, 0, kClientWidth, kClientHeight);
        for (const TLayer& l : layers)
            pixman_image_composite32(PIXMAN_OP_OVER, l.image.get(), l.mask.get(), frame.get(), 0, 0,
                                     0, 0, l.x, l.y, kSpriteSize, kSpriteSize);
    }
};

TPixmanScene& PixmanScene(int layerCount) {
    static std::map<int, std::unique_ptr<TPixmanScene>> scenes;
    auto& s = scenes[layerCount];
    if (!s) s = std::make_unique<TPixmanScene>(layerCount);
    return *s;
}

// ---------------------------------------------------------------- SDL blits

struct TSurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using TSurface = std::unique_ptr<SDL_Surface, TSurfaceFree>;

struct TSdlScene {
    TSurface frame, background;
    std::vector<TSurface> sprites;
    std::vector<SDL_Rect> places;

    explicit TSdlScene(int layerCount) {
        const std::vector<TColor32>& back = WindowBackground();
        frame.reset(SDL_CreateRGBSurfaceWithFormat(0, kClientWidth, kClientHeight, 32,
                                                   SDL_PIXELFORMAT_RGB888));
        background.reset(SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint32_t*>(back.data()), kClientWidth, kClientHeight, 32, kClientWidth * 4,
            SDL_PIXELFORMAT_RGB888));
        SDL_SetSurfaceBlendMode(background.get(), SDL_BLENDMODE_NONE);
        for (const TSprite35& sp : Scene(layerCount).sprites) {
            TSurface s(SDL_CreateRGBSurfaceWithFormat(0, kSpriteSize, kSpriteSize, 32,
                                                      SDL_PIXELFORMAT_ARGB8888));
            for (int y = 0; y < kSpriteSize; ++y)
                std::memcpy(static_cast<uint8_t*>(s->pixels) + y * s->pitch,
                            &sp.pixels[size_t(y) * kSpriteSize], kSpriteSize * 4);
            SDL_SetSurfaceBlendMode(s.get(), SDL_BLENDMODE_BLEND);
            SDL_SetSurfaceAlphaMod(s.get(), Uint8(sp.master));
            sprites.push_back(std::move(s));
            places.push_back({kFieldX + sp.x, kFieldY + sp.y, kSpriteSize, kSpriteSize});
        }
    }

    void Compose() {
        SDL_BlitSurface(background.get(), nullptr, frame.get(), nullptr);
        for (size_t i = 0; i < sprites.size(); ++i) {
            SDL_Rect d = places[i];  // the blit clips it in place
            SDL_BlitSurface(sprites[i].get(), nullptr, frame.get(), &d);
        }
    }

    // The frame as a picture-sized pixel list (the surface rows may be padded).
    std::vector<TColor32> Pixels() const {
        std::vector<TColor32> out(size_t(kClientWidth) * kClientHeight);
        for (int y = 0; y < kClientHeight; ++y)
            std::memcpy(&out[size_t(y) * kClientWidth],
                        static_cast<const uint8_t*>(frame->pixels) + y * frame->pitch,
                        kClientWidth * 4);
        return out;
    }
};

TSdlScene& SdlScene(int layerCount) {
    static std::map<int, std::unique_ptr<TSdlScene>> scenes;
    auto& s = scenes[layerCount];
    if (!s) s = std::make_unique<TSdlScene>(layerCount);
    return *s;
}

// ---------------------------------------------------------------- accuracy

// The exact result: the sprite-free window with every sprite blended over it in order.
std::vector<TColor32> ReferenceFrame(int layerCount) {
    std::vector<TColor32> ref = WindowBackground();
    for (TColor32& p : ref) p |= 0xFF000000u;
    for (const TSprite35& sp : Scene(layerCount).sprites)
        for (int y = 0; y < kSpriteSize; ++y)
            for (int x = 0; x < kSpriteSize; ++x) {
                TColor32& d = ref[size_t(kFieldY + sp.y + y) * kClientWidth + kFieldX + sp.x + x];
                d = BlendPixel(sp.pixels[size_t(y) * kSpriteSize + x], d, sp.master);
            }
    return ref;
}

// The largest difference of a colour channel between two frames.
int MaxChannelError(const TColor32* a, const std::vector<TColor32>& b) {
    int worst = 0;
    for (size_t i = 0; i < b.size(); ++i) {
        worst = std::max({worst, std::abs(RedOf(a[i]) - RedOf(b[i])),
                          std::abs(GreenOf(a[i]) - GreenOf(b[i])),
                          std::abs(BlueOf(a[i]) - BlueOf(b[i]))});
    }
    return worst;
}

// Prints the error of every contender; returns false when ours is outside the allowance.
bool CheckAccuracy() {
    bool ok = true;
    std::printf("Blend accuracy against the exact formula (largest channel error):\n");
    for (int n : {50, 200, 800}) {
        const std::vector<TColor32> ref = ReferenceFrame(n);
        TOurScene& ours = Ours(n, false);
        ours.form->InvalidateAll();
        ours.form->Compose();
        const int oursError = MaxChannelError(ours.form->Frame().Bits(), ref);
        TPixmanScene& px = PixmanScene(n);
        px.Compose();
        const int pixmanError = MaxChannelError(px.frameBits.data(), ref);
        TSdlScene& sdl = SdlScene(n);
        sdl.Compose();
        const int sdlError = MaxChannelError(sdl.Pixels().data(), ref);
        std::printf("  %3d layers: ours %d, pixman direct %d, SDL blit %d\n", n, oursError,
                    pixmanError, sdlError);
        if (oursError > kMaxError) ok = false;
    }
    if (!ok)
        std::fprintf(stderr,
                     "\n*** ACCURACY VIOLATED: our composed frame is more than %d levels off the "
                     "exact blend ***\n\n",
                     kMaxError);
    return ok;
}

// ---------------------------------------------------------------- benchmarks

void BM_FloorCopy(benchmark::State& state) {
    const std::vector<TColor32>& from = WindowBackground();
    std::vector<TColor32> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(TColor32));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

void BM_PixmanDirect(benchmark::State& state) {
    TPixmanScene& s = PixmanScene(int(state.range(0)));
    for (auto _ : state) {
        s.Compose();
        benchmark::ClobberMemory();
    }
}

void BM_SdlBlit(benchmark::State& state) {
    TSdlScene& s = SdlScene(int(state.range(0)));
    for (auto _ : state) {
        s.Compose();
        benchmark::ClobberMemory();
    }
}

void BM_OursFullRecompose(benchmark::State& state) {
    TForm1& form = *Ours(int(state.range(0)), false).form;
    for (auto _ : state) {
        form.InvalidateAll();
        benchmark::DoNotOptimize(form.Compose());
        benchmark::ClobberMemory();
    }
}

void BM_OursPlayFrame(benchmark::State& state) {
    TOurScene& s = Ours(int(state.range(0)), true);
    for (auto _ : state) {
        s.Glide();
        benchmark::DoNotOptimize(s.form->Compose());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_FloorCopy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PixmanDirect)->Arg(50)->Arg(200)->Arg(800)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SdlBlit)->Arg(50)->Arg(200)->Arg(800)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OursFullRecompose)->Arg(50)->Arg(200)->Arg(800)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OursPlayFrame)->Arg(200)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------- targets

// Shows the usual table and, at the end, how our two rows stand against their limits (on the
// medians when repetitions are asked for, else on the single runs).
class TTargetReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const std::string name = r.run_name.str();
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                single_[name] = r.GetAdjustedRealTime();
            else if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                median_[name] = r.GetAdjustedRealTime();
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        const double floor = Time("BM_FloorCopy");
        const double pixman = Time("BM_PixmanDirect/800"), sdl = Time("BM_SdlBlit/800");
        const double full = Time("BM_OursFullRecompose/800"), play = Time("BM_OursPlayFrame/200");
        std::printf("\nTargets (microseconds):\n");
        Verdict("full recompose, 800 layers, vs fastest peer", full, std::min(pixman, sdl), 1.1);
        Verdict("play frame, 200 layers, vs floor copy      ", play, floor, 1.5);
    }

private:
    double Time(const std::string& name) const {
        if (auto it = median_.find(name); it != median_.end()) return it->second;
        if (auto it = single_.find(name); it != single_.end()) return it->second;
        return std::nan("");
    }
    static void Verdict(const char* what, double ours, double base, double limit) {
        if (std::isnan(ours) || std::isnan(base)) {
            std::printf("  %s: not measured in this run\n", what);
            return;
        }
        const double ratio = ours / base;
        std::printf("  %s: %8.1f / %8.1f = %.2f x (limit %.2f)  %s\n", what, ours, base, ratio,
                    limit, ratio <= limit ? "holds" : "MISSED");
    }
    std::map<std::string, double> single_, median_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    const bool accurate = CheckAccuracy();
    int status = 1;
    if (accurate) {
        TTargetReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        status = 0;
    }
    benchmark::Shutdown();
    return status;
}
