// Runs a window in a real SDL window until it is closed.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "toolkit/session.h"

// Makes the window's session (and with it the window) on the host's real platform.
using TSessionFactory = std::function<std::unique_ptr<IWindowSession>(TPlatform&)>;

// Opens the display and the audio device, creates the session, shows its window and runs its
// events and timers until the window is closed (or SIGINT, SIGTERM or SIGHUP arrives: see
// EndOnHangUpAsOnTerm); then closes the session and destroys it. Returns the program's exit
// code: non-zero, with one line on stderr, when there is no display, or when the factory makes
// no session. Each platform drives the window its own way (sdl_desktop.cpp: a loop that sleeps
// until something is due; web_host.cpp: the browser's frames, where this returns at once and
// the page runs on).
int RunWindow(const TSessionFactory& createSession);

// The folder of the running executable, ending in a separator.
std::string ExecutableDir();

// An error's message box (SDL's), for the crash report's dialog; false when it cannot be shown.
bool ShowErrorBox(const char* title, const char* text);

// ---------------------------------------------------------------- the window's steps, for drivers

// The display, the audio device, the clock, the session and its window, for one run.
struct TWindowRun;
class TSdlAudio;
class TGridPointer;
struct TWindowRunDeleter {
    // Destroys the session (FormDestroy, while the audio device is open) and the window, and
    // closes SDL.
    void operator()(TWindowRun* run) const;
};
using TWindowRunPtr = std::unique_ptr<TWindowRun, TWindowRunDeleter>;

// What a platform changes in the run.
struct TWindowOptions {
    // The file to play for a music track the game names (see TSdlAudio::SetMusicFile).
    std::function<std::string(const std::string& path)> musicFile;
    // The window is a page's canvas: the page decides its scale, and nothing closes it.
    bool inPage = false;
    // How a line and a file are handed to the player (IHostWindow::Share), when not as on the
    // desktop (the clipboard and the file's folder shown).
    std::function<bool(const std::string& line, const std::string& file)> share;
};

// Opens SDL, the audio device and the window of the session `createSession` makes. Null, with
// `exitCode` set and one line on stderr, when it cannot.
TWindowRunPtr OpenWindowRun(const TSessionFactory& createSession, int& exitCode,
                            const TWindowOptions& options = {});
// One round: paints what changed; when `wait`, sleeps until an event comes or the session has
// something due; handles the events and runs what is due. False once the window is to close.
bool StepWindowRun(TWindowRun& run, bool wait);
// Shows the game enlarged `scale` times, the window made to its size.
void RescaleWindowRun(TWindowRun& run, int scale);
// Between the window and fullscreen (F11, Alt+Enter).
void ToggleFullscreen(TWindowRun& run);
// How large one game pixel is on the screen, in the units a finger is measured in (the page's
// CSS pixels), where something other than the window scales it: the page shows its window
// smoothly smaller than 1× on a small screen. Touch decides by it: from 1 up a tap is the
// mouse's click, below 1 the finger carries the pointer. Unset, the window's own scale.
void SetShownScale(TWindowRun& run, double scale);
// The pad's, the keys' and the finger's pointer.
TGridPointer& PointerOf(TWindowRun& run);
// The run's sound and music (closed when there was no audio device).
TSdlAudio& AudioOf(TWindowRun& run);
IWindowSession& SessionOf(TWindowRun& run);
// With QUORVATIDE_FRAME_STATS set, the frames' compose and present times so far, on stderr.
void PrintFrameStats(TWindowRun& run);
// Closes the session, then everything else; returns the session's exit status.
int FinishWindowRun(TWindowRunPtr run);
