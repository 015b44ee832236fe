// Crash reporting's parts that need no real fault: the report's text, where it goes, the
// backtrace's names, the screen it names and the test crash's values. Real faults are
// tests/real_crash_test.sh's.
#include "shell/platform/crash_report.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/crash_hooks.h"
#include "shell/screen_name.h"
#include "tests/harness.h"

namespace fs = std::filesystem;

namespace {

std::string Format(const TCrashFacts& facts, size_t* replayAt = nullptr) {
    char buffer[4096];
    const size_t n = FormatCrashReport(buffer, sizeof buffer, facts, replayAt);
    EXPECT_EQ(n, std::strlen(buffer));
    return std::string(buffer, n);
}

std::string Notice(const TCrashFacts& facts, const char* path, const char* folder, int error) {
    char buffer[1024];
    return std::string(buffer,
                       FormatCrashNotice(buffer, sizeof buffer, facts, path, folder, error));
}

}  // namespace

TEST(CrashReport, SaysWhatHappenedWhereAndWithWhichReplay) {
    const char maps[] =
        "5600-5700 r--p 00000000 08:01 123   /usr/lib/quorvatide/quorvatide\n"
        "5700-5900 r-xp 00001000 08:01 123   /usr/lib/quorvatide/quorvatide\n"
        "7f00-7f10 rw-p 00000000 00:00 0 \n";
    TCrashFrame frames[2];
    frames[0].pc = 0x5712;
    frames[1].pc = 0x7f04;
    for (TCrashFrame& f : frames) FindCrashModule(maps, sizeof maps - 1, f);
    ASSERT_NE(frames[0].module, nullptr);
    EXPECT_EQ(frames[0].offset, 0x1012u);
    EXPECT_EQ(frames[1].module, nullptr);  // anonymous memory has no module

    TCrashFacts facts;
    facts.version = "1.2.3";
    facts.time = CrashTimeFromSeconds(1709210096);  // 2024-02-29 12:34:56 UTC
    facts.signal = SIGSEGV;
    facts.code = SEGV_MAPERR;
    facts.address = 0x10;
    facts.pid = 77;
    facts.screen = "play";
    facts.haveTick = true;
    facts.tick = 1234;
    facts.program = "/usr/lib/quorvatide/quorvatide";
    facts.replay = "/home/p/.local/state/quorvatide/replays/quorvatide-2024-02-29_12-30-00.qvr";
    facts.frames = frames;
    facts.frameCount = 2;
    size_t replayAt = 0;
    const std::string report = Format(facts, &replayAt);
    EXPECT_EQ(report,
              "Quorvatide crash report\n\n"
              "Version: 1.2.3\n"
              "Time: 2024-02-29 12:34:56\n"
              "What happened: SIGSEGV (invalid memory access: address not mapped) at address "
              "0x10\n"
              "Screen: play\n"
              "Tick: 1234\n"
              "Program: /usr/lib/quorvatide/quorvatide (process 77)\n"
              "Replay: /home/p/.local/state/quorvatide/replays/"
              "quorvatide-2024-02-29_12-30-00.qvr\n\n"
              "Backtrace, the fault first:\n"
              "#0  0x0000000000005712 (/usr/lib/quorvatide/quorvatide+0x1012)\n"
              "#1  0x0000000000007f04 (?)\n\n"
              "Please attach this report and the replay to your bug report.\n");
    EXPECT_EQ(report.compare(replayAt, 8, "Replay: "), 0);
    EXPECT_EQ(Notice(facts, "/s/crash-1.txt", "/s/", 0),
              "quorvatide: the game has stopped: SIGSEGV (invalid memory access: address not "
              "mapped) at address 0x10; crash report: /s/crash-1.txt\n");

    // An uncaught exception, with its message on one line; no replay, no game.
    TCrashFacts thrown;
    thrown.signal = SIGABRT;
    thrown.terminated = true;
    thrown.exceptionType = "std::runtime_error";
    thrown.exceptionMessage = "two\nlines";
    const std::string t = Format(thrown);
    EXPECT_NE(t.find("What happened: uncaught exception std::runtime_error: \"two lines\" "
                     "(std::terminate, then SIGABRT)\n"),
              std::string::npos)
        << t;
    EXPECT_NE(t.find("Screen: none\nTick: none\n"), std::string::npos) << t;
    EXPECT_NE(t.find("Replay: none (this session was not recorded)\n"), std::string::npos) << t;
    // A signal another process sent.
    TCrashFacts sent;
    sent.signal = SIGBUS;
    sent.code = SI_USER;
    sent.sender = 4242;
    sent.pid = 7;
    EXPECT_NE(Format(sent).find("What happened: SIGBUS (bus error) sent by process 4242\n"),
              std::string::npos);

    // Cut short, never past the buffer.
    char small[40];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(FormatCrashReport(small, 32, facts, nullptr), 31u);
    EXPECT_EQ(small[31], '\0');
    EXPECT_EQ(small[32], 'x');
}

