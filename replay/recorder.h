// Recording a session as it is played. The recorder is the game's clock: every reading the game
// takes, and every seed, is written down as it is handed over. Every input, end of a music track
// and run of the window's timers goes through the recorder on its way to the game, and after
// each the recorder writes a digest of the game state when one is due: every 100 ticks, at the
// end of every game, and at the end of the session. The file is written as the session goes,
// compressed, at least once a second of the host's clock.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/digest.h"
#include "replay/replay_file.h"
#include "toolkit/platform.h"

class TGameSession;
class TSessionPlayer;

// Ticks between two digests during play.
constexpr int kDigestEveryTicks = 100;
// Host milliseconds between two writes to the file.
constexpr uint64_t kFlushEveryMs = 1000;

class TSessionRecorder : public IClock {
public:
    // `host` is the clock the session really runs on; it also stamps the dispatches.
    explicit TSessionRecorder(IClock& host);
    ~TSessionRecorder() override;

    uint64_t NowMs() override;
    uint32_t RandomSeed() override;

    // Before the game is made: creates `path` with `files` and writes the header. On failure
    // returns false with `error` (and `taken` set when the name was taken already) and leaves
    // no file; the session then goes on unrecorded (PassOnly), or tries another name.
    bool Begin(IFiles& files, const std::string& path, const TReplayHeader& header,
               std::string& error, bool* taken = nullptr);
    // Instead of Begin and Attach, for a session that carries on where the recording `played`
    // has got to in `session`: creates `path` and writes the header, then the records played so
    // far, re-encoded, and a digest of the game as it is, on the disk at once; the digests carry
    // on as the recording's did. On failure returns false with `error` (and `taken` as Begin's)
    // and removes what it wrote, which would claim to continue the recording without holding
    // where it was taken over; the session then goes on unrecorded, or tries another name.
    bool TakeOver(IFiles& files, const std::string& path, const TReplayHeader& header,
                  const TSessionPlayer& played, TGameSession& session, std::string& error,
                  bool* taken = nullptr);
    // For a session that is not to be recorded: everything only passes on.
    void PassOnly() { active_ = false; }
    // The session of the game, once made with this recorder as its clock.
    void Attach(TGameSession& session);
    // Each time the best score of the session rises at the end of a game, the file is renamed
    // to `stem` + "-best-" + score + ".qvr" (nothing is renamed without a stem).
    void RenameWithBestScore(const std::string& stem) { stem_ = stem; }
    // Told the file's new name after a rename.
    std::function<void(const std::string& path)> onRename;
    // Host milliseconds between two writes to the file (kFlushEveryMs unless set): a headless
    // game that nobody can kill half-way may save the compressing for larger pieces.
    void FlushEvery(uint64_t ms) { flushEveryMs_ = ms; }

    // A dispatch: stamped with the host's time, written down, handed to the game, and followed
    // by a digest when one is due. Unrecorded (or once writing has failed) it only passes on.
    void Dispatch(TDispatch dispatch);
    // The session ends: the end, a last digest and the file closed. The game is not told.
    void Close();

    // The host's clock time at which the file should next be written to, if anything waits.
    std::optional<uint64_t> NextFlushDue() const;
    // Writes to the file when a flush is due.
    void FlushIfDue();

    bool Recording() const { return active_; }
    const std::string& Path() const { return path_; }
    // The writer, for a crash handler's last flush (TReplayWriter::EmergencyFlushOf).
    TReplayWriter& Writer() { return writer_; }

private:
    void Write(const TRecord& record);
    void After();
    void Digest(TDigestWhen when);
    void Stop();

    IClock& host_;
    IFiles* files_ = nullptr;
    TGameSession* session_ = nullptr;
    bool active_ = true;  // records are written
    bool quiet_ = false;  // a failure is told by the caller
    std::vector<uint8_t> scratch_;
    TRecordEncoder encoder_;
    TReplayWriter writer_;
    TStateDigester digester_;
    std::string path_, stem_;
    int lastDigestTick_ = 0;
    int bestScore_ = -1;
    uint64_t lastFlush_ = 0;
    uint64_t flushEveryMs_ = kFlushEveryMs;
    bool dirty_ = false;
};

// The records of a digest.
TRecord DigestRecord(TDigestWhen when, int game, const TStateDigest& digest);
