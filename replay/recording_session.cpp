#include "replay/recording_session.h"

#include <algorithm>
#include <cstdio>

#include "replay/replay_folder.h"
#include "shell/user_files.h"

TRecordingSession::TRecordingSession(TPlatform& host, const TRecordingOptions& options)
    : hostClock_(host.clock), recorder_(host.clock), platform_{recorder_,        host.audio,
                                                               host.files,       host.exeDir,
                                                               host.configDir,   host.stateDir,
                                                               host.writesFiles, host.pictures} {
    const TSettings settings = options.settings ? *options.settings : ReadGameSettings(host);
    recorder_.FlushEvery(options.flushEveryMs);
    if (!options.record) {
        recorder_.PassOnly();
    } else {
        TReplayHeader header = MakeReplayHeader(settings, options.date, options.boardShown);
        header.speed = options.speed;
        header.notes = options.notes;
        std::string path = options.path, stem, error;
        bool begun = false;
        if (!path.empty()) {
            begun = recorder_.Begin(host.files, path, header, error);
            if (!begun) error = "cannot record " + path + ": " + error;
        } else if (options.folder.empty()) {
            error = "there is no folder for them (neither XDG_STATE_HOME nor HOME is set)";
        } else if (PruneReplayFolder(host.files, options.folder, kReplaysKept, options.date, error,
                                     {}, options.kept)) {
            std::string why;
            const auto create = [&](const std::string& at, bool& taken) {
                if (recorder_.Begin(host.files, at, header, why, &taken)) return true;
                why = "cannot write " + at + ": " + why;
                return false;
            };
            begun = CreateInReplayFolder(options.folder, options.stem, create, path, stem, error);
            if (begun) recorder_.RenameWithBestScore(stem);
            if (error.empty()) error = why;
        }
        if (!begun) {
            std::fprintf(stderr, "quorvatide: this session is not recorded: %s\n", error.c_str());
            recorder_.PassOnly();
        }
    }
    session_ = std::make_unique<TGameSession>(platform_, settings, options.boardShown);
    recorder_.Attach(*session_);
}

TRecordingSession::~TRecordingSession() = default;

void TRecordingSession::RunDue() {
    // Only a run that fires something is worth a record: a run with nothing due changes nothing.
    const auto due = Game().NextTimerDue();
    if (due && *due <= hostClock_.NowMs()) Dispatch(TDispatch::Timers());
    recorder_.FlushIfDue();
}

std::optional<uint64_t> TRecordingSession::NextDue() {
    const auto timers = Game().NextTimerDue();
    const auto flush = recorder_.NextFlushDue();
    if (!timers) return flush;
    if (!flush) return timers;
    return std::min(*timers, *flush);
}