TEST(CrashReport, GoesToStderrWhenItsFolderCannotTakeIt) {
    const fs::path dir = fs::temp_directory_path() / ("qv_crash_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "file") << "not a folder";
    const TCrashTime time = CrashTimeFromSeconds(1709210096);
    char path[PATH_MAX];
    int error = 0;
    // No folder, a missing one, one that is a file: no report file, and the stderr line says
    // why.
    EXPECT_EQ(CreateCrashReportFile("", time, path, sizeof path, error), -1);
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(CreateCrashReportFile((dir / "gone/").c_str(), time, path, sizeof path, error), -1);
    EXPECT_EQ(error, ENOENT);
    const std::string notAFolder = (dir / "file/quorvatide/").string();
    EXPECT_EQ(CreateCrashReportFile(notAFolder.c_str(), time, path, sizeof path, error), -1);
    EXPECT_EQ(error, ENOTDIR);
    EXPECT_STREQ(path, "");
    TCrashFacts facts;
    facts.signal = SIGFPE;
    EXPECT_EQ(Notice(facts, nullptr, notAFolder.c_str(), ENOTDIR),
              "quorvatide: the game has stopped: SIGFPE (arithmetic error); the crash report is "
              "above (cannot write to " +
                  notAFolder + ": Not a directory)\n");
    EXPECT_EQ(Notice(facts, nullptr, "", ENOENT),
              "quorvatide: the game has stopped: SIGFPE (arithmetic error); the crash report is "
              "above (no state folder: HOME and XDG_STATE_HOME are not set)\n");

    // A folder that takes it: named after the time, never over an older report.
    for (const char* name : {"crash-2024-02-29_12-34-56.txt", "crash-2024-02-29_12-34-56-2.txt"}) {
        const int fd = CreateCrashReportFile(dir.c_str(), time, path, sizeof path, error);
        ASSERT_GE(fd, 0);
        close(fd);
        EXPECT_EQ(std::string(path), (dir / name).string());
    }
    fs::remove_all(dir);
}

TEST(CrashReport, TheBacktraceNamesFunctionsFromTheSymbolTable) {
    // An address of this very program, found through its maps as the handler finds it.
    std::ifstream in("/proc/self/maps");
    const std::string maps((std::istreambuf_iterator<char>(in)), {});
    TCrashFrame frame;
    frame.pc = reinterpret_cast<uintptr_t>(&CrashTimeFromSeconds) + 4;
    FindCrashModule(maps.data(), maps.size(), frame);
    ASSERT_NE(frame.module, nullptr);
    std::ostringstream line;
    line << "#3  0x" << std::hex << frame.pc << " ("
         << std::string(frame.module, frame.moduleLength) << "+0x" << frame.offset << ")";
    const std::string named = NameCrashFrame(line.str(), true);
    EXPECT_NE(named.find(" CrashTimeFromSeconds(long)+0x4 ("), std::string::npos) << named;
    // A report finished twice names each frame once.
    EXPECT_EQ(NameCrashFrame(named, true), named);
    EXPECT_EQ(named.substr(named.size() - line.str().size() + line.str().find(" (")),
              line.str().substr(line.str().find(" (")));
    // What cannot be named stays as it was.
    for (const std::string& as :
         {std::string("#1  0x10 (?)"), std::string("#2  0x10 (/no/such+0x10)"),
          std::string("Replay: none")})
        EXPECT_EQ(NameCrashFrame(as, false), as);

    // The fresh process writes a report file again with the names put in; any other file it
    // leaves alone.
    const fs::path dir = fs::temp_directory_path() / ("qv_crash_names_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const auto finish = [](const fs::path& file) {
        std::string args[] = {"quorvatide", kCrashReportOption, file.string(), "no-window"};
        char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(), nullptr};
        return FinishCrashReport(4, argv);
    };
    const auto read = [](const fs::path& file) {
        std::ifstream in(file);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    };
    std::ofstream(dir / "report.txt") << kCrashReportTitle << "\n\nBacktrace:\n"
                                      << line.str() << "\n";
    EXPECT_EQ(finish(dir / "report.txt"), 0);
    EXPECT_EQ(read(dir / "report.txt"),
              std::string(kCrashReportTitle) + "\n\nBacktrace:\n" + named + "\n");
    std::ofstream(dir / "other.txt") << line.str() << "\n";
    EXPECT_EQ(finish(dir / "other.txt"), 2);
    EXPECT_EQ(read(dir / "other.txt"), line.str() + "\n");
    fs::remove_all(dir);
}

TEST(CrashReport, NamesTheScreenShown) {
    THarness h;
    TForm1& f = h.Form();
    EXPECT_STREQ(ScreenName(f), "splash");
    h.StartPlay();
    EXPECT_STREQ(ScreenName(f), "play");
    h.Key('p');
    EXPECT_STREQ(ScreenName(f), "paused");
    h.Key('p');
    f.EndGame();
    EXPECT_STREQ(ScreenName(f), "exploding");
    h.Advance(28 * 50);
    EXPECT_STREQ(ScreenName(f), "game over");
}

TEST(CrashReport, TestCrashValues) {
    std::string warning;
    EXPECT_EQ(ParseTestCrash(nullptr, warning), TTestCrash::None);
    EXPECT_EQ(ParseTestCrash("", warning), TTestCrash::None);
    EXPECT_TRUE(warning.empty());
    EXPECT_EQ(ParseTestCrash("segv", warning), TTestCrash::Segv);
    EXPECT_EQ(ParseTestCrash("abort", warning), TTestCrash::Abort);
    EXPECT_EQ(ParseTestCrash("throw", warning), TTestCrash::Throw);
    EXPECT_EQ(ParseTestCrash("fpe", warning), TTestCrash::Fpe);
    EXPECT_TRUE(warning.empty());
    EXPECT_EQ(ParseTestCrash("SEGV", warning), TTestCrash::None);
    EXPECT_EQ(warning,
              "quorvatide: QUORVATIDE_TEST_CRASH='SEGV' is not one of segv, abort, throw, fpe; no "
              "crash on purpose");
}
