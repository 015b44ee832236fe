// Sound through SDL_mixer: effects on one mixing channel (a new one cuts off the old), and the
// two music players mixed into the music stream, each read from its file as it plays rather
// than decoded whole into memory.
#pragma once

#include <SDL2/SDL_audio.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "toolkit/platform.h"

struct Mix_Chunk;

// A music track's samples in the device's format, produced as the mixer asks for them.
class TMusicSource {
public:
    virtual ~TMusicSource() = default;
    // Fills up to `len` bytes; fewer once the track is over.
    virtual int Read(uint8_t* out, int len) = 0;
    // Back to the start of the track.
    virtual void Rewind() = 0;
    virtual int64_t LengthMs() const = 0;
};

// A PCM WAV file (8-, 16- or 32-bit integer or 32-bit float samples, 1 to 8 channels) read from
// disk a piece at a time, converted to a given format when its own differs. It needs no audio
// device: the real backend reads its tracks through it, and so does the wav fuzz target.
class TWavFileSource : public TMusicSource {
public:
    TWavFileSource() = default;
    ~TWavFileSource() override;
    TWavFileSource(const TWavFileSource&) = delete;
    TWavFileSource& operator=(const TWavFileSource&) = delete;

    // Reads the file's headers; false when it is no PCM WAV this reader understands. `freq`,
    // `format` and `channels` are the format to produce.
    bool Open(const std::string& path, int freq, SDL_AudioFormat format, int channels);
    // After Open: whether the file is a WAV whose format no track has (a sample rate below
    // 1000 or above 384000 Hz, or no channels, or more than 8), whatever its encoding.
    bool Unplayable() const { return unplayable_; }

    int Read(uint8_t* out, int len) override;
    void Rewind() override;
    int64_t LengthMs() const override { return lengthMs_; }
    // The whole track in the format produced, in bytes.
    int64_t LengthBytes() const { return convert_ ? convertedBytes_ : dataBytes_; }

private:
    size_t ReadFile(uint8_t* out, size_t len);

    std::FILE* file_ = nullptr;
    SDL_AudioStream* convert_ = nullptr;
    int64_t dataStart_ = 0, dataBytes_ = 0, readBytes_ = 0, lengthMs_ = 0;
    // With a conversion: the track's length in the format produced, how much of it has been
    // handed out, the bytes of the file put into the converter at a time, and the silence put
    // after the track.
    int64_t convertedBytes_ = 0, producedBytes_ = 0;
    size_t pieceBytes_ = 0, tailBytes_ = 0;
    uint8_t silence_ = 0;
    bool flushed_ = false, unplayable_ = false;
};

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
    void SetVolumes(int music, int effects) override;
    // The mixer's volumes now, 0 to SDL_MIX_MAXVOLUME: the music's, and the effects' channel's.
    int MusicMixVolume() const { return musicVolume_; }
    int EffectsMixVolume() const;

    // Fills the mixer's music stream with the playing tracks (on the mixer's thread).
    void Mix(uint8_t* stream, int len);

    // Where a platform keeps the tracks in another form (the page's music is encoded to be
    // small): the file to play for the one the game names. None: the named file itself.
    using TMusicFile = std::function<std::string(const std::string& path)>;
    void SetMusicFile(TMusicFile musicFile) { musicFile_ = std::move(musicFile); }
    // Where the music comes after the game has started (the page fetches it once the splash is
    // up): a track the game opened while its file was not there yet is opened now and played
    // from its start (the game plays every track it opens, but cannot play one that did not
    // open), or only opened when the game has stopped it since. A track closed or replaced
    // meanwhile is left as the game left it.
    void OpenArrivedMusic();

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
    // What the game asked of a player whose track's file was not there when it was opened:
    // the track, and whether it is to play when it comes.
    struct Awaited {
        std::string named;
        bool play = false;
    };
    Awaited awaited_[2];
    std::vector<uint8_t> mixBuffer_;
    TMusicFile musicFile_;
    // The music's volume in the mix (read on the mixer's thread).
    std::atomic<int> musicVolume_{SDL_MIX_MAXVOLUME};
};
