// Crash reporting's parts that need no real fault: the report's text and its sections, where
// it goes, the backtrace's names, the game's sections and the test crash. Real faults are
// tests/real_crash_test.sh's.
#include "platform/crash/crash_report.h"

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
#include "platform/posix/posix_crash.h"
#include "tests/harness.h"

namespace fs = std::filesystem;

namespace {

std::string Format(const TCrashFacts& facts, size_t* replayAt = nullptr) {
    char buffer[4096];
    const size_t n = FormatCrashReport(buffer, sizeof buffer, facts, replayAt);
    EXPECT_EQ(n, std::strlen(buffer));
    return std::string(buffer, n);
}

std::string Notice(const TCrashFacts& facts, const char* path, const char* folder,
                   const char* why) {
    char buffer[1024];
    return std::string(buffer, FormatCrashNotice(buffer, sizeof buffer, facts, path, folder, why));
}

// The facts of a signal as the handler gets them.
TCrashFacts Signalled(int signal, int code, uintptr_t address = 0, int sender = 0) {
    siginfo_t info{};
    info.si_code = code;
    // One or the other: they share their place.
    if (code > 0)
        info.si_addr = reinterpret_cast<void*>(address);
    else
        info.si_pid = sender;
    TCrashFacts facts;
    DescribeCrashSignal(signal, &info, facts);
    return facts;
}

// The value of the report's line "<key>: ...".
std::string Line(const std::string& key) {
    const std::string report = Format(TCrashFacts{});
    const size_t at = report.find("\n" + key + ": ");
    if (at == std::string::npos) return "(no line)";
    const size_t from = at + key.size() + 3;
    return report.substr(from, report.find('\n', from) - from);
}

void WriteText(TCrashText& text, const void* value) {
    text.Add(static_cast<const char*>(value));
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

    TCrashFacts facts = Signalled(SIGSEGV, SEGV_MAPERR, 0x10);
    facts.version = "1.2.3";
    facts.time = CrashTimeFromSeconds(1709210096);  // 2024-02-29 12:34:56 UTC
    facts.pid = 77;
    facts.program = "/usr/lib/quorvatide/quorvatide";
    facts.frames = frames;
    facts.frameCount = 2;
    {
        // The game's sections and the replay, for this block.
        const TCrashSection screen("Screen", WriteText, "play");
        const TCrashSection tick("Tick", WriteText, "1234");
        SetCrashReplay("/home/p/.local/state/quorvatide/replays/old.qvr");
        SetCrashReplay(
            "/home/p/.local/state/quorvatide/replays/quorvatide-2024-02-29_12-30-00.qvr");
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
        EXPECT_EQ(Notice(facts, "/s/crash-1.txt", "/s/", nullptr),
                  "quorvatide: the game has stopped: SIGSEGV (invalid memory access: address not "
                  "mapped) at address 0x10; crash report: /s/crash-1.txt\n");
        // Cut short, never past the buffer.
        char small[40];
        std::memset(small, 'x', sizeof small);
        EXPECT_EQ(FormatCrashReport(small, 32, facts, nullptr), 31u);
        EXPECT_EQ(small[31], '\0');
        EXPECT_EQ(small[32], 'x');
        SetCrashReplay("");
    }

    // An uncaught exception, with its message on one line; no replay, no game.
    TCrashFacts thrown = Signalled(SIGABRT, SI_TKILL, 0, getpid());
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
    // A signal another process sent; one the process sent itself.
    EXPECT_NE(Format(Signalled(SIGBUS, SI_USER, 0, 4242))
                  .find("What happened: SIGBUS (bus error) sent by process 4242\n"),
              std::string::npos);
    EXPECT_NE(Format(Signalled(SIGFPE, SI_USER, 0, getpid())).find("SIGFPE (arithmetic error)\n"),
              std::string::npos);
}

TEST(CrashReport, SectionsSpeakForTheirScopeTheNewestFirst) {
    EXPECT_EQ(Line("Screen"), "none");
    {
        const TCrashSection outer("Screen", WriteText, "outer");
        EXPECT_EQ(Line("Screen"), "outer");
        EXPECT_EQ(Line("Tick"), "none");
        {
            const TCrashSection inner("Screen", WriteText, "inner");
            const TCrashSection tick("Tick", WriteText, "7");
            EXPECT_EQ(Line("Screen"), "inner");
            EXPECT_EQ(Line("Tick"), "7");
        }
        EXPECT_EQ(Line("Screen"), "outer");
        EXPECT_EQ(Line("Tick"), "none");
    }
    EXPECT_EQ(Line("Screen"), "none");
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
    const TCrashFacts facts = Signalled(SIGFPE, SI_USER);
    EXPECT_EQ(Notice(facts, nullptr, notAFolder.c_str(), strerror(ENOTDIR)),
              "quorvatide: the game has stopped: SIGFPE (arithmetic error); the crash report is "
              "above (cannot write to " +
                  notAFolder + ": Not a directory)\n");
    EXPECT_EQ(Notice(facts, nullptr, "", "no state folder: HOME and XDG_STATE_HOME are not set"),
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
        return FinishCrashReport(4, argv, nullptr);
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

TEST(CrashReport, NamesTheGamesScreenAndTick) {
    THarness h;
    TForm1& f = h.Form();
    {
        TGameCrashSections game(f);
        EXPECT_EQ(Line("Screen"), "splash");
        EXPECT_EQ(Line("Tick"), "0");
        h.StartPlay();
        h.Advance(3 * 50);
        EXPECT_EQ(Line("Screen"), "play");
        EXPECT_GT(f.tickCount, 0);
        EXPECT_EQ(Line("Tick"), std::to_string(f.tickCount));
        h.Key('p');
        EXPECT_EQ(Line("Screen"), "paused");
        h.Key('p');
        f.EndGame();
        EXPECT_EQ(Line("Screen"), "exploding");
        h.Advance(28 * 50);
        EXPECT_EQ(Line("Screen"), "game over");
        // Its shutdown: no more of the game.
        game.Closing();
        EXPECT_EQ(Line("Screen"), "closing");
        EXPECT_EQ(Line("Tick"), "none");
    }
    EXPECT_EQ(Line("Screen"), "none");
}

TEST(CrashReport, TestCrashValuesAndHook) {
    std::string warning;
    EXPECT_EQ(ParseTestCrash(nullptr, warning), TTestCrash::None);
    EXPECT_EQ(ParseTestCrash("", warning), TTestCrash::None);
    EXPECT_TRUE(warning.empty());
    EXPECT_EQ(ParseTestCrash("segv", warning), TTestCrash::Segv);
    EXPECT_EQ(ParseTestCrash("abort", warning), TTestCrash::Abort);
    EXPECT_EQ(ParseTestCrash("throw", warning), TTestCrash::Throw);
    EXPECT_EQ(ParseTestCrash("fpe", warning), TTestCrash::Fpe);
    EXPECT_EQ(ParseTestCrash("stack", warning), TTestCrash::Stack);
    EXPECT_EQ(ParseTestCrash("thread", warning), TTestCrash::Thread);
    EXPECT_EQ(ParseTestCrash("memory", warning), TTestCrash::Memory);
    EXPECT_TRUE(warning.empty());
    EXPECT_EQ(ParseTestCrash("SEGV", warning), TTestCrash::None);
    EXPECT_EQ(warning,
              "quorvatide: QUORVATIDE_TEST_CRASH='SEGV' is not one of segv, abort, throw, fpe, "
              "stack, thread, memory; no crash on purpose");

    // The hook waits for the first tick of play, then faults.
    THarness h;
    EXPECT_FALSE(TestCrashHook(TTestCrash::None, h.Form()));
    const auto hook = TestCrashHook(TTestCrash::Abort, h.Form());
    ASSERT_TRUE(hook);
    hook();
    h.StartPlay();
    ASSERT_EQ(h.Form().tickCount, 0);
    hook();
    h.Advance(50);
    ASSERT_GT(h.Form().tickCount, 0);
    EXPECT_DEATH(hook(), "");
}
