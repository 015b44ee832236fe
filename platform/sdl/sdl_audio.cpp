#include "platform/sdl/sdl_audio.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/native.h"

namespace {

constexpr int kEffectChannel = 0;

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

// The sample rates a track may have. Converting up turns each frame into as many as the rates
// differ, and the converter holds back half a thousand of them: from one sample a second that
// was hundreds of megabytes for a file of a few bytes.
constexpr uint32_t kMinRate = 1000, kMaxRate = 384000;

// Pieces of the file put into the converter at a time: at most 8 KiB, and no more frames than
// make this many once converted (a piece of a track at a low rate turns into many times its
// frames: 8 KiB at 1000 Hz into 18 MB of 32-bit six-channel sound at 96000 Hz).
constexpr int64_t kPieceBytes = 8192;
constexpr int64_t kMaxConvertedPieceFrames = 16384;

}  // namespace

TWavFileSource::~TWavFileSource() {
    if (convert_) SDL_FreeAudioStream(convert_);
    if (file_) std::fclose(file_);
}

bool TWavFileSource::Open(const std::string& path, int freq, SDL_AudioFormat format, int channels) {
    file_ = NativeOpenFile(path, "rb");
    if (!file_) return false;
    uint8_t head[12];
    if (std::fread(head, 1, 12, file_) != 12 || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "WAVE", 4) != 0)
        return false;
    std::fseek(file_, 0, SEEK_END);
    const long fileSize = std::ftell(file_);
    long at = 12;
    bool haveFormat = false;
    uint16_t tag = 0, fileChannels = 0, align = 0, bits = 0;
    uint32_t rate = 0;
    while (at + 8 <= fileSize) {
        uint8_t chunk[8];
        std::fseek(file_, at, SEEK_SET);
        if (std::fread(chunk, 1, 8, file_) != 8) return false;
        const uint32_t size = Le32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            uint8_t fmt[40] = {};
            if (size < 16 || std::fread(fmt, 1, std::min<uint32_t>(size, 40), file_) < 16)
                return false;
            tag = Le16(fmt);
            fileChannels = Le16(fmt + 2);
            rate = Le32(fmt + 4);
            align = Le16(fmt + 12);
            bits = Le16(fmt + 14);
            // The extensible form names its sample format in the first two bytes of its
            // sub-format.
            if (tag == 0xFFFE && size >= 40) tag = Le16(fmt + 24);
            haveFormat = true;
            unplayable_ =
                fileChannels < 1 || fileChannels > 8 || rate < kMinRate || rate > kMaxRate;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) return false;
            dataStart_ = at + 8;
            dataBytes_ = std::min<int64_t>(size, fileSize - dataStart_);
            break;
        }
        at += 8 + long(size) + long(size & 1);
    }
    if (dataStart_ == 0) return false;

    SDL_AudioFormat fileFormat = 0;
    if (tag == 1 && bits == 8) fileFormat = AUDIO_U8;
    if (tag == 1 && bits == 16) fileFormat = AUDIO_S16LSB;
    if (tag == 1 && bits == 32) fileFormat = AUDIO_S32LSB;
    if (tag == 3 && bits == 32) fileFormat = AUDIO_F32LSB;
    if (fileFormat == 0 || unplayable_ || align != fileChannels * bits / 8) return false;
    // An incomplete last frame is not played.
    dataBytes_ -= dataBytes_ % align;
    lengthMs_ = dataBytes_ / align * 1000 / rate;
    if (fileFormat != format || fileChannels != channels || int(rate) != freq) {
        // The converter holds back the last of the track until more comes, about 512 frames
        // (converting down, about 512 of the output's): silence after the track pushes them
        // out, and the output stops at the track's own length. A tenth of a second of it, and
        // at least twice what is held back: a track that came to just that many frames with
        // its silence was lost whole when the converter was flushed.
        const int64_t down = (int64_t(rate) + freq - 1) / freq;
        tailBytes_ = size_t(std::max<int64_t>(rate / 10, 1024 * down) * align);
        silence_ = fileFormat == AUDIO_U8 ? 0x80 : 0;
        const int64_t frames = (dataBytes_ / align * freq + rate / 2) / rate;
        convertedBytes_ = frames * (SDL_AUDIO_BITSIZE(format) / 8) * channels;
        pieceBytes_ = size_t(
            std::clamp<int64_t>(kMaxConvertedPieceFrames * rate / freq, 1, kPieceBytes / align) *
            align);
        convert_ = SDL_NewAudioStream(fileFormat, uint8_t(fileChannels), int(rate), format,
                                      uint8_t(channels), freq);
        if (!convert_) return false;
    }
    Rewind();
    return true;
}

