#include "shell/platform/sdl_audio.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace {

constexpr int kEffectChannel = 0;
constexpr int kFirstMusicChannel = 1;  // players 0 and 1 on channels 1 and 2
uint32_t gFinishedEvent = 0;

// Runs on the mixer's thread (or inside a halt): only posts an event to the main loop.
void OnChannelFinished(int channel) {
    if (channel < kFirstMusicChannel || channel > kFirstMusicChannel + 1 || gFinishedEvent == 0)
        return;
    SDL_Event ev{};
    ev.type = gFinishedEvent;
    ev.user.code = channel - kFirstMusicChannel;
    SDL_PushEvent(&ev);
}

int64_t LengthMs(const Mix_Chunk* chunk) {
    int freq = 0, channels = 0;
    Uint16 format = 0;
    if (!Mix_QuerySpec(&freq, &format, &channels) || freq <= 0 || channels <= 0) return 0;
    const int64_t bytesPerFrame = int64_t(SDL_AUDIO_BITSIZE(format) / 8) * channels;
    return int64_t(chunk->alen) * 1000 / (bytesPerFrame * freq);
}

}  // namespace

TSdlAudio::~TSdlAudio() {
    if (!open_) return;
    Mix_ChannelFinished(nullptr);
    Mix_HaltChannel(-1);
    for (Track& t : tracks_)
        if (t.chunk) Mix_FreeChunk(t.chunk);
    for (auto& [path, chunk] : sounds_)
        if (chunk) Mix_FreeChunk(chunk);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

namespace {

// Sound libraries complain on stderr, line after line, while they look for a device that is not
// there; without one the game simply plays silently, so their complaints are kept quiet.
class TQuietStderr {
public:
    TQuietStderr() : saved_(dup(STDERR_FILENO)) {
        const int null = open("/dev/null", O_WRONLY);
        if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
        if (null >= 0) close(null);
    }
    ~TQuietStderr() {
        if (saved_ < 0) return;
        dup2(saved_, STDERR_FILENO);
        close(saved_);
    }
    TQuietStderr(const TQuietStderr&) = delete;
    TQuietStderr& operator=(const TQuietStderr&) = delete;

private:
    int saved_;
};

}  // namespace

bool TSdlAudio::Open() {
    TQuietStderr quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(3);
    finishedEvent_ = gFinishedEvent = SDL_RegisterEvents(1);
    Mix_ChannelFinished(OnChannelFinished);
    open_ = true;
    return true;
}

void TSdlAudio::PlaySound(const std::string& path) {
    if (!open_) return;
    auto found = sounds_.find(path);
    if (found == sounds_.end()) {
        Mix_Chunk* chunk =
            std::filesystem::is_regular_file(path) ? Mix_LoadWAV(path.c_str()) : nullptr;
        found = sounds_.emplace(path, chunk).first;
    }
    if (!found->second) return;
    Mix_HaltChannel(kEffectChannel);
    Mix_PlayChannel(kEffectChannel, found->second, 0);
}

TSdlAudio::Track* TSdlAudio::TrackOf(int player) {
    if (!open_ || player < 0 || player > 1) return nullptr;
    return &tracks_[player];
}

void TSdlAudio::Halt(int player, Track& t) {
    if (Mix_Playing(kFirstMusicChannel + player)) {
        ++t.ignoreFinish;
        Mix_HaltChannel(kFirstMusicChannel + player);
    }
}

bool TSdlAudio::MusicOpen(int player, const std::string& path) {
    Track* t = TrackOf(player);
    if (!t) return false;
    MusicClose(player);
    if (!std::filesystem::is_regular_file(path)) return false;
    t->chunk = Mix_LoadWAV(path.c_str());
    if (!t->chunk) return false;
    t->lengthMs = LengthMs(t->chunk);
    t->playedMs = 0;
    t->playing = t->paused = false;
    return true;
}

bool TSdlAudio::MusicPlay(int player) {
    Track* t = TrackOf(player);
    if (!t || !t->chunk) return false;
    if (t->playing) return true;
    const int channel = kFirstMusicChannel + player;
    // A paused channel still counts as playing; one whose end came while it was paused (or
    // just before) has nothing left to resume and starts over.
    if (t->paused && t->playedMs < t->lengthMs && Mix_Playing(channel)) {
        Mix_Resume(channel);
    } else {
        Halt(player, *t);
        t->playedMs = 0;
        if (Mix_PlayChannel(channel, t->chunk, 0) < 0) return false;
    }
    t->startedAt = SDL_GetTicks64();
    t->playing = true;
    t->paused = false;
    return true;
}

bool TSdlAudio::MusicStop(int player) {
    Track* t = TrackOf(player);
    if (!t || !t->chunk) return false;
    if (t->playing) {
        const int channel = kFirstMusicChannel + player;
        // The track may have ended already, its end not yet handled: then it stops at its end.
        t->playedMs = Mix_Playing(channel) ? MusicPosition(player) : t->lengthMs;
        Mix_Pause(channel);
        t->playing = false;
        t->paused = true;
    }
    return true;
}

bool TSdlAudio::MusicClose(int player) {
    Track* t = TrackOf(player);
    if (!t || !t->chunk) return false;
    Halt(player, *t);
    Mix_FreeChunk(t->chunk);
    *t = Track{0, 0, 0, 0, false, false, t->ignoreFinish};
    return true;
}

bool TSdlAudio::MusicIsOpen(int player) {
    Track* t = TrackOf(player);
    return t && t->chunk;
}

int64_t TSdlAudio::MusicPosition(int player) {
    Track* t = TrackOf(player);
    if (!t || !t->chunk) return 0;
    if (!t->playing) return t->playedMs;
    return std::min(t->lengthMs, t->playedMs + int64_t(SDL_GetTicks64() - t->startedAt));
}

int64_t TSdlAudio::MusicLength(int player) {
    Track* t = TrackOf(player);
    return t && t->chunk ? t->lengthMs : 0;
}

bool TSdlAudio::HandleFinished(int player) {
    Track* t = TrackOf(player);
    if (!t) return false;
    if (t->ignoreFinish > 0) {
        --t->ignoreFinish;
        return false;
    }
    // The end of a track that was closed or replaced meanwhile, reported after the new one
    // began playing on the channel, is no end of the present one.
    if (!t->chunk || !t->playing || Mix_Playing(kFirstMusicChannel + player)) return false;
    t->playing = false;
    t->paused = false;
    t->playedMs = t->lengthMs;
    return true;
}
