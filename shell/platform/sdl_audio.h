// Sound through SDL_mixer: effects on one mixing channel (a new one cuts off the old), and the
// two music players on a channel each.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "shell/toolkit/platform.h"

struct Mix_Chunk;

class TSdlAudio : public IAudio {
public:
    TSdlAudio() = default;
    ~TSdlAudio() override;
    TSdlAudio(const TSdlAudio&) = delete;
    TSdlAudio& operator=(const TSdlAudio&) = delete;

    // Opens the audio device; false when there is none (the game then runs silently).
    bool Open();
    // The SDL event type that reports the end of a music player's playback (code = player).
    uint32_t FinishedEventType() const { return finishedEvent_; }
    // Called on the main thread for each such event; true when the track played to its end
    // (and the game should be told), false for a halt the game caused itself.
    bool HandleFinished(int player);

    void PlaySound(const std::string& path) override;
    bool MusicOpen(int player, const std::string& path) override;
    bool MusicPlay(int player) override;
    bool MusicStop(int player) override;
    bool MusicClose(int player) override;
    bool MusicIsOpen(int player) override;
    int64_t MusicPosition(int player) override;
    int64_t MusicLength(int player) override;

private:
    struct Track {
        Mix_Chunk* chunk = nullptr;
        int64_t lengthMs = 0;
        int64_t playedMs = 0;    // position when last paused or stopped
        uint64_t startedAt = 0;  // clock when playback last (re)started
        bool playing = false;
        bool paused = false;   // stopped part-way, resumable
        int ignoreFinish = 0;  // halts we caused ourselves
    };
    Track* TrackOf(int player);
    void Halt(int player, Track& t);

    bool open_ = false;
    uint32_t finishedEvent_ = 0;
    std::map<std::string, Mix_Chunk*> sounds_;
    Track tracks_[2];
};
