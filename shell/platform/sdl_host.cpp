#include "shell/platform/sdl_host.h"

#include <SDL2/SDL.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/platform/sdl_audio.h"

namespace {

class TSdlClock : public IClock {
public:
    uint64_t NowMs() override { return SDL_GetTicks64(); }
    uint32_t RandomSeed() override {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        return uint32_t(std::chrono::duration_cast<std::chrono::microseconds>(now).count()) ^
               uint32_t(SDL_GetPerformanceCounter());
    }
};

std::string ExecutableDir() {
    std::string dir;
    if (char* base = SDL_GetBasePath()) {
        dir = base;
        SDL_free(base);
    }
    if (dir.empty()) dir = "./";
    if (dir.back() != '/') dir += '/';
    return dir;
}

// Time spent composing and presenting frames, printed on exit when QUORVATIDE_FRAME_STATS is
// set: a way to watch the cost of the present path on a given display.
struct TFrameStats {
    bool enabled = std::getenv("QUORVATIDE_FRAME_STATS") != nullptr;
    uint64_t frames = 0, composeTicks = 0, presentTicks = 0, pixels = 0;

    void Print() const {
        if (!enabled || frames == 0) return;
        const double f = double(SDL_GetPerformanceFrequency()) / 1e6;
        std::fprintf(
            stderr,
            "quorvatide: %llu frames, compose %.1f us, present %.1f us, %.0f pixels per frame\n",
            static_cast<unsigned long long>(frames), double(composeTicks) / f / double(frames),
            double(presentTicks) / f / double(frames), double(pixels) / double(frames));
    }
};

class THost {
public:
    THost(SDL_Window* window, TForm& form, TSdlAudio* audio)
        : window_(window), form_(form), audio_(audio) {}

    int Run() {
        SDL_StartTextInput();
        bool running = true;
        bool exposeAll = true;
        while (running) {
            Paint(exposeAll);
            exposeAll = false;
            if (form_.Caption() != shownCaption_) {
                shownCaption_ = form_.Caption();
                SDL_SetWindowTitle(window_, shownCaption_.c_str());
            }
            // Sleep until an event arrives or the next timer is due: no busy loop.
            SDL_Event ev;
            bool got;
            if (const auto due = form_.NextTimerDue()) {
                const uint64_t now = SDL_GetTicks64();
                const int wait = *due <= now ? 0 : int(std::min<uint64_t>(*due - now, INT_MAX));
                got = SDL_WaitEventTimeout(&ev, wait) != 0;
            } else {
                got = SDL_WaitEvent(&ev) != 0;
            }
            while (got) {
                running = Handle(ev, exposeAll) && running;
                got = SDL_PollEvent(&ev) != 0;
            }
            form_.FireDueTimers();
        }
        stats_.Print();
        return 0;
    }

private:
    TShiftState Shift() const {
        const SDL_Keymod mods = SDL_GetModState();
        TShiftState s;
        s.shift = (mods & KMOD_SHIFT) != 0;
        s.ctrl = (mods & KMOD_CTRL) != 0;
        s.alt = (mods & KMOD_ALT) != 0;
        s.left = (buttons_ & SDL_BUTTON_LMASK) != 0;
        s.right = (buttons_ & SDL_BUTTON_RMASK) != 0;
        s.middle = (buttons_ & SDL_BUTTON_MMASK) != 0;
        return s;
    }

    static bool ButtonOf(uint8_t sdlButton, TMouseButton& button) {
        switch (sdlButton) {
            case SDL_BUTTON_LEFT:
                button = TMouseButton::Left;
                return true;
            case SDL_BUTTON_RIGHT:
                button = TMouseButton::Right;
                return true;
            case SDL_BUTTON_MIDDLE:
                button = TMouseButton::Middle;
                return true;
            default:
                return false;
        }
    }

