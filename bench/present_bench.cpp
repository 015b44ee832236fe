// Cost of putting frames on the screen: the window-surface path the game uses (SDL's plain
// framebuffer) and SDL's software renderer; the same path in windows enlarged 2 and 3 times,
// with our own enlarging row copies, with SDL's nearest-neighbour scaled blit and with a
// renderer drawing a streaming texture enlarged; with the
// argument "sdl-default", the window surface as SDL makes it by default, which may emulate it
// through a renderer. Needs a display (Xvfb will do, with a screen of at least 2709 x 2151).
#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "toolkit/window_scale.h"

namespace {

constexpr int kWidth = 903, kHeight = 717, kFrames = 300;

double Millis(uint64_t ticks) {
    return double(ticks) * 1000.0 / double(SDL_GetPerformanceFrequency());
}

std::vector<uint32_t> Frame(int n) {
    std::vector<uint32_t> frame(size_t(kWidth) * kHeight);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = 0xFF000000u | uint32_t(i * 2654435761u + n);
    return frame;
}

SDL_Window* OpenWindow() {
    return SDL_CreateWindow("present bench", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWidth,
                            kHeight, SDL_WINDOW_SHOWN);
}

// Milliseconds per frame for copying `rects` of a frame to the window surface and updating them.
// A null `acceleration` leaves SDL to choose how to make the window's framebuffer.
double SurfacePath(const char* acceleration, const std::vector<SDL_Rect>& rects) {
    if (acceleration)
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, acceleration);
    else
        SDL_ResetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
    SDL_Window* window = OpenWindow();
    if (!window) return -1;
    uint64_t total = 0;
    for (int n = 0; n < kFrames; ++n) {
        const std::vector<uint32_t> frame = Frame(n);
        const uint64_t t0 = SDL_GetPerformanceCounter();
        SDL_Surface* surface = SDL_GetWindowSurface(window);
        SDL_LockSurface(surface);
        for (const SDL_Rect& r : rects)
            for (int y = r.y; y < r.y + r.h; ++y)
                std::memcpy(static_cast<uint8_t*>(surface->pixels) + size_t(y) * surface->pitch +
                                size_t(r.x) * 4,
                            &frame[size_t(y) * kWidth + r.x], size_t(r.w) * 4);
        SDL_UnlockSurface(surface);
        SDL_UpdateWindowSurfaceRects(window, rects.data(), int(rects.size()));
        total += SDL_GetPerformanceCounter() - t0;
        SDL_PumpEvents();
    }
    SDL_DestroyWindow(window);
    return Millis(total) / kFrames;
}

double SoftwareRenderer() {
    SDL_ResetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
    SDL_Window* window = OpenWindow();
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                             SDL_TEXTUREACCESS_STREAMING, kWidth, kHeight);
    uint64_t total = 0;
    for (int n = 0; n < kFrames; ++n) {
        const std::vector<uint32_t> frame = Frame(n);
        const uint64_t t0 = SDL_GetPerformanceCounter();
        SDL_UpdateTexture(texture, nullptr, frame.data(), kWidth * 4);
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        SDL_RenderPresent(renderer);
        total += SDL_GetPerformanceCounter() - t0;
        SDL_PumpEvents();
    }
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    return Millis(total) / kFrames;
}

// Ours and SDL's scalers, and the floor: a frame of the window's own size copied row by row,
// as many pixels with no enlarging at all.
enum class TScaler { Ours, SdlBlitScaled, Floor };

// The median frame: on a shared machine a mean is swayed by the frames another process
// pre-empted.
struct TCost {
    double total = 0;  // ms per frame
    double copy = 0;   // of which putting the pixels into the window surface
};

