// Take-over benchmark: how long a player waits for the things that play a recording through at
// once. For a replay FILE (a ten-minute session is the case to measure), the median of five
// runs of each:
//  - continuing it: read, played without sound to where it stops, handed over paused and the
//    new file written (what --continue does before the window shows the board);
//  - a 10-second jump back from its last second (the session played again from its beginning
//    up to 20 s before its end);
//  - Home, and End from the beginning.
//
//   qv_bench_takeover FILE
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "platform/headless/headless.h"
#include "replay/continued.h"

namespace fs = std::filesystem;

namespace {

using TSteady = std::chrono::steady_clock;

double MedianMs(int runs, const std::function<void()>& setUp, const std::function<void()>& run) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        setUp();
        const auto start = TSteady::now();
        run();
        ms.push_back(std::chrono::duration<double, std::milli>(TSteady::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qv_bench_takeover FILE\n");
        return 2;
    }
    const std::string path = argv[1];
    TFakeClock clock;
    TSilentAudio audio;
    TPlatform host{clock, audio, NativeFiles(), std::string(QV_BUILD_DIR) + "/"};
    const fs::path out = fs::temp_directory_path() / "qv_bench_takeover.qvr";

    std::unique_ptr<TPlaybackSession> session;
    const double continued = MedianMs(
        5, [&] { fs::remove(out); },
        [&] {
            TContinuable found = OpenToContinue(host, path);
            if (!found.session) {
                std::fprintf(stderr, "qv_bench_takeover: %s\n", found.error.c_str());
                std::exit(2);
            }
            found.session->takeOver.path = out.string();
            found.session->TakeOverAt(std::nullopt, true);
            session = std::move(found.session);
        });
    session->Close();
    session.reset();
    fs::remove(out);

    TContinuable found = OpenToContinue(host, path);
    if (!found.session) return 2;
    TPlaybackSession& watched = *found.session;
    const uint64_t last = watched.Player().LastTime();
    const double back = MedianMs(
        5, [&] { watched.Seek(last - 1000); }, [&] { watched.HostKey(THostKey::Left); });
    const double home = MedianMs(
        5, [&] { watched.Seek(last); }, [&] { watched.HostKey(THostKey::Home); });
    const double end = MedianMs(
        5, [&] { watched.Seek(watched.Player().FirstTime()); },
        [&] { watched.HostKey(THostKey::End); });
    std::printf("%s (%s of session):\n", path.c_str(),
                MinutesSeconds(watched.Player().Span()).c_str());
    std::printf("  continued, to the paused board   %7.1f ms\n", continued);
    std::printf("  10 s back from the last second   %7.1f ms\n", back);
    std::printf("  Home from the end                %7.1f ms\n", home);
    std::printf("  End from the beginning           %7.1f ms\n", end);
    return 0;
}
