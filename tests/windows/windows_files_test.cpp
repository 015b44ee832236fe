// The Windows files and folders (windows_files.cpp), run under wine: UTF-8 paths with accents
// reach the system whole, only regular files are read, nothing is replaced by a rename or a
// new file, and the system's errors read as the messages the game gives on Linux.
#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/native.h"
#include "platform/windows/windows_native.h"
#include "tests/harness.h"
#include "toolkit/utf8_path.h"

namespace fs = std::filesystem;

TEST(WindowsFiles, PathsWithAccentsAreReadWrittenAndRenamedWithoutReplacingAnything) {
    TTempAssets dir;
    IFiles& files = NativeFiles();
    const std::string folder = PathUtf8(dir.ExeDir()) + "/Zoë Café/";
    const std::string a = folder + "séance ü.txt", b = folder + "journal é.txt";
    EXPECT_EQ(files.Write(a, "one\r\ntwo", true), 0);
    EXPECT_TRUE(fs::is_regular_file(Utf8Path(a)));
    EXPECT_TRUE(files.IsFile(a));
    bool whole = false;
    EXPECT_EQ(files.Read(a, 100, &whole).value_or("?"), "one\r\ntwo");
    EXPECT_TRUE(whole);
    EXPECT_EQ(files.Read(a, 3, &whole).value_or("?"), "one");
    EXPECT_FALSE(whole);
    // A folder is no file to read.
    EXPECT_FALSE(files.IsFile(folder));
    EXPECT_FALSE(files.Read(folder, 100).has_value());
    EXPECT_FALSE(files.Read(folder + "missing", 100).has_value());

    int error = 0;
    auto out = files.CreateNew(b, error);
    ASSERT_TRUE(out) << std::strerror(error);
    EXPECT_TRUE(out->Append("abc", 3));
    EXPECT_TRUE(out->Close());
    EXPECT_EQ(files.Read(b, 100).value_or("?"), "abc");
    EXPECT_FALSE(files.CreateNew(b, error));
    EXPECT_EQ(error, EEXIST);
    // A name already taken is left as it is.
    EXPECT_EQ(files.Rename(a, b), EEXIST);
    EXPECT_EQ(files.Read(b, 100).value_or("?"), "abc");
    EXPECT_EQ(files.Rename(a, folder + "moved ß.txt"), 0);
    EXPECT_FALSE(files.IsFile(a));
    EXPECT_TRUE(files.IsFile(folder + "moved ß.txt"));
    // Writing where a file stands in for the folder fails with a reason, and nothing throws.
    EXPECT_NE(files.Write(b + "/inside.txt", "x"), 0);
}

TEST(WindowsFiles, AFileBeingWrittenIsInUseUntilClosedAndCanBeRenamedAndRemoved) {
    TTempAssets dir;
    IFiles& files = NativeFiles();
    const std::string a = PathUtf8(dir.ExeDir()) + "/séance.qvr", b = a + ".renamed";
    int error = 0;
    auto out = files.CreateNew(a, error);
    ASSERT_TRUE(out) << std::strerror(error);
    EXPECT_TRUE(out->Append("abc", 3));
    // Read while written; in use until closed, under its new name too.
    EXPECT_TRUE(files.InUse(a));
    EXPECT_EQ(files.Read(a, 100).value_or("?"), "abc");
    EXPECT_EQ(files.Rename(a, b), 0);
    EXPECT_TRUE(files.InUse(b));
    EXPECT_TRUE(out->Append("def", 3));
    EXPECT_TRUE(out->Close());
    EXPECT_FALSE(files.InUse(b));
    EXPECT_EQ(files.Read(b, 100).value_or("?"), "abcdef");
    EXPECT_FALSE(files.InUse(a));  // none of the name
    EXPECT_EQ(files.Remove(b), 0);
    EXPECT_FALSE(files.IsFile(b));
    EXPECT_EQ(files.Remove(b), ENOENT);
    EXPECT_EQ(ErrnoFromWindows(ERROR_FILE_TOO_LARGE), EFBIG);
}

TEST(WindowsFiles, SystemErrorsReadAsTheGamesMessagesAndTheFoldersAreThePlayers) {
    EXPECT_EQ(ErrnoFromWindows(ERROR_DISK_FULL), ENOSPC);
    EXPECT_EQ(ErrnoFromWindows(ERROR_HANDLE_DISK_FULL), ENOSPC);
    EXPECT_EQ(ErrnoFromWindows(ERROR_ACCESS_DENIED), EACCES);
    EXPECT_EQ(ErrnoFromWindows(ERROR_WRITE_PROTECT), EROFS);
    EXPECT_EQ(ErrnoFromWindows(ERROR_PATH_NOT_FOUND), ENOENT);
    EXPECT_EQ(ErrnoFromWindows(ERROR_FILE_EXISTS), EEXIST);
    EXPECT_STREQ(std::strerror(ENOSPC), "No space left on device");

    const TUserFolders folders = NativeUserFolders();
    for (const std::string& f : {folders.config, folders.state}) {
        ASSERT_GE(f.size(), 12u) << f;
        EXPECT_EQ(f.substr(f.size() - 11), "Quorvatide/") << f;
        EXPECT_EQ(f.find('\\'), std::string::npos) << f;
    }
    EXPECT_NE(folders.config, folders.state);
    EXPECT_EQ(WideFromUtf8("Zoë"), L"Zo\u00eb");
    EXPECT_EQ(Utf8FromWide(L"Caf\u00e9"), "Café");
}
