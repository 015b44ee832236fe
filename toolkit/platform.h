// What the game needs from the operating system, as interfaces: a clock, sound and music,
// and the executable's folder. The SDL platform provides the real ones; tests provide a fake
// clock and a recording audio backend.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "toolkit/picture.h"

class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds since an arbitrary start; never goes back.
    virtual uint64_t NowMs() = 0;
    // A seed for the game's random generator, taken whenever the game "seeds from the clock".
    virtual uint32_t RandomSeed() = 0;
};

// Sound effects play one at a time: a new one cuts off the one still playing. Music plays on
// two independent players (0 and 1), each with one open file at a time; position and length
// are in milliseconds. Every operation reports failure by its result and never throws.
class IAudio {
public:
    virtual ~IAudio() = default;
    virtual void PlaySound(const std::string& path) = 0;

    virtual bool MusicOpen(int player, const std::string& path) = 0;
    // Plays from the current position, or from the start when at the end. The end of playback
    // is reported by the host through TForm::MusicFinished.
    virtual bool MusicPlay(int player) = 0;
    virtual bool MusicStop(int player) = 0;
    virtual bool MusicClose(int player) = 0;
    virtual bool MusicIsOpen(int player) = 0;
    virtual int64_t MusicPosition(int player) = 0;
    virtual int64_t MusicLength(int player) = 0;
    // The player's volumes, 0 (silent) to 100 (as the files are), for the music and the sound
    // effects; the game's own switches (M, S) still silence them.
    virtual void SetVolumes(int music, int effects) {
        (void)music;
        (void)effects;
    }
};

// Audio that plays nothing: used when no audio device can be opened.
class TSilentAudio : public IAudio {
public:
    void PlaySound(const std::string&) override {}
    bool MusicOpen(int, const std::string&) override { return false; }
    bool MusicPlay(int) override { return false; }
    bool MusicStop(int) override { return false; }
    bool MusicClose(int) override { return false; }
    bool MusicIsOpen(int) override { return false; }
    int64_t MusicPosition(int) override { return 0; }
    int64_t MusicLength(int) override { return 0; }
};

// A file written as the game goes (a recording), by the host. From its making until it is
// closed (or the program ends, however it ends) the file is marked as being written: see
// IFiles::InUse.
class IFileOut {
public:
    virtual ~IFileOut() = default;
    // Appends the bytes; false once writing has failed, and Error() says why (never in empty
    // words). The file stays open, and marked, until closed.
    virtual bool Append(const void* data, size_t size) = 0;
    // The same for a dying program's signal handler: only the system's own write, no error
    // kept. It must be safe there.
    virtual void AppendInDistress(const void* data, size_t size) noexcept = 0;
    // Puts what was written on the disk for good and closes the file.
    virtual bool Close() = 0;
    virtual const std::string& Error() const = 0;
};

// The files of the host: the one way any file reaches the game or leaves it. Only regular files
// are read; anything else of the name (a named pipe, a folder, a device) counts as missing, so
// that nothing can make the game wait for a file for ever.
class IFiles {
public:
    virtual ~IFiles() = default;
    // Whether `path` names a regular file.
    virtual bool IsFile(const std::string& path) = 0;
    // The first `maxBytes` bytes of the regular file at `path`, with `whole` telling whether
    // that was all of it; nothing when it is missing, not a regular file or cannot be read.
    virtual std::optional<std::string> Read(const std::string& path, size_t maxBytes,
                                            bool* whole = nullptr) = 0;
    // Creates or replaces the file at `path` with `bytes`, making its folder first when
    // `makeFolder` is set: 0, or the errno of the failure.
    virtual int Write(const std::string& path, std::string_view bytes, bool makeFolder = false) = 0;
    // Creates a new file at `path`, which must not exist yet, to be written as the game goes;
    // nothing, with the errno of the failure in `error` (EEXIST: the name is taken), when it
    // cannot.
    virtual std::unique_ptr<IFileOut> CreateNew(const std::string& path, int& error) = 0;
    // Whether the file at `path` is being written by a program that made it with CreateNew
    // (this one or another) and has not closed it: a session still being recorded.
    virtual bool InUse(const std::string& path) = 0;
    // Renames `from` to `to`, which must not exist yet: 0, or the errno of the failure.
    virtual int Rename(const std::string& from, const std::string& to) = 0;
    // Replaces the file at `path` with `bytes` whole or not at all, whatever happens meanwhile
    // (a crash, a full disk): written beside it, put on the disk, then renamed over it. 0, or
    // the errno of the failure, and the old file is left as it was.
    virtual int Replace(const std::string& path, std::string_view bytes,
                        bool makeFolder = false) = 0;
    // Removes the file at `path`: 0, or the errno of the failure.
    virtual int Remove(const std::string& path) = 0;
    // The decoder of the BMP forms TPicture does not read itself, when the host has an image
    // library; none by default, and then only the uncompressed 24-bit and 32-bit forms load.
    virtual TBmpDecoder BmpDecoder() { return nullptr; }
};

class IHostWindow;

// Finished pictures by the file they were loaded from (see TPlatform::pictures).
using TLoadedPictures = std::unordered_map<std::string, TPicture>;

struct TPlatform {
    IClock& clock;
    IAudio& audio;
    IFiles& files;
    // Folder of the running executable, ending in a path separator.
    std::string exeDir;
    // The player's own folders, each ending in a path separator, or empty when there are none
    // (as on the headless platform): a settings.ini in configDir is read instead of the
    // installed one, and the debug log goes to stateDir when the Assets folder is read-only.
    std::string configDir = {};
    std::string stateDir = {};
    // Whether the game writes files of its own (the debug log on exit); a replay being played
    // back writes none.
    bool writesFiles = true;
    // For a process that makes its window again and again from Assets that do not change (the
    // game fuzz target makes one for every input): the catalogue's pictures, finished, kept from
    // one window to the next. The game makes one window and keeps none.
    TLoadedPictures* pictures = nullptr;
    // The host's window, for the player's options (fullscreen, scale, closing); none headless.
    IHostWindow* window = nullptr;
};
