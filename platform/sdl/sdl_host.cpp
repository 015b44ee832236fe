#include "platform/sdl/sdl_host.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/form1.h"
#include "platform/native.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_bmp.h"
#include "platform/sdl/sdl_pad.h"
#include "shell/grid_pointer.h"
#include "toolkit/picture.h"
#include "toolkit/window_scale.h"

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
    THost(SDL_Window* window, IWindowSession& session, TSdlAudio* audio)
        : window_(window), session_(session), audio_(audio) {
        int w, h;
        SDL_GetWindowSize(window_, &w, &h);
        view_ = CentredViewport(w, h, session_.Form().Width(), session_.Form().Height());
        pointerInput_.Open();
    }

    // One round of the window: paints what changed, then, when `wait`, sleeps until an event
    // arrives or the session has something due (no busy loop), handles the events and runs
    // what is due. False once the window is to close.
    bool Step(bool wait) {
        Paint(exposeAll_);
        exposeAll_ = false;
        if (const std::string caption = session_.Caption(); caption != shownCaption_) {
            shownCaption_ = caption;
            SDL_SetWindowTitle(window_, shownCaption_.c_str());
        }
        SDL_Event ev;
        bool got;
        std::optional<uint64_t> due = session_.NextDue();
        if (const auto pointerDue = pointer_.NextDue())
            due = due ? std::min(*due, *pointerDue) : *pointerDue;
        if (!wait) {
            got = SDL_PollEvent(&ev) != 0;
        } else if (due) {
            const uint64_t now = SDL_GetTicks64();
            const int timeout = *due <= now ? 0 : int(std::min<uint64_t>(*due - now, INT_MAX));
            got = SDL_WaitEventTimeout(&ev, timeout) != 0;
        } else {
            got = SDL_WaitEvent(&ev) != 0;
        }
        bool running = true;
        while (got) {
            running = Handle(ev, exposeAll_) && running;
            got = SDL_PollEvent(&ev) != 0;
        }
        pointer_.RunDue(SDL_GetTicks64());
        session_.RunDue();
        return running;
    }

    void Finish() {
        session_.Close();
        stats_.Print();
    }

    void PrintStats() const { stats_.Print(); }

    // Shows the frame at `scale`, the window made to fit it (the browser's page asks for this
    // when its size changes).
    void Rescale(int scale) {
        const TForm& form = session_.Form();
        SDL_SetWindowSize(window_, form.Width() * scale, form.Height() * scale);
        exposeAll_ = true;
    }

    // How large a game pixel is where a finger touches it, when it is not the window's scale:
    // the page shrinks its window smoothly below 1× to fit a small screen.
    void SetShownScale(double scale) { shownScale_ = scale; }

    TGridPointer& Pointer() { return pointer_; }

    void ToggleFullscreen() {
        const bool full = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
        if (SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
            std::fprintf(stderr, "quorvatide: cannot switch to %s: %s\n",
                         full ? "the window" : "fullscreen", SDL_GetError());
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
                // Whatever the pointer's keys and pads held, they let go with the focus: their
                // releases may not reach a window in the background.
                if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                    pointerInput_.LetGo();
                    if (finger_) pointer_.TouchCancel();
                    finger_.reset();
                }
                if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST ||
                    ev.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
                    session_.FocusChanged(ev.window.event == SDL_WINDOWEVENT_FOCUS_GAINED);
                if (ev.window.event == SDL_WINDOWEVENT_EXPOSED ||
                    ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                    exposeAll = true;
                break;
            // Window positions reach the game in its own pixels. The black border around the
            // game in a fullscreen window is not part of it: presses there are ignored, and so
            // is moving there with no button held; a drag the game started goes on outside.
            // A touch screen's fingers come as fingers (below), never also as the mouse.
            case SDL_MOUSEMOTION: {
                if (ev.motion.which == SDL_TOUCH_MOUSEID) break;
                int x, y;
                if (view_.ToFrame(ev.motion.x, ev.motion.y, x, y) || buttons_ != 0) {
                    if (ev.motion.xrel != 0 || ev.motion.yrel != 0) pointer_.MouseUsed(x, y);
                    session_.Dispatch(TDispatch::MouseMove(x, y, Shift()));
                }
                break;
            }
            case SDL_MOUSEBUTTONDOWN: {
                int x, y;
                if (ev.button.which == SDL_TOUCH_MOUSEID || !ButtonOf(ev.button.button, button) ||
                    !view_.ToFrame(ev.button.x, ev.button.y, x, y))
                    break;
                buttons_ |= SDL_BUTTON(ev.button.button);
                pointer_.MouseUsed(x, y);
                session_.Dispatch(TDispatch::MouseDown(x, y, button, Shift()));
                break;
            }
            case SDL_MOUSEBUTTONUP: {
                // Only the release of a press the game saw.
                if (ev.button.which == SDL_TOUCH_MOUSEID || !ButtonOf(ev.button.button, button) ||
                    (buttons_ & SDL_BUTTON(ev.button.button)) == 0)
                    break;
                int x, y;
                view_.ToFrame(ev.button.x, ev.button.y, x, y);
                buttons_ &= ~SDL_BUTTON(ev.button.button);
                session_.Dispatch(TDispatch::MouseUp(x, y, button, Shift()));
                break;
            }
            // The first finger down acts, until it lifts; others are ignored. Where a game pixel
            // is shown at least as large as a pixel of the screen, the game's tiles and items are
            // large enough to tap directly; below that the finger carries the pointer.
            case SDL_FINGERDOWN:
            case SDL_FINGERMOTION:
            case SDL_FINGERUP: {
                if (finger_ ? ev.tfinger.fingerId != *finger_ : ev.type != SDL_FINGERDOWN) break;
                int w = 0, h = 0, x = 0, y = 0;
                SDL_GetWindowSize(window_, &w, &h);
                const bool inside = view_.ToFrame(int(std::floor(ev.tfinger.x * float(w))),
                                                  int(std::floor(ev.tfinger.y * float(h))), x, y);
                if (ev.type == SDL_FINGERDOWN) {
                    const bool direct = shownScale_.value_or(double(view_.scale)) >= 1;
                    // As with the mouse, the border around a fullscreen game takes no press.
                    if (direct && !inside) break;
                    finger_ = ev.tfinger.fingerId;
                    pointer_.TouchDown(x, y, direct);
                } else if (ev.type == SDL_FINGERMOTION) {
                    pointer_.TouchMove(x, y);
                } else {
                    finger_.reset();
                    pointer_.TouchUp(x, y);
                }
                break;
            }
            case SDL_KEYDOWN: {
                // F11 and Alt+Enter switch between the window and fullscreen. They are keys,
                // not typed characters: the game's key handler never sees them, nor the
                // character a keyboard layout may type for Enter.
                const SDL_Keycode key = ev.key.keysym.sym;
                const bool alt = (ev.key.keysym.mod & KMOD_ALT) != 0;
                swallowText_ =
                    key == SDLK_F11 || (alt && (key == SDLK_RETURN || key == SDLK_KP_ENTER));
                if (swallowText_ && ev.key.repeat == 0) {
                    ToggleFullscreen();
                    break;
                }
                const auto hostKey = HostKeyOf(key);
                if (hostKey) swallowText_ = session_.HostKey(*hostKey);
                // The pad's and the keyboard's pointer: the keys the session did not take.
                if (!hostKey || !swallowText_) pointerInput_.HandleKey(ev.key);
                break;
            }
            case SDL_KEYUP:
                // Whatever a swallowed key typed has arrived by its release.
                swallowText_ = false;
                pointerInput_.HandleKey(ev.key);
                break;
            case SDL_TEXTINPUT:
                if (swallowText_) {
                    swallowText_ = false;
                    break;
                }
                for (const char* c = ev.text.text; *c; ++c)
                    if (static_cast<unsigned char>(*c) < 128 && !TSdlPointerInput::TakesText(*c))
                        session_.Dispatch(TDispatch::Key(*c));
                break;
            default:
                if (pointerInput_.HandlePad(ev)) break;
                if (audio_ && ev.type == audio_->FinishedEventType() && ev.type != 0 &&
                    audio_->HandleFinished(ev.user.code))
                    session_.Dispatch(TDispatch::MusicFinished(ev.user.code));
                break;
        }
        return true;
    }

    // The keys that type no character the game reads, which a session may use.
    static std::optional<THostKey> HostKeyOf(SDL_Keycode key) {
        switch (key) {
            case SDLK_LEFT:
                return THostKey::Left;
            case SDLK_RIGHT:
                return THostKey::Right;
            case SDLK_UP:
                return THostKey::Up;
            case SDLK_DOWN:
                return THostKey::Down;
            case SDLK_HOME:
                return THostKey::Home;
            case SDLK_END:
                return THostKey::End;
            case SDLK_RETURN:
            case SDLK_KP_ENTER:
                return THostKey::Enter;
            case SDLK_ESCAPE:
                return THostKey::Escape;
            default:
                return std::nullopt;
        }
    }

    // Composes what changed and copies those rectangles to the window, each frame pixel a
    // block of scale × scale window pixels. The window's size decides the scale: at its
    // opening size the frame fills it; in fullscreen the frame is centred on black.
    void Paint(bool all) {
        const uint64_t t0 = SDL_GetPerformanceCounter();
        // The session's window may be made anew (a replay played again from its start).
        TForm& form = session_.Form();
        std::vector<TRect> rects = form.Compose();
        // What the session draws over the frame (the front end's menus) comes with it.
        const TPicture& frame = session_.Shown(rects);
        const uint64_t t1 = SDL_GetPerformanceCounter();
        // The pointer's highlight moved: the frame is shown again where it was, and it is
        // drawn where it is now.
        const std::optional<TRect> highlight = pointer_.Highlight();
        if (highlight != highlight_) {
            if (highlight_) rects.push_back(*highlight_);
            if (highlight) rects.push_back(*highlight);
            highlight_ = highlight;
        }
        if (pointer_.InUse() != cursorHidden_) {
            cursorHidden_ = pointer_.InUse();
            SDL_ShowCursor(cursorHidden_ ? SDL_DISABLE : SDL_ENABLE);
        }
        if (rects.empty() && !all) return;
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (!surface) return;
        const TViewport view =
            CentredViewport(surface->w, surface->h, frame.Width(), frame.Height());
        const bool moved = view.scale != view_.scale || view.left != view_.left ||
                           view.top != view_.top || surface->w != surfaceW_ ||
                           surface->h != surfaceH_;
        view_ = view;
        surfaceW_ = surface->w;
        surfaceH_ = surface->h;
        std::vector<SDL_Rect> sdlRects;
        if (all || moved) {
            rects.assign(1, TRect{0, 0, frame.Width(), frame.Height()});
            // The border around the game, if any, is black.
            if (view.Width() < surface->w || view.Height() < surface->h) {
                SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
                sdlRects.push_back({0, 0, surface->w, surface->h});
            }
        }
        // Frame rectangles, kept to the part of the frame the window shows.
        std::vector<SDL_Rect> frameRects;
        frameRects.reserve(rects.size());
        const TRect shown{0, 0, std::min(frame.Width(), (surface->w - view.left) / view.scale),
                          std::min(frame.Height(), (surface->h - view.top) / view.scale)};
        for (const TRect& r : rects) {
            const TRect c = r.Intersect(shown);
            if (!c.Empty()) frameRects.push_back({c.left, c.top, c.Width(), c.Height()});
        }
        // 32-bit surfaces with the frame's channel order take our own enlarging row copies;
        // anything else is converted and enlarged by SDL's blitter.
        if (surface->format->format == SDL_PIXELFORMAT_ARGB8888 ||
            surface->format->format == SDL_PIXELFORMAT_RGB888) {
            SDL_LockSurface(surface);
            for (const SDL_Rect& r : frameRects)
                ScaleRect(frame.Bits(), frame.Width() * 4, static_cast<uint32_t*>(surface->pixels),
                          surface->pitch, view, r.x, r.y, r.w, r.h);
            SDL_UnlockSurface(surface);
        } else if (SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
                       const_cast<TColor32*>(frame.Bits()), frame.Width(), frame.Height(), 32,
                       frame.Width() * 4, SDL_PIXELFORMAT_ARGB8888)) {
            for (SDL_Rect& r : frameRects) {
                SDL_Rect dst = WindowRect(view, r);
                SDL_BlitScaled(source, &r, surface, &dst);
            }
            SDL_FreeSurface(source);
        }
        if (highlight_) DrawHighlight(surface, view, *highlight_, frameRects);
        if (sdlRects.empty())
            for (const SDL_Rect& r : frameRects) sdlRects.push_back(WindowRect(view, r));
        SDL_UpdateWindowSurfaceRects(window_, sdlRects.data(), int(sdlRects.size()));
        const uint64_t t2 = SDL_GetPerformanceCounter();
        if (stats_.enabled) {
            ++stats_.frames;
            stats_.composeTicks += t1 - t0;
            stats_.presentTicks += t2 - t1;
            for (const SDL_Rect& sr : sdlRects) stats_.pixels += uint64_t(sr.w) * uint64_t(sr.h);
        }
    }

    // The highlight over the frame just copied, wherever that copy touched it: a yellow frame
    // two game pixels wide inside a dark line, in whole game pixels at any scale.
    static void DrawHighlight(SDL_Surface* surface, const TViewport& view, const TRect& h,
                              const std::vector<SDL_Rect>& copied) {
        const SDL_Rect hr{h.left, h.top, h.Width(), h.Height()};
        bool touched = false;
        for (const SDL_Rect& r : copied) touched = touched || SDL_HasIntersection(&r, &hr);
        if (!touched) return;
        const auto ring = [&](int inset, int width, Uint32 colour) {
            const int l = h.left + inset, t = h.top + inset, w = h.Width() - 2 * inset,
                      hh = h.Height() - 2 * inset;
            const SDL_Rect sides[4] = {{l, t, w, width},
                                       {l, t + hh - width, w, width},
                                       {l, t, width, hh},
                                       {l + w - width, t, width, hh}};
            for (const SDL_Rect& side : sides) {
                SDL_Rect r = WindowRect(view, side);
                SDL_FillRect(surface, &r, colour);
            }
        };
        ring(0, 1, SDL_MapRGB(surface->format, 24, 16, 0));
        ring(1, 2, SDL_MapRGB(surface->format, 255, 214, 0));
        ring(3, 1, SDL_MapRGB(surface->format, 24, 16, 0));
    }

    static SDL_Rect WindowRect(const TViewport& view, const SDL_Rect& r) {
        return {view.left + r.x * view.scale, view.top + r.y * view.scale, r.w * view.scale,
                r.h * view.scale};
    }

    SDL_Window* window_;
    IWindowSession& session_;
    TSdlAudio* audio_;
    // Where the frame is in the window, as last painted; mouse positions are mapped through it.
    TViewport view_;
    int surfaceW_ = 0, surfaceH_ = 0;
    // Set by the fullscreen keys, so that a character typed with them is not passed on.
    bool swallowText_ = false;
    // The buttons whose press reached the game.
    uint32_t buttons_ = 0;
    std::string shownCaption_;
    bool exposeAll_ = true;
    TFrameStats stats_;
    // The pad's and the keyboard's pointer, and its highlight as last drawn.
    TGridPointer pointer_{[this] {
                              return session_.TakesInput() ? dynamic_cast<TForm1*>(&session_.Form())
                                                           : nullptr;
                          },
                          [this](const TDispatch& d) { session_.Dispatch(d); },
                          [this] { return session_.PointerItems(); },
                          [this](THostKey key) { return session_.HostKey(key); }};
    TSdlPointerInput pointerInput_{pointer_, [] { return SDL_GetTicks64(); }};
    std::optional<TRect> highlight_;
    bool cursorHidden_ = false;
    // The finger that acts, while it is down.
    std::optional<SDL_FingerID> finger_;
    std::optional<double> shownScale_;
};

