// Cost of putting frames on the screen: the window-surface path the game uses (SDL's plain
// framebuffer) and SDL's software renderer; with the argument "sdl-default", the window surface
// as SDL makes it by default, which may emulate it through a renderer. Needs a display (Xvfb
// will do).
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>
#include <vector>

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
    }
    SDL_Quit();
    return 0;
}
