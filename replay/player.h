// Playing a recorded session back. The player is the game's clock: each reading the game takes
// is answered with the next one of the recording, and each seed likewise. Step hands the game
// the next recorded dispatch and then checks the digests that follow it against the game's own
// state. A game that reads the clock where the recording has no reading, or whose digest
// differs, has gone its own way: a desync, named with its game and tick.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/digest.h"
#include "replay/replay_file.h"
#include "toolkit/platform.h"

class TGameSession;

// "mm:ss" of a stretch of milliseconds, the minutes in at least `minuteDigits` digits.
std::string MinutesSeconds(uint64_t ms, int minuteDigits = 2);

class TSessionPlayer : public IClock {
public:
    explicit TSessionPlayer(TReplayFile file);

    uint64_t NowMs() override;
    uint32_t RandomSeed() override;

    const TReplayHeader& Header() const { return file_.header; }

    // The session of the game to play the recording in, made with this player as its clock.
    void Attach(TGameSession& session);

    // Hands the game the next dispatch and checks the digests after it. False when nothing more
    // can be played: the recording is over, it is damaged, or the game went its own way.
    bool Step();

    // Before a recorded end of a music track reaches the game (the window's playback lets its
    // real player catch up).
    std::function<void(int player)> onMusicFinished;

    // Host clock times of the recording: of its beginning (the first clock reading or dispatch)
    // and its last dispatch, of the one last played and of the next one (none at the end).
    uint64_t FirstTime() const { return firstTime_; }
    uint64_t LastTime() const { return lastTime_; }
    // How long the session went on, first dispatch to last (0 for a clock that ran backwards).
    uint64_t Span() const { return lastTime_ > firstTime_ ? lastTime_ - firstTime_ : 0; }
    uint64_t PlayedTime() const { return playedTime_; }
    std::optional<uint64_t> NextTime() const;

    // What has been played and checked: the game being played, and the digests.
    int Game() const;
    int Digests() const { return digests_; }
    // The session's own end was played (the recording is complete).
    bool Ended() const { return ended_; }
    // The game went its own way; Problem() says where and how.
    bool Desynced() const { return desynced_; }
    // The records cannot be read on (the file is damaged); Problem() says why.
    bool Damaged() const { return damaged_; }
    const std::string& Problem() const { return problem_; }

    // ---- for a session taken over from the recording (TReplayedGame::TakeOver)
    // The recording as it was read.
    const TReplayFile& File() const { return file_; }
    // The bytes of the body that hold the records played so far.
    size_t PlayedBytes() const { return next_ ? peekedAt_ : decoder_.Position(); }
    // The next record is the recording's last dispatch: its end, or for a recording cut short
    // a dispatch whose clock readings and seeds may not all have been written. A session taken
    // over stops before it.
    bool AtLastDispatch() const;
    // The recording's last dispatch has been played.
    bool HandedLastDispatch() const { return handedLast_; }
    // The last clock reading handed out.
    uint64_t LastReading() const { return clock_; }
    // The digester of the checks so far and the best score of a game ended so far (-1 before
    // any), for a recorder that carries on the recording.
    const TStateDigester& Digester() const { return digester_; }
    int BestScore() const { return bestScore_; }

private:
    // The next record, read ahead.
    const TRecord* Peek();
    void Take() { next_.reset(); }
    void Desync(const std::string& what);
    void CheckDigest(const TRecord& digest);
    void CheckNothingLeftUnread(const char* when);

    TReplayFile file_;
    TRecordDecoder decoder_;
    std::optional<TRecord> next_;
    TGameSession* session_ = nullptr;
    TStateDigester digester_;
    uint64_t clock_ = 0;  // the last reading handed out
    uint64_t firstTime_ = 0, lastTime_ = 0, playedTime_ = 0;
    size_t peekedAt_ = 0, lastDispatchAt_ = 0;
    int bestScore_ = -1;
    int digests_ = 0;
    bool ended_ = false, desynced_ = false, damaged_ = false, handedLast_ = false;
    std::string problem_;
};