// The window's scale: QUORVATIDE_SCALE when set, else the largest that fits the usable area of
// the display the window opens on (the first one, where a centred window goes).
int WindowScale(int frameW, int frameH) {
    SDL_Rect area{0, 0, frameW, frameH};
    if (SDL_GetDisplayUsableBounds(0, &area) != 0) SDL_GetDisplayBounds(0, &area);
    const TScaleChoice choice =
        ChooseWindowScale(area.w, area.h, frameW, frameH, std::getenv("QUORVATIDE_SCALE"));
    if (!choice.warning.empty()) std::fprintf(stderr, "%s\n", choice.warning.c_str());
    return choice.scale;
}

// The window's icon, the one the desktop menu shows, from the Assets folder; none without it.
void SetIcon(SDL_Window* window, const std::string& assetDir) {
    TPicture icon, mask;
    if (!icon.LoadFromFile(SdlFiles(), assetDir + "icon.bmp")) return;
    if (mask.LoadFromFile(SdlFiles(), assetDir + "iconA.bmp")) icon.IntensityToAlpha(mask);
    if (SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<TColor32*>(icon.Bits()), icon.Width(), icon.Height(), 32, icon.Width() * 4,
            SDL_PIXELFORMAT_ARGB8888)) {
        SDL_SetWindowIcon(window, surface);
        SDL_FreeSurface(surface);
    }
}

}  // namespace