// Milliseconds per frame for enlarging `rects` of a frame `scale` times into the window surface
// of a window of that size and updating the enlarged rectangles, as the game presents.
TCost ScaledPath(int scale, TScaler scaler, const std::vector<SDL_Rect>& rects) {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Window* window =
        SDL_CreateWindow("present bench", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         kWidth * scale, kHeight * scale, SDL_WINDOW_SHOWN);
    if (!window) return {-1, -1};
    std::vector<uint32_t> frame(size_t(kWidth) * kHeight);
    std::vector<uint32_t> big(frame.size() * size_t(scale) * size_t(scale));
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(frame.data(), kWidth, kHeight, 32,
                                                             kWidth * 4, SDL_PIXELFORMAT_ARGB8888);
    const TViewport view = CentredViewport(kWidth * scale, kHeight * scale, kWidth, kHeight);
    std::vector<SDL_Rect> shown;
    for (const SDL_Rect& r : rects)
        shown.push_back({r.x * scale, r.y * scale, r.w * scale, r.h * scale});
    std::vector<std::pair<uint64_t, uint64_t>> times;  // whole frame, copying
    for (int n = 0; n < kFrames; ++n) {
        frame = Frame(n);
        if (scaler == TScaler::Floor)
            for (size_t i = 0; i < big.size(); ++i) big[i] = frame[i / size_t(scale * scale)];
        const uint64_t t0 = SDL_GetPerformanceCounter();
        SDL_Surface* surface = SDL_GetWindowSurface(window);
        if (scaler == TScaler::Floor) {
            SDL_LockSurface(surface);
            for (const SDL_Rect& r : shown)
                for (int y = r.y; y < r.y + r.h; ++y)
                    std::memcpy(static_cast<uint8_t*>(surface->pixels) +
                                    size_t(y) * surface->pitch + size_t(r.x) * 4,
                                &big[size_t(y) * kWidth * scale + r.x], size_t(r.w) * 4);
            SDL_UnlockSurface(surface);
        } else if (scaler == TScaler::Ours) {
            SDL_LockSurface(surface);
            for (const SDL_Rect& r : rects)
                ScaleRect(frame.data(), kWidth * 4, static_cast<uint32_t*>(surface->pixels),
                          surface->pitch, view, r.x, r.y, r.w, r.h);
            SDL_UnlockSurface(surface);
        } else {
            for (size_t i = 0; i < rects.size(); ++i) {
                SDL_Rect from = rects[i], to = shown[i];
                SDL_BlitScaled(source, &from, surface, &to);
            }
        }
        const uint64_t t1 = SDL_GetPerformanceCounter();
        SDL_UpdateWindowSurfaceRects(window, shown.data(), int(shown.size()));
        const uint64_t t2 = SDL_GetPerformanceCounter();
        times.emplace_back(t2 - t0, t1 - t0);
        SDL_PumpEvents();
    }
    SDL_FreeSurface(source);
    SDL_DestroyWindow(window);
    std::sort(times.begin(), times.end());
    const auto& median = times[times.size() / 2];
    return {Millis(median.first), Millis(median.second)};
}

// The other way to enlarge: the frame in a streaming texture of its own size, its changed
// rectangles updated, and SDL's default (accelerated where there is one) renderer drawing it
// over the whole window with nearest-neighbour scaling at every present.
TCost RendererPath(int scale, const std::vector<SDL_Rect>& rects, std::string& name) {
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    SDL_Window* window =
        SDL_CreateWindow("present bench", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         kWidth * scale, kHeight * scale, SDL_WINDOW_SHOWN);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    if (!renderer) {
        if (window) SDL_DestroyWindow(window);
        return {-1, -1};
    }
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) == 0) name = info.name;
    SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                             SDL_TEXTUREACCESS_STREAMING, kWidth, kHeight);
    std::vector<std::pair<uint64_t, uint64_t>> times;
    for (int n = 0; n < kFrames; ++n) {
        const std::vector<uint32_t> frame = Frame(n);
        const uint64_t t0 = SDL_GetPerformanceCounter();
        for (const SDL_Rect& r : rects)
            SDL_UpdateTexture(texture, &r, &frame[size_t(r.y) * kWidth + r.x], kWidth * 4);
        const uint64_t t1 = SDL_GetPerformanceCounter();
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        SDL_RenderPresent(renderer);
        times.emplace_back(SDL_GetPerformanceCounter() - t0, t1 - t0);
        SDL_PumpEvents();
    }
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    std::sort(times.begin(), times.end());
    const auto& median = times[times.size() / 2];
    return {Millis(median.first), Millis(median.second)};
}

