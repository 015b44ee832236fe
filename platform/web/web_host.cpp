// The browser's drive of the window: the page's frames (emscripten_set_main_loop, one round of
// the window each, never blocking) run the same steps as the desktop's loop. The page's script
// (platform/web/pre.js) calls in here: the scale that fits the browser's window, the pointer
// a finger carries for the page's magnifier, the pause and fullscreen buttons, the tab hidden, the
// session's replay for its download button and for the page's saves, the music fetched after the
// splash, a replay checked (a daily challenge's proven) and a daily score shared.
//
// A hidden tab gets no frames, so the game would stand still with its clock running on: when
// the tab is hidden during play the game is paused as the P key pauses it (the key goes in
// through the session, so the replay holds it), and the player finds the pause panel on coming
// back and takes it away with P.
#include <SDL2/SDL.h>
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <string>

#include "core/form1.h"
#include "platform/native.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_host.h"
#include "replay/check.h"
#include "replay/playback_session.h"
#include "replay/recording_session.h"
#include "shell/grid_pointer.h"
#include "shell/screen_name.h"

namespace {

TWindowRunPtr gRun;
int gExitCode = 0;
std::string gLastScreen;

TRecordingSession* Recording() {
    return gRun ? dynamic_cast<TRecordingSession*>(&SessionOf(*gRun).Playing()) : nullptr;
}

TPlaybackSession* TakenOver() {
    auto* playback = gRun ? dynamic_cast<TPlaybackSession*>(&SessionOf(*gRun)) : nullptr;
    return playback && playback->Live() ? playback : nullptr;
}

// The recorder of live play: the session's own, or that of a watched replay taken over; none
// while a replay is only watched.
TSessionRecorder* LiveRecorder() {
    if (TRecordingSession* recording = Recording()) return &recording->Recorder();
    TPlaybackSession* playback = TakenOver();
    return playback ? &playback->Replayed().Recorder() : nullptr;
}

// The game of live play, as LiveRecorder's.
TForm1* LiveGame() {
    if (TRecordingSession* recording = Recording()) return &recording->Game();
    TPlaybackSession* playback = TakenOver();
    return playback ? &playback->Replayed().Game() : nullptr;
}

void Step() {
    if (!StepWindowRun(*gRun, false)) {
        emscripten_cancel_main_loop();
        gExitCode = FinishWindowRun(std::move(gRun));
        EM_ASM(
            {
                if (Module.qvClosed) Module.qvClosed($0);
            },
            gExitCode);
        return;
    }
    // The player's files go to the browser's storage at the end of each game of live play.
    if (TForm1* live = LiveGame()) {
        const char* screen = ScreenName(*live);
        if (gLastScreen != screen) {
            gLastScreen = screen;
            if (gLastScreen == "game over")
                EM_ASM({
                    if (Module.qvSave) Module.qvSave();
                });
        }
    }
}

void Frame() {
    if (!gRun) return;
    // An exception nobody catches ends the program as on the desktop, through std::terminate
    // and its crash report, not as a script error in the page.
    try {
        Step();
    } catch (...) {
        std::terminate();
    }
}

}  // namespace

std::string ExecutableDir() {
    // Under node, beside the program's script; in the page, the root of the preloaded files.
    const int address = EM_ASM_INT({
        var d = (typeof process == 'object' && process.versions && process.versions.node)
                    ? scriptDirectory
                    : '/';
        if (!d.endsWith('/')) d += '/';
        return allocateUTF8(d);
    });
    char* dir = reinterpret_cast<char*>(static_cast<uintptr_t>(address));
    std::string result = dir ? dir : "/";
    std::free(dir);
    return result;
}