bool ShowErrorBox(const char* title, const char* text) {
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, nullptr) == 0;
}

// What a session may ask of the window (the player's options), once it is open.
class TRunWindow : public IHostWindow {
public:
    explicit TRunWindow(TWindowRun& run) : run_(run) {}
    bool Fullscreen() override;
    void SetFullscreen(bool fullscreen) override;
    int Scale() override;
    int MaxScale() override;
    void SetScale(int scale) override;
    bool CanClose() override;
    void Close() override;
    bool ShowFolder(const std::string& folder) override;
    bool Share(const std::string& line, const std::string& file) override;

private:
    TWindowRun& run_;
};

struct TWindowRun {
    TRunWindow controls{*this};
    TWindowOptions options;
    // The window's whole-number scale in the window (not in fullscreen).
    int scale = 1;
    TSdlAudio sdlAudio;
    TSilentAudio silence;
    bool haveAudio = false;
    TSdlClock clock;
    TUserFolders folders = NativeUserFolders();
    std::optional<TPlatform> platform;
    std::unique_ptr<IWindowSession> session;
    SDL_Window* window = nullptr;
    std::optional<THost> host;
};

void TWindowRunDeleter::operator()(TWindowRun* run) const {
    if (!run) return;
    run->host.reset();
    run->session.reset();  // FormDestroy, while the audio device is still open
    if (run->window) SDL_DestroyWindow(run->window);
    delete run;
    SDL_Quit();
}