// The table of both scalers and the floor at 1, 2 and 3 times, for a full frame and a play
// frame, and whether the goals hold: a play frame at 3 times within twice its cost at 1 time,
// and a full frame at 3 times no dearer than the floor (as many pixels copied without
// enlarging) allows, give or take a tenth.
void ScaledTable(const std::vector<SDL_Rect>& whole, const std::vector<SDL_Rect>& small) {
    std::printf(
        "\nenlarged windows, plain framebuffer, median ms per frame (in brackets: of which copying "
        "into the window surface; the rest is the update):\n");
    std::printf("%-5s %-11s | %-15s %-15s %-15s | %-15s %-15s %-15s\n", "scale", "window",
                "full: ours", "full: floor", "full: BlitScaled", "play: ours", "play: floor",
                "play: BlitScaled");
    TCost full[4], floor[4], play[4];
    const auto cell = [](const TCost& c) {
        static char text[6][32];
        static int next = 0;
        char* t = text[next++ % 6];
        std::snprintf(t, 32, "%.3f (%.3f)", c.total, c.copy);
        return t;
    };
    for (int scale = 1; scale <= 3; ++scale) {
        full[scale] = ScaledPath(scale, TScaler::Ours, whole);
        floor[scale] = ScaledPath(scale, TScaler::Floor, whole);
        const TCost fullSdl = ScaledPath(scale, TScaler::SdlBlitScaled, whole);
        play[scale] = ScaledPath(scale, TScaler::Ours, small);
        const TCost playFloor = ScaledPath(scale, TScaler::Floor, small);
        const TCost playSdl = ScaledPath(scale, TScaler::SdlBlitScaled, small);
        char size[32];
        std::snprintf(size, sizeof size, "%d x %d", kWidth * scale, kHeight * scale);
        std::printf("%-5d %-11s | %-15s %-15s %-15s | %-15s %-15s %-15s\n", scale, size,
                    cell(full[scale]), cell(floor[scale]), cell(fullSdl), cell(play[scale]),
                    cell(playFloor), cell(playSdl));
    }
    // Last, since a renderer may change how SDL makes later windows' surfaces.
    std::string name = "none";
    TCost renderer[2][4];
    for (int scale = 1; scale <= 3; ++scale) {
        renderer[0][scale] = RendererPath(scale, whole, name);
        renderer[1][scale] = RendererPath(scale, small, name);
    }
    std::printf(
        "renderer \"%s\", streaming texture drawn enlarged (in brackets: the texture "
        "update):\n",
        name.c_str());
    for (int scale = 1; scale <= 3; ++scale)
        std::printf("%-5d %-11s | full %-15s | play %-15s\n", scale, "", cell(renderer[0][scale]),
                    cell(renderer[1][scale]));
    const double playRatio = play[3].total / play[1].total;
    const double fullRatio = full[3].total / floor[3].total;
    std::printf("play frame at 3x: %.2f x the 1x cost (goal: at most 2): %s\n", playRatio,
                playRatio <= 2.0 ? "holds" : "missed");
    std::printf("full frame at 3x: %.2f x the floor for its pixels (goal: at most 1.1): %s\n",
                fullRatio, fullRatio <= 1.1 ? "holds" : "missed");
}

}  // namespace

int main(int argc, char** argv) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::printf("no display: %s (run under Xvfb)\n", SDL_GetError());
        return 0;
    }
    const std::vector<SDL_Rect> whole = {{0, 0, kWidth, kHeight}};
    // What the game usually presents: a few dozen small rectangles that changed.
    std::vector<SDL_Rect> small;
    for (int i = 0; i < 40; ++i)
        small.push_back({(i * 97) % (kWidth - 43), (i * 61) % (kHeight - 43), 43, 43});

    // Once SDL has set up a renderer behind a window surface, later windows of the same process
    // pay for it too, so SDL's default framebuffer is measured alone, in a run of its own.
    if (argc > 1 && std::strcmp(argv[1], "sdl-default") == 0) {
        std::printf("window surface, SDL's default framebuffer:    %.3f ms per full frame\n",
                    SurfacePath(nullptr, whole));
        std::printf(
            "window surface, SDL's default framebuffer:    %.3f ms per 40 rects of 43 x 43\n",
            SurfacePath(nullptr, small));
    } else {
        std::printf("window surface, plain framebuffer (the game): %.3f ms per full frame\n",
                    SurfacePath("0", whole));
        std::printf(
            "window surface, plain framebuffer (the game): %.3f ms per 40 rects of 43 x 43\n",
            SurfacePath("0", small));
        std::printf("software renderer:                            %.3f ms per full frame\n",
                    SoftwareRenderer());
        ScaledTable(whole, small);
    }
    SDL_Quit();
    return 0;
}