int TWavFileSource::Read(uint8_t* out, int len) {
    if (!convert_) return int(ReadFile(out, size_t(std::max(len, 0))));
    len = int(std::min<int64_t>(len, convertedBytes_ - producedBytes_));
    while (SDL_AudioStreamAvailable(convert_) < len && !flushed_) {
        uint8_t piece[kPieceBytes];
        const size_t got = ReadFile(piece, pieceBytes_);
        if (got > 0) SDL_AudioStreamPut(convert_, piece, int(got));
        if (got < pieceBytes_) {
            std::vector<uint8_t> silence(tailBytes_, silence_);
            SDL_AudioStreamPut(convert_, silence.data(), int(silence.size()));
            SDL_AudioStreamFlush(convert_);
            flushed_ = true;
        }
    }
    const int got = len > 0 ? std::max(0, SDL_AudioStreamGet(convert_, out, len)) : 0;
    producedBytes_ += got;
    return got;
}

void TWavFileSource::Rewind() {
    std::fseek(file_, long(dataStart_), SEEK_SET);
    readBytes_ = 0;
    producedBytes_ = 0;
    flushed_ = false;
    if (convert_) SDL_AudioStreamClear(convert_);
}

size_t TWavFileSource::ReadFile(uint8_t* out, size_t len) {
    len = size_t(std::min<int64_t>(int64_t(len), dataBytes_ - readBytes_));
    const size_t got = len > 0 ? std::fread(out, 1, len, file_) : 0;
    readBytes_ += int64_t(got);
    return got;
}

namespace {

// Any other file the mixer can read (other WAV encodings, AIFF, VOC, OGG, ...), decoded whole.
class TChunkSource : public TMusicSource {
public:
    explicit TChunkSource(Mix_Chunk* chunk, int64_t lengthMs)
        : chunk_(chunk), lengthMs_(lengthMs) {}
    ~TChunkSource() override { Mix_FreeChunk(chunk_); }
    int Read(uint8_t* out, int len) override {
        const int n = int(std::min<int64_t>(len, int64_t(chunk_->alen) - at_));
        std::memcpy(out, chunk_->abuf + at_, size_t(n));
        at_ += n;
        return n;
    }
    void Rewind() override { at_ = 0; }
    int64_t LengthMs() const override { return lengthMs_; }

private:
    Mix_Chunk* chunk_;
    int64_t lengthMs_;
    int64_t at_ = 0;
};

void MixHook(void* audio, Uint8* stream, int len) {
    static_cast<TSdlAudio*>(audio)->Mix(stream, len);
}

// Sound libraries complain on stderr, line after line, while they look for a device that is not
// there; without one the game simply plays silently, so their complaints are kept quiet.
class TQuietStderr {
public:
    TQuietStderr() : saved_(QuietStderr()) {}
    ~TQuietStderr() { RestoreStderr(saved_); }
    TQuietStderr(const TQuietStderr&) = delete;
    TQuietStderr& operator=(const TQuietStderr&) = delete;

private:
    int saved_;
};

}  // namespace

TSdlAudio::TSdlAudio() = default;