TWindowRunPtr OpenWindowRun(const TSessionFactory& createSession, int& exitCode,
                            const TWindowOptions& options) {
    exitCode = 0;
    // Fingers are handled as fingers (THost::Handle), not as SDL's mouse made of them.
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "quorvatide: cannot open the game window: no usable display (%s)\n",
                     SDL_GetError());
        exitCode = 1;
        return nullptr;
    }
    TWindowRunPtr run(new TWindowRun);
    run->options = options;
    run->haveAudio = run->sdlAudio.Open();
    if (options.musicFile) run->sdlAudio.SetMusicFile(options.musicFile);
    run->platform.emplace(
        TPlatform{run->clock, run->haveAudio ? static_cast<IAudio&>(run->sdlAudio) : run->silence,
                  SdlFiles(), ExecutableDir(), run->folders.config, run->folders.state});
    run->platform->window = &run->controls;
    TPlatform& platform = *run->platform;
    run->session = createSession(platform);
    if (!run->session) {
        exitCode = 1;
        return nullptr;
    }
    IWindowSession& session = *run->session;
    const TForm& form = session.Form();
    // The game composes its own frames: the window surface should be the system's plain
    // framebuffer (shared memory on X11), not one emulated through a GPU renderer, which under
    // software OpenGL costs about ten times as much per frame.
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    // The game draws at its own size; the window shows it enlarged by a whole number, so that
    // every pixel stays sharp, and keeps that size.
    const int scale = WindowScale(form.Width(), form.Height());
    run->scale = scale;
    run->window =
        SDL_CreateWindow(session.Caption().c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         form.Width() * scale, form.Height() * scale, SDL_WINDOW_SHOWN);
    if (!run->window) {
        std::fprintf(stderr, "quorvatide: cannot open the game window: %s\n", SDL_GetError());
        exitCode = 1;
        session.Close();
        return nullptr;
    }
    SetIcon(run->window, platform.exeDir + "Assets/");
    run->host.emplace(run->window, session, run->haveAudio ? &run->sdlAudio : nullptr);
    SDL_StartTextInput();
    return run;
}

