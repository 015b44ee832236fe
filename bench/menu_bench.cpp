// What the front end's menu costs a frame, beside what a frame of play costs: the real window
// (TForm1) with the front end over it, on a fake clock with silent audio, reading this build's
// Assets. BM_PlayFrame: a tick of play with creatures about, then the frame composed and shown
// with the front end's button over it (only the composing is timed; 300 ticks from 20 s into a
// game of the default settings, which an idle player's base outlives). BM_MenuFrame: the menu
// open, the pointer moving to another button every frame, so that the menu is drawn again and
// the part that changed is blended and shown (all of it timed). BM_MenuFrameStill: the menu
// open and nothing changing. BM_MenuOpenAndClose: the menu opened and closed again.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/form1.h"
#include "frontend/front_end.h"
#include "platform/headless/headless.h"

namespace {

struct TMenuScene {
    TMenuScene() {
        clock.now = 1000;
        platform = std::make_unique<TPlatform>(
            TPlatform{clock, audio, NativeFiles(), std::string(QV_BUILD_DIR) + "/", "", ""});
        TFrontEndHooks hooks;
        front = std::make_unique<TFrontEnd>(*platform, hooks);
        front->Play();
        Frame();
        // Play begins, and runs a minute for creatures to be about.
        Click(358, 358);
        Advance(20000);
        Frame();
    }
    void Click(int x, int y) {
        TShiftState down;
        down.left = true;
        front->Dispatch(TDispatch::MouseMove(x, y, TShiftState()));
        front->Dispatch(TDispatch::MouseDown(x, y, TMouseButton::Left, down));
        front->Dispatch(TDispatch::MouseUp(x, y, TMouseButton::Left, TShiftState()));
    }
    void Advance(uint64_t ms) {
        const uint64_t end = clock.now + ms;
        while (const auto due = front->NextDue()) {
            if (*due > end) break;
            clock.now = std::max(clock.now, *due);
            front->RunDue();
        }
        clock.now = end;
    }
    size_t Frame() {
        std::vector<TRect> rects = front->Form().Compose();
        const TPicture& shown = front->Shown(rects);
        benchmark::DoNotOptimize(shown.Bits());
        return rects.size();
    }

    TFakeClock clock;
    TRecordingAudio audio{clock};
    std::unique_ptr<TPlatform> platform;
    std::unique_ptr<TFrontEnd> front;
};

void BM_PlayFrame(benchmark::State& state) {
    TMenuScene scene;
    for (auto _ : state) {
        state.PauseTiming();
        scene.Advance(50);
        state.ResumeTiming();
        scene.Frame();
    }
}
BENCHMARK(BM_PlayFrame)->Unit(benchmark::kMicrosecond)->Iterations(300);

void BM_MenuFrame(benchmark::State& state) {
    TMenuScene scene;
    scene.front->OpenMenu();
    scene.Frame();
    const std::vector<TRect> items = scene.front->PointerItems();
    size_t at = 0;
    for (auto _ : state) {
        const TRect& r = items[at++ % 2];
        scene.front->Dispatch(TDispatch::MouseMove((r.left + r.right) / 2,
                                                   (r.top + r.bottom) / 2, TShiftState()));
        scene.Frame();
    }
}
BENCHMARK(BM_MenuFrame)->Unit(benchmark::kMicrosecond);

void BM_MenuFrameStill(benchmark::State& state) {
    TMenuScene scene;
    scene.front->OpenMenu();
    scene.Frame();
    for (auto _ : state) {
        scene.Advance(50);
        scene.Frame();
    }
}
BENCHMARK(BM_MenuFrameStill)->Unit(benchmark::kMicrosecond);

// The menu opened and closed again: the whole drawing made and shown, then taken away.
void BM_MenuOpenAndClose(benchmark::State& state) {
    TMenuScene scene;
    for (auto _ : state) {
        scene.front->OpenMenu();
        scene.Frame();
        scene.front->CloseMenu();
        scene.Frame();
    }
}
BENCHMARK(BM_MenuOpenAndClose)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