int RunWindow(const TSessionFactory& createSession) {
    int exitCode = 0;
    // The page carries the music as Ogg Vorbis (a seventeenth of the WAV's size), which the
    // mixer decodes; the game still names its WAV tracks. The tracks come after the game has
    // started (qv_web_music_arrived), so that the splash never waits for them.
    TWindowOptions options;
    options.inPage = true;
    options.musicFile = [](const std::string& path) {
        if (path.size() > 4 && path.compare(path.size() - 4, 4, ".wav") == 0) {
            const std::string ogg = path.substr(0, path.size() - 4) + ".ogg";
            if (NativeFiles().IsFile(ogg)) return ogg;
        }
        return path;
    };
    // A daily score shared: the line under the game, the replay downloaded (pre.js).
    options.share = [](const std::string& line, const std::string& file) {
        return EM_ASM_INT(
                   {
                       return Module.qvShare ? Module.qvShare(UTF8ToString($0), UTF8ToString($1))
                                             : 0;
                   },
                   line.c_str(), file.c_str()) != 0;
    };
    gRun = OpenWindowRun(createSession, exitCode, options);
    if (!gRun) return exitCode;
    EM_ASM({
        if (Module.qvStarted) Module.qvStarted();
    });
    // The browser calls the frame at its display's rate and not at all in a hidden tab; main
    // returns and the page runs on.
    emscripten_set_main_loop(Frame, 0, false);
    return 0;
}

