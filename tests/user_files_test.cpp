// An installed game and its players' own folders: where they are, the settings file a player
// puts in theirs, and the debug log when the Assets folder cannot be written.
#include "shell/user_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/form1.h"
#include "tests/harness.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(UserFiles, FoldersFollowTheXdgRules) {
    EXPECT_EQ(UserFolder("/x/conf", "/home/p", ".config"), "/x/conf/quorvatide/");
    EXPECT_EQ(UserFolder("/x/conf/", "/home/p", ".config"), "/x/conf/quorvatide/");
    EXPECT_EQ(UserFolder(nullptr, "/home/p", ".config"), "/home/p/.config/quorvatide/");
    EXPECT_EQ(UserFolder("", "/home/p/", ".local/state"), "/home/p/.local/state/quorvatide/");
    // A relative value is not to be used.
    EXPECT_EQ(UserFolder("conf", "/home/p", ".config"), "/home/p/.config/quorvatide/");
    EXPECT_EQ(UserFolder(nullptr, nullptr, ".config"), "");
    EXPECT_EQ(UserFolder(nullptr, "relative", ".config"), "");
}

TEST(UserFiles, APlayersSettingsFileIsReadInsteadOfTheInstalledOne) {
    TTempAssets dir;
    const THarnessOptions installed = dir.WithSettings("SIGNCOST=7\nDEBUG=1\n");
    const fs::path config = dir.ExeDir() / "config" / "quorvatide";
    THarnessOptions options = installed;
    options.configDir = config.string() + "/";
    // No file of the player's (not even their folder): the installed settings.
    {
        EXPECT_EQ(SettingsPath(NativeFiles(), "/a/Assets/", options.configDir),
                  "/a/Assets/settings.ini");
        THarness h(options);
        EXPECT_EQ(h.Form().settings.SIGNCOST, 7);
        EXPECT_EQ(h.Form().settings.DEBUG, 1);
    }
    // The player's file, by the same rules: what it leaves out keeps its default, not the
    // installed value.
    fs::create_directories(config);
    std::ofstream(config / "settings.ini") << "[Settings]\nSIGNCOST=11\n";
    {
        EXPECT_EQ(SettingsPath(NativeFiles(), "/a/Assets/", options.configDir),
                  (config / "settings.ini").string());
        THarness h(options);
        EXPECT_EQ(h.Form().settings.SIGNCOST, 11);
        EXPECT_EQ(h.Form().settings.DEBUG, 0);
    }
    // A folder of that name is not a settings file.
    fs::remove(config / "settings.ini");
    fs::create_directory(config / "settings.ini");
    EXPECT_EQ(SettingsPath(NativeFiles(), "/a/Assets/", options.configDir),
              "/a/Assets/settings.ini");
    // Without a user folder (the headless default) the installed file is read, whatever the
    // real player's folders hold.
    THarness h(installed);
    EXPECT_EQ(h.Form().settings.SIGNCOST, 7);
}

TEST(UserFiles, TheDebugLogGoesToTheStateFolderWhenTheAssetsFolderCannotBeWritten) {
    TTempAssets dir;
    THarnessOptions options = dir.WithSettings("DEBUG=1\n");
    const fs::path state = dir.ExeDir() / "state" / "quorvatide";
    options.stateDir = state.string() + "/";
    // Writable Assets: the log stays there and the state folder is not even made.
    {
        auto h = std::make_unique<THarness>(options);
        h->StartPlay();
        h->Ticks(100);
        testing::internal::CaptureStderr();
        h.reset();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_TRUE(fs::is_regular_file(dir.Assets() / "debug.txt"));
        EXPECT_FALSE(fs::exists(state));
    }
    fs::remove(dir.Assets() / "debug.txt");
    fs::create_directory(dir.Assets() / "debug.txt");  // in the way, even for root
    auto h = std::make_unique<THarness>(options);
    h->StartPlay();
    h->Ticks(100);
    std::string expected;
    for (const std::string& line : h->Form().lstDebug) expected += line + "\r\n";
    testing::internal::CaptureStderr();
    h.reset();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("the debug log is in " + (state / "debug.txt").string()), std::string::npos)
        << err;
    EXPECT_EQ(ReadAll(state / "debug.txt"), expected);
}

TEST(UserFiles, OnlyRegularFilesReachTheGame) {
    // Named pipes in the place of a picture, a mask, a window picture and a sound: nothing
    // writes to them, and the game must neither wait for them nor take them for files.
    TTempAssets dir;
    const THarnessOptions options = dir.WithSettings("");
    for (const char* pipe : {"Get.bmp", "Rock1A.bmp", "splash.bmp", "menuopen.wav"}) {
        fs::remove(dir.Assets() / pipe);
        ASSERT_EQ(mkfifo((dir.Assets() / pipe).c_str(), 0644), 0);
    }
    THarness h(options);
    const TForm1& f = h.Form();
    EXPECT_TRUE(f.Sprites[size_t(f.sprGet)].Empty());
    EXPECT_FALSE(f.Sprites[size_t(f.sprRock)].Empty());  // its mask passed over
    EXPECT_TRUE(f.imSplash->Picture().Empty());
    EXPECT_FALSE(NativeFiles().IsFile((dir.Assets() / "menuopen.wav").string()));
}