TSdlAudio::~TSdlAudio() {
    if (!open_) return;
    Mix_HookMusic(nullptr, nullptr);
    Mix_HaltChannel(-1);
    for (Track& t : tracks_) t.source.reset();
    for (auto& [path, chunk] : sounds_)
        if (chunk) Mix_FreeChunk(chunk);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool TSdlAudio::Open() {
    TQuietStderr quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    if (!Mix_QuerySpec(&freq_, &format_, &channels_) || freq_ <= 0 || channels_ <= 0) {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(1);
    finishedEvent_ = SDL_RegisterEvents(1);
    mixBuffer_.resize(1 << 16);
    Mix_HookMusic(MixHook, this);
    open_ = true;
    return true;
}

void TSdlAudio::Mix(uint8_t* stream, int len) {
    std::lock_guard lock(mutex_);
    if (mixBuffer_.size() < size_t(len)) mixBuffer_.resize(size_t(len));
    for (int p = 0; p < 2; ++p) {
        Track& t = tracks_[p];
        if (!t.source || !t.playing || t.paused || t.ended) continue;
        const int got = t.source->Read(mixBuffer_.data(), len);
        // At full volume over the silence the mixer starts from, the track's samples come out
        // unchanged.
        if (got > 0)
            SDL_MixAudioFormat(stream, mixBuffer_.data(), format_, Uint32(got),
                               musicVolume_.load(std::memory_order_relaxed));
        if (got < len) {
            t.ended = true;
            SDL_Event ev{};
            ev.type = finishedEvent_;
            ev.user.code = p;
            SDL_PushEvent(&ev);
        }
    }
}

void TSdlAudio::SetVolumes(int music, int effects) {
    const auto mix = [](int percent) {
        return (std::clamp(percent, 0, 100) * SDL_MIX_MAXVOLUME + 50) / 100;
    };
    musicVolume_.store(mix(music), std::memory_order_relaxed);
    if (open_) Mix_Volume(kEffectChannel, mix(effects));
}

int TSdlAudio::EffectsMixVolume() const {
    return open_ ? Mix_Volume(kEffectChannel, -1) : 0;
}

void TSdlAudio::PlaySound(const std::string& path) {
    if (!open_) return;
    auto found = sounds_.find(path);
    if (found == sounds_.end()) {
        Mix_Chunk* chunk = NativeFiles().IsFile(path) ? Mix_LoadWAV(path.c_str()) : nullptr;
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

bool TSdlAudio::MusicOpen(int player, const std::string& named) {
    Track* t = TrackOf(player);
    if (!t) return false;
    MusicClose(player);
    const std::string path = musicFile_ ? musicFile_(named) : named;
    if (!NativeFiles().IsFile(path)) {
        awaited_[player] = {named, true};
        return false;
    }
    std::unique_ptr<TMusicSource> source;
    auto file = std::make_unique<TWavFileSource>();
    if (file->Open(path, freq_, format_, channels_)) {
        source = std::move(file);
    } else if (file->Unplayable()) {
        // The mixer would take it and decode it whole: a few kilobytes at one sample a second
        // came to hundreds of megabytes.
        return false;
    } else if (Mix_Chunk* chunk = Mix_LoadWAV(path.c_str())) {
        const int64_t bytesPerFrame = int64_t(SDL_AUDIO_BITSIZE(format_) / 8) * channels_;
        source = std::make_unique<TChunkSource>(
            chunk, int64_t(chunk->alen) * 1000 / (bytesPerFrame * freq_));
    } else {
        return false;
    }
    std::lock_guard lock(mutex_);
    *t = Track{};
    t->lengthMs = source->LengthMs();
    t->source = std::move(source);
    return true;
}

bool TSdlAudio::MusicPlay(int player) {
    Track* t = TrackOf(player);
    if (t && !t->source && !awaited_[player].named.empty()) awaited_[player].play = true;
    if (!t || !t->source) return false;
    std::lock_guard lock(mutex_);
    if (t->playing) return true;
    // A track stopped part-way goes on from there; one whose end came while it was stopped
    // (or just before) has nothing left to resume and starts over.
    if (!(t->paused && t->playedMs < t->lengthMs && !t->ended)) {
        t->source->Rewind();
        t->ended = false;
        t->playedMs = 0;
    }
    t->startedAt = SDL_GetTicks64();
    t->playing = true;
    t->paused = false;
    return true;
}

bool TSdlAudio::MusicStop(int player) {
    Track* t = TrackOf(player);
    if (t) awaited_[player].play = false;
    if (!t || !t->source) return false;
    std::lock_guard lock(mutex_);
    if (t->playing) {
        // The track may have ended already, its end not yet handled: then it stops at its end.
        t->playedMs = t->ended ? t->lengthMs : PositionOf(*t);
        t->playing = false;
        t->paused = true;
    }
    return true;
}

bool TSdlAudio::MusicClose(int player) {
    Track* t = TrackOf(player);
    if (t) awaited_[player] = {};
    if (!t || !t->source) return false;
    std::unique_ptr<TMusicSource> closing;
    {
        std::lock_guard lock(mutex_);
        closing = std::move(t->source);
        *t = Track{};
    }
    return true;
}

bool TSdlAudio::MusicIsOpen(int player) {
    Track* t = TrackOf(player);
    return t && t->source;
}

int64_t TSdlAudio::PositionOf(const Track& t) const {
    if (!t.playing) return t.playedMs;
    return std::min(t.lengthMs, t.playedMs + int64_t(SDL_GetTicks64() - t.startedAt));
}

int64_t TSdlAudio::MusicPosition(int player) {
    Track* t = TrackOf(player);
    if (!t || !t->source) return 0;
    std::lock_guard lock(mutex_);
    return PositionOf(*t);
}

int64_t TSdlAudio::MusicLength(int player) {
    Track* t = TrackOf(player);
    return t && t->source ? t->lengthMs : 0;
}

void TSdlAudio::OpenArrivedMusic() {
    for (int p = 0; p < 2; ++p) {
        const Awaited awaited = awaited_[p];
        if (awaited.named.empty()) continue;
        if (MusicOpen(p, awaited.named)) {
            if (awaited.play) MusicPlay(p);
        } else if (!awaited_[p].named.empty()) {
            awaited_[p].play = awaited.play;  // still not there: still awaited, as it was
        }
    }
}

bool TSdlAudio::HandleFinished(int player) {
    Track* t = TrackOf(player);
    if (!t) return false;
    std::lock_guard lock(mutex_);
    // The end of a track that was stopped, closed or replaced meanwhile is no end of the
    // present one.
    if (!t->source || !t->playing || !t->ended) return false;
    t->playing = false;
    t->paused = false;
    t->playedMs = t->lengthMs;
    return true;
}