    // Returns false when the window is to close.
    bool Handle(const SDL_Event& ev, bool& exposeAll) {
        TMouseButton button;
        switch (ev.type) {
            case SDL_QUIT:
                return false;
            case SDL_WINDOWEVENT:
                if (ev.window.event == SDL_WINDOWEVENT_CLOSE) return false;
                if (ev.window.event == SDL_WINDOWEVENT_EXPOSED ||
                    ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                    exposeAll = true;
                break;
            case SDL_MOUSEMOTION:
                form_.MouseMove(ev.motion.x, ev.motion.y, Shift());
                break;
            case SDL_MOUSEBUTTONDOWN:
                if (!ButtonOf(ev.button.button, button)) break;
                buttons_ |= SDL_BUTTON(ev.button.button);
                form_.MouseDown(ev.button.x, ev.button.y, button, Shift());
                break;
            case SDL_MOUSEBUTTONUP:
                if (!ButtonOf(ev.button.button, button)) break;
                buttons_ &= ~SDL_BUTTON(ev.button.button);
                form_.MouseUp(ev.button.x, ev.button.y, button, Shift());
                break;
            case SDL_TEXTINPUT:
                for (const char* c = ev.text.text; *c; ++c)
                    if (static_cast<unsigned char>(*c) < 128) form_.KeyPress(*c);
                break;
            default:
                if (audio_ && ev.type == audio_->FinishedEventType() && ev.type != 0 &&
                    audio_->HandleFinished(ev.user.code))
                    form_.MusicFinished(ev.user.code);
                break;
        }
        return true;
    }

    // Composes what changed and copies those rectangles to the window.
    void Paint(bool all) {
        const uint64_t t0 = SDL_GetPerformanceCounter();
        std::vector<TRect> rects = form_.Compose();
        const uint64_t t1 = SDL_GetPerformanceCounter();
        if (rects.empty() && !all) return;
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (!surface) return;
        const TPicture& frame = form_.Frame();
        if (all) rects.assign(1, TRect{0, 0, frame.Width(), frame.Height()});
        std::vector<SDL_Rect> sdlRects;
        sdlRects.reserve(rects.size());
        for (const TRect& r : rects) {
            const TRect c = r.Intersect({0, 0, surface->w, surface->h});
            if (!c.Empty()) sdlRects.push_back({c.left, c.top, c.Width(), c.Height()});
        }
        // 32-bit surfaces with the frame's channel order take plain row copies; anything else
        // is converted by SDL's blitter.
        if (surface->format->format == SDL_PIXELFORMAT_ARGB8888 ||
            surface->format->format == SDL_PIXELFORMAT_RGB888) {
            SDL_LockSurface(surface);
            for (const SDL_Rect& r : sdlRects)
                for (int y = r.y; y < r.y + r.h; ++y)
                    SDL_memcpy(static_cast<uint8_t*>(surface->pixels) + size_t(y) * surface->pitch +
                                   size_t(r.x) * 4,
                               frame.Bits() + size_t(y) * frame.Width() + r.x, size_t(r.w) * 4);
            SDL_UnlockSurface(surface);
        } else if (SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
                       const_cast<TColor32*>(frame.Bits()), frame.Width(), frame.Height(), 32,
                       frame.Width() * 4, SDL_PIXELFORMAT_ARGB8888)) {
            for (SDL_Rect& r : sdlRects) {
                SDL_Rect dst = r;
                SDL_BlitSurface(source, &r, surface, &dst);
            }
            SDL_FreeSurface(source);
        }
        SDL_UpdateWindowSurfaceRects(window_, sdlRects.data(), int(sdlRects.size()));
        const uint64_t t2 = SDL_GetPerformanceCounter();
        if (stats_.enabled) {
            ++stats_.frames;
            stats_.composeTicks += t1 - t0;
            stats_.presentTicks += t2 - t1;
            for (const SDL_Rect& sr : sdlRects) stats_.pixels += uint64_t(sr.w) * uint64_t(sr.h);
        }
    }

    SDL_Window* window_;
    TForm& form_;
    TSdlAudio* audio_;
    uint32_t buttons_ = 0;
    std::string shownCaption_;
    TFrameStats stats_;
};

}  // namespace

int RunWindow(const TFormFactory& createForm) {
    // Only a real display will do: without this SDL would quietly fall back to an off-screen
    // driver and the game would run where nobody can see it.
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    if (!requested || !*requested) {
        const char* driver = std::getenv("DISPLAY")           ? "x11"
                             : std::getenv("WAYLAND_DISPLAY") ? "wayland"
                                                              : nullptr;
        if (!driver) {
            std::fprintf(stderr,
                         "quorvatide: cannot open the game window: no display (DISPLAY and "
                         "WAYLAND_DISPLAY are not set)\n");
            return 1;
        }
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "quorvatide: cannot open the game window: no usable display (%s)\n",
                     SDL_GetError());
        return 1;
    }
    int exitCode = 0;
    {
        TSdlAudio sdlAudio;
        TSilentAudio silence;
        const bool haveAudio = sdlAudio.Open();
        TSdlClock clock;
        TPlatform platform{clock, haveAudio ? static_cast<IAudio&>(sdlAudio) : silence,
                           ExecutableDir()};
        std::unique_ptr<TForm> form = createForm(platform);
        // The game composes its own frames: the window surface should be the system's plain
        // framebuffer (shared memory on X11), not one emulated through a GPU renderer, which
        // under software OpenGL costs about ten times as much per frame.
        SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
        SDL_Window* window = SDL_CreateWindow(form->Caption().c_str(), SDL_WINDOWPOS_CENTERED,
                                              SDL_WINDOWPOS_CENTERED, form->Width(), form->Height(),
                                              SDL_WINDOW_SHOWN);
        if (!window) {
            std::fprintf(stderr, "quorvatide: cannot open the game window: %s\n", SDL_GetError());
            exitCode = 1;
        } else {
            THost host(window, *form, haveAudio ? &sdlAudio : nullptr);
            exitCode = host.Run();
        }
        form.reset();  // FormDestroy, while the audio device is still open
        if (window) SDL_DestroyWindow(window);
    }
    SDL_Quit();
    return exitCode;
}
