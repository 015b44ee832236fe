// Nothing of a session is lost on a POSIX system whose writes fail: under a file-size limit
// (ulimit -f) play goes on with one line instead of the game dying of SIGXFSZ, and a crash
// report that cannot be written whole goes to stderr with nothing half-written left behind.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "replay/recording_session.h"
#include "replay/replay_folder.h"
#include "tests/harness.h"

namespace fs = std::filesystem;

namespace {

// What a child process wrote to its error output, and how it ended.
struct TChild {
    std::string said;
    int status = 0;
};

// Runs `work` in a child process whose files may grow to `limit` bytes at most, its error
// output read into `said`.
template <class F>
TChild UnderFileSizeLimit(rlim_t limit, F work) {
    int pipe[2];
    EXPECT_EQ(::pipe(pipe), 0);
    const pid_t child = fork();
    if (child == 0) {
        ::close(pipe[0]);
        dup2(pipe[1], 2);
        const rlimit fsize{limit, limit};
        setrlimit(RLIMIT_FSIZE, &fsize);
        _exit(work());
    }
    ::close(pipe[1]);
    TChild result;
    char buffer[4096];
    for (ssize_t n; (n = read(pipe[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        result.said.append(buffer, size_t(n));
    }
    ::close(pipe[0]);
    waitpid(child, &result.status, 0);
    return result;
}

}  // namespace

TEST(NothingLostPosix, AFileSizeLimitEndsTheRecordingWithOneLineAndPlayGoesOn) {
    TTempAssets dir;
    dir.WithSettings("");
    const std::string state = dir.ExeDir().string() + "/state/";
    const TChild child = UnderFileSizeLimit(2048, [&] {
        TFakeClock clock;
        clock.now = 1000;
        TSilentAudio audio;
        TPlatform host{clock, audio, NativeFiles(), dir.ExeDir().string() + "/", {}, state};
        TRecordingOptions options;
        options.folder = ReplayFolder(state);
        options.stem = "quorvatide-2026-12-08_15-04-05";
        TRecordingSession session(host, options);
        if (!session.Recorder().Recording()) return 3;
        session.Dispatch(TDispatch::MouseDown(358, 358, TMouseButton::Left, {}));
        session.Dispatch(TDispatch::MouseUp(358, 358, TMouseButton::Left, {}));
        // A minute of play with the mouse on the move: far more than the limit's 2 KB.
        for (int i = 0; clock.now < 61000; ++i) {
            session.Dispatch(TDispatch::MouseMove(20 + i % 600, 30 + (i * 7) % 600, {}));
            clock.now = std::max(clock.now + 20, *session.NextDue());
            session.RunDue();
        }
        const bool played = session.Game().tickCount > 500;
        session.Close();
        return played ? 0 : 4;
    });
    ASSERT_TRUE(WIFEXITED(child.status)) << "ended by signal " << WTERMSIG(child.status);
    EXPECT_EQ(WEXITSTATUS(child.status), 0);
    EXPECT_EQ(std::count(child.said.begin(), child.said.end(), '\n'), 1) << child.said;
    EXPECT_NE(child.said.find("quorvatide: the replay " + state +
                              "replays/quorvatide-2026-12-08_"
                              "15-04-05.qvr stops here: cannot write: File too large\n"),
              std::string::npos)
        << child.said;
}

TEST(NothingLostPosix, ACrashReportThatCannotBeWrittenWholeGoesToStderr) {
    const fs::path probe = fs::path(QV_BUILD_DIR) / "qv_crash_probe";
    if (!fs::exists(probe)) GTEST_SKIP() << "no crash probe in a build with the sanitizers";
    TTempAssets dir;
    const std::string state = dir.ExeDir().string() + "/state/";
    fs::create_directories(state);
    // Room for the probe's stand-in replay, not for the report.
    const TChild child = UnderFileSizeLimit(256, [&] {
        execl(probe.c_str(), probe.c_str(), "segv", state.c_str(), nullptr);
        return 127;
    });
    ASSERT_TRUE(WIFSIGNALED(child.status));
    EXPECT_EQ(WTERMSIG(child.status), SIGSEGV);
    EXPECT_NE(child.said.find("Quorvatide crash report\n"), std::string::npos) << child.said;
    EXPECT_NE(child.said.find("\nReplay: " + state + "replays/probe.qvr\n"), std::string::npos)
        << child.said;
    EXPECT_NE(child.said.find("; the crash report is above (cannot write to " + state +
                              ": File too large)\n"),
              std::string::npos)
        << child.said;
    for (const auto& entry : fs::directory_iterator(state))
        EXPECT_EQ(entry.path().filename().string().rfind("crash-", 0), std::string::npos)
            << entry.path();
}
