// The player's front end on a headless host, for the tests of what stands on it: a fake clock,
// recording audio and a fresh folder of its own for the player's files, removed at the end.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/form1.h"
#include "frontend/front_end.h"
#include "platform/sdl/sdl_bmp.h"
#include "shell/screen_name.h"
#include "tests/harness.h"
#include "toolkit/utf8_path.h"

struct TFrontRig {
    // `configFiles`: the player's files (name, text) written before the front end starts.
    explicit TFrontRig(const std::string& prefix,
                       const std::vector<std::pair<std::string, std::string>>& configFiles = {}) {
        dir = FreshTempFolder(prefix);
        std::filesystem::create_directories(dir / "config");
        std::filesystem::create_directories(dir / "state");
        for (const auto& [name, text] : configFiles)
            std::ofstream(dir / "config" / name, std::ios::binary) << text;
        clock.now = 1000;
        platform = std::make_unique<TPlatform>(TPlatform{clock, audio, SdlFiles(),
                                                         PathUtf8(BuildExeDir()) + "/",
                                                         PathUtf8(dir / "config") + "/", State()});
        front = std::make_unique<TFrontEnd>(*platform, TFrontEndHooks{});
    }
    ~TFrontRig() {
        front.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    TFrontRig(const TFrontRig&) = delete;
    TFrontRig& operator=(const TFrontRig&) = delete;

    TForm1& Game() { return *front->Game(); }
    std::string Screen() { return ScreenName(Game()); }
    void Click(int x, int y) {
        TShiftState down;
        down.left = true;
        front->Dispatch(TDispatch::MouseMove(x, y, TShiftState()));
        front->Dispatch(TDispatch::MouseDown(x, y, TMouseButton::Left, down));
        front->Dispatch(TDispatch::MouseUp(x, y, TMouseButton::Left, TShiftState()));
    }
    // The replays folder's files, by name.
    std::vector<std::filesystem::path> Replays() {
        std::vector<std::filesystem::path> all;
        for (const auto& e : std::filesystem::directory_iterator(dir / "state" / "replays"))
            all.push_back(e.path());
        std::sort(all.begin(), all.end());
        return all;
    }
    std::string State() { return PathUtf8(dir / "state") + "/"; }

    std::filesystem::path dir;
    TFakeClock clock;
    TRecordingAudio audio{clock};
    std::unique_ptr<TPlatform> platform;
    std::unique_ptr<TFrontEnd> front;
};