extern "C" {

// The page shows the game at `scale` (a whole number: the window's pixels), and one of the
// game's pixels is `shown` CSS pixels large: `scale` itself, or less where the browser shrinks
// the window smoothly to fit a small screen. Touch decides by it how a finger acts.
EMSCRIPTEN_KEEPALIVE void qv_web_rescale(int scale, double shown) {
    if (!gRun) return;
    RescaleWindowRun(*gRun, std::max(1, scale));
    SetShownScale(*gRun, shown);
}

// Where the pointer a finger carries stands, for the page's magnifier: {1, left, top, right,
// bottom} in game pixels while a finger carries it and its highlight shows, {0, ...} otherwise.
EMSCRIPTEN_KEEPALIVE const int* qv_web_pointer() {
    static int place[5];
    place[0] = 0;
    if (!gRun) return place;
    const TGridPointer& pointer = PointerOf(*gRun);
    const std::optional<TRect> highlight = pointer.Highlight();
    if (pointer.Carried() && highlight) {
        place[0] = 1;
        place[1] = highlight->left, place[2] = highlight->top;
        place[3] = highlight->right, place[4] = highlight->bottom;
    }
    return place;
}

// The page's Pause button, for a player without a keyboard: P, in play or paused.
// The menu of the front end, as the pad's menu button opens it.
EMSCRIPTEN_KEEPALIVE void qv_web_menu() {
    if (gRun) SessionOf(*gRun).HostKey(THostKey::Menu);
}

EMSCRIPTEN_KEEPALIVE void qv_web_pause() {
    TRecordingSession* recording = Recording();
    if (!recording) return;
    const char* screen = ScreenName(recording->Game());
    if (std::strcmp(screen, "play") == 0 || std::strcmp(screen, "paused") == 0)
        recording->Dispatch(TDispatch::Key('P'));
}

// For the page's test: what the player has done and what shows, as "play: signs 1 (1 built),
// orders 0, bots 2, scrap 20, menu build at 318,200" (the open menu's place, or "menu none").
EMSCRIPTEN_KEEPALIVE const char* qv_web_play_state() {
    static std::string text;
    TForm1* game = LiveGame();
    if (!game) return "";
    size_t built = 0;
    for (const auto& sign : game->lstSigns)
        if (sign->layer->Bitmap().MasterAlpha() == kBuiltSignAlpha) ++built;
    const TControl* menu = game->MenuImg->Visible()      ? game->MenuImg
                           : game->OrbMenuImg->Visible() ? game->OrbMenuImg
                                                         : nullptr;
    text = std::string(ScreenName(*game)) + ": signs " + std::to_string(game->lstSigns.size()) +
           " (" + std::to_string(built) + " built), orders " +
           std::to_string(game->lstOrders.size()) + ", bots " +
           std::to_string(game->lstBots.size()) + ", scrap " + std::to_string(game->cash) +
           ", menu " +
           (menu ? std::string(menu == game->MenuImg ? "build" : "orb") + " at " +
                       std::to_string(menu->BoundsInForm().left) + "," +
                       std::to_string(menu->BoundsInForm().top)
                 : std::string("none"));
    return text.c_str();
}

EMSCRIPTEN_KEEPALIVE void qv_web_hidden() {
    TRecordingSession* recording = Recording();
    if (recording && std::strcmp(ScreenName(recording->Game()), "play") == 0)
        recording->Dispatch(TDispatch::Key('P'));
}

// The file of the replay being recorded, or "" when none is.
EMSCRIPTEN_KEEPALIVE const char* qv_web_replay_path() {
    static std::string path;
    TSessionRecorder* recorder = LiveRecorder();
    path = recorder && recorder->Recording() ? recorder->Path() : "";
    return path.c_str();
}

// What the recorder holds, into the replay's file now: the page saves the files when it is
// hidden or left, and play must be kept up to that moment.
EMSCRIPTEN_KEEPALIVE void qv_web_flush_replay() {
    TSessionRecorder* recorder = LiveRecorder();
    if (recorder && recorder->Recording()) recorder->Writer().Flush();
}

// In debug mode, the creature log written now as the window's closing would write it; the
// file's path, for the page's download button, or "" outside debug mode.
EMSCRIPTEN_KEEPALIVE const char* qv_web_debug_log() {
    static std::string path;
    path.clear();
    TRecordingSession* recording = Recording();
    if (recording && recording->Game().settings.DEBUG != 0 && recording->Game().SaveDebugLog()) {
        const std::string& assets = recording->Game().assetDir;
        path = NativeFiles().IsFile(assets + "debug.txt")
                   ? assets + "debug.txt"
                   : recording->Game().Platform().stateDir + "debug.txt";
    }
    return path.c_str();
}

EMSCRIPTEN_KEEPALIVE void qv_web_frame_stats() {
    if (gRun) PrintFrameStats(*gRun);
}

// A track of the music is now in the game's Assets folder: what the game asked to play while it
// was not there plays now.
EMSCRIPTEN_KEEPALIVE void qv_web_music_arrived() {
    if (gRun) AudioOf(*gRun).OpenArrivedMusic();
}

// For the page's test: each music player's track and where it stands, as "0: 1234/60000 ms,
// 1: -" ("-": nothing open).
EMSCRIPTEN_KEEPALIVE const char* qv_web_music() {
    static std::string text;
    text.clear();
    if (!gRun) return "";
    TSdlAudio& audio = AudioOf(*gRun);
    for (int p = 0; p < 2; ++p) {
        text += (p ? ", " : "") + std::to_string(p) + ": ";
        text += audio.MusicIsOpen(p) ? std::to_string(audio.MusicPosition(p)) + "/" +
                                           std::to_string(audio.MusicLength(p)) + " ms"
                                     : "-";
    }
    return text.c_str();
}

EMSCRIPTEN_KEEPALIVE void qv_web_fullscreen() {
    if (gRun) ToggleFullscreen(*gRun);
}

// "Check a replay" on the page: the replay at `path` played and checked as --check-replay does,
// a daily challenge's proven; its status and line, the file named by its name alone:
// "0 daily-2026-12-09.qvr: daily 2026-12-09, try 1: score 1 234, proven".
EMSCRIPTEN_KEEPALIVE const char* qv_web_check(const char* path) {
    static std::string line;
    const std::string file = path;
    const TCheckOutcome outcome = CheckReplay(file, NativeFiles(), ExecutableDir());
    const std::string name = file.substr(file.find_last_of('/') + 1);
    const bool named = outcome.message.compare(0, file.size(), file) == 0;
    line = std::to_string(outcome.status) + " " +
           (named ? name + outcome.message.substr(file.size()) : outcome.message);
    return line.c_str();
}
}