bool StepWindowRun(TWindowRun& run, bool wait) {
    return run.host->Step(wait);
}

void RescaleWindowRun(TWindowRun& run, int scale) {
    run.scale = scale;
    run.host->Rescale(scale);
}

bool TRunWindow::Fullscreen() {
    return run_.window && (SDL_GetWindowFlags(run_.window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
}

void TRunWindow::SetFullscreen(bool fullscreen) {
    if (run_.host && fullscreen != Fullscreen()) run_.host->ToggleFullscreen();
}

int TRunWindow::Scale() {
    return run_.scale;
}

int TRunWindow::MaxScale() {
    // The page's size decides its scale.
    if (run_.options.inPage || !run_.session) return run_.scale;
    const TForm& form = run_.session->Form();
    SDL_Rect area{0, 0, form.Width(), form.Height()};
    if (SDL_GetDisplayUsableBounds(0, &area) != 0) SDL_GetDisplayBounds(0, &area);
    return ChooseWindowScale(area.w, area.h, form.Width(), form.Height(), nullptr).scale;
}

void TRunWindow::SetScale(int scale) {
    if (run_.options.inPage || !run_.host) return;
    RescaleWindowRun(run_, std::clamp(scale, 1, MaxScale()));
}

bool TRunWindow::CanClose() {
    return !run_.options.inPage;
}

void TRunWindow::Close() {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

bool TRunWindow::ShowFolder(const std::string& folder) {
    return !run_.options.inPage && SDL_OpenURL(("file://" + folder).c_str()) == 0;
}

bool TRunWindow::Share(const std::string& line, const std::string& file) {
    if (run_.options.share) return run_.options.share(line, file);
    if (run_.options.inPage) return false;
    const bool copied = SDL_SetClipboardText(line.c_str()) == 0;
    const size_t slash = file.find_last_of("/\\");
    const bool shown = slash != std::string::npos && ShowFolder(file.substr(0, slash + 1));
    return copied || shown;
}

void ToggleFullscreen(TWindowRun& run) {
    run.host->ToggleFullscreen();
}

void SetShownScale(TWindowRun& run, double scale) {
    run.host->SetShownScale(scale);
}

TGridPointer& PointerOf(TWindowRun& run) {
    return run.host->Pointer();
}

TSdlAudio& AudioOf(TWindowRun& run) {
    return run.sdlAudio;
}

IWindowSession& SessionOf(TWindowRun& run) {
    return *run.session;
}

int FinishWindowRun(TWindowRunPtr run) {
    run->host->Finish();
    int exitCode = run->session->ExitStatus();
    run.reset();
    return exitCode;
}

void PrintFrameStats(TWindowRun& run) {
    run.host->PrintStats();
}
