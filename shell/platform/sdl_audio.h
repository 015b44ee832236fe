// Sound through SDL_mixer: effects on one mixing channel (a new one cuts off the old), and the
// two music players mixed into the music stream, each read from its file as it plays rather
// than decoded whole into memory.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "shell/toolkit/platform.h"

struct Mix_Chunk;
class TMusicSource;

class TSdlAudio : public IAudio {
public:
    TSdlAudio();
    ~TSdlAudio() override;
    TSdlAudio(const TSdlAudio&) = delete;
    TSdlAudio& operator=(const TSdlAudio&) = delete;

    // Opens the audio device; false when there is none (the game then runs silently).
    bool Open();
    // The SDL event type that reports the end of a music player's playback (code = player).
    uint32_t FinishedEventType() const { return finishedEvent_; }
    // Called on the main thread for each such event; true when the track played to its end
    // (and the game should be told), false for a report about a track that was stopped,
    // closed or replaced since.
    bool HandleFinished(int player);

    void PlaySound(const std::string& path) override;
    bool MusicOpen(int player, const std::string& path) override;
    bool MusicPlay(int player) override;
    bool MusicStop(int player) override;
    bool MusicClose(int player) override;
    bool MusicIsOpen(int player) override;
    int64_t MusicPosition(int player) override;
    int64_t MusicLength(int player) override;

    // Fills the mixer's music stream with the playing tracks (on the mixer's thread).
    void Mix(uint8_t* stream, int len);

private:
    struct Track {
        std::unique_ptr<TMusicSource> source;
        int64_t lengthMs = 0;
        int64_t playedMs = 0;    // position when last paused or stopped
        uint64_t startedAt = 0;  // clock when playback last (re)started
        bool playing = false;
        bool paused = false;  // stopped part-way, resumable
        bool ended = false;   // the mixer has played the last of it
    };
    Track* TrackOf(int player);
    int64_t PositionOf(const Track& t) const;

    bool open_ = false;
    uint32_t finishedEvent_ = 0;
    // The device's format, which the tracks are converted to.
    int freq_ = 0, channels_ = 0;
    uint16_t format_ = 0;
    std::map<std::string, Mix_Chunk*> sounds_;
    // Guards the tracks against the mixer's thread.
    std::mutex mutex_;
    Track tracks_[2];
    std::vector<uint8_t> mixBuffer_;
};
