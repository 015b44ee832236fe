#include "core/settings.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <random>
#include <string>
#include <type_traits>

#include "shell/user_files.h"
#include "tests/harness.h"

using namespace std::string_literals;

namespace {

TSettings ReadFrom(const std::string& content) {
    return ReadSettingsText(content);
}

// The settings as the game reads them from a file.
TSettings ReadFile(const std::filesystem::path& path) {
    return ReadSettingsText(ReadSettingsFile(path.string()));
}

}  // namespace

TEST(SettingValues, IntegersAreDecimalOrLongHex) {
    EXPECT_EQ(ParseSettingInteger("10"), 10);
    EXPECT_EQ(ParseSettingInteger("-5"), -5);
    EXPECT_EQ(ParseSettingInteger("+7"), 7);
    EXPECT_EQ(ParseSettingInteger("  42 "), 42);
    EXPECT_EQ(ParseSettingInteger("010"), 10);  // no octal
    EXPECT_EQ(ParseSettingInteger("0x10"), 16);
    EXPECT_EQ(ParseSettingInteger("0X1f"), 31);
    EXPECT_EQ(ParseSettingInteger("0xFFFFFFFF"), -1);
    // Leading zeros of a hex value are no digits of its size.
    EXPECT_EQ(ParseSettingInteger("0x000000010"), 16);
    EXPECT_EQ(ParseSettingInteger("0X0000000000000000ffffffff"), -1);
    EXPECT_EQ(ParseSettingInteger("0x00000000000"), 0);
    EXPECT_EQ(ParseSettingInteger("2147483647"), 2147483647);
    EXPECT_EQ(ParseSettingInteger("-2147483648"), INT32_MIN);
}

TEST(SettingValues, AnythingElseGivesNoValue) {
    for (const char* bad :
         {"", " ", "abc", "12abc", "1.5", "0x", "0xG1", "x10", "0x123456789", "0x000100000000",
          "2147483648", "-2147483649", "99999999999999999999", "--1", "1 2"})
        EXPECT_EQ(ParseSettingInteger(bad), std::nullopt) << '"' << bad << '"';
}

TEST(SettingValues, RealsAreFiniteDecimalFractions) {
    EXPECT_EQ(ParseSettingReal("0.1"), 0.1);
    EXPECT_EQ(ParseSettingReal("1"), 1.0);
    EXPECT_EQ(ParseSettingReal("-2.5"), -2.5);
    EXPECT_EQ(ParseSettingReal(" 3.25 "), 3.25);
    for (const char* bad : {"", "0,5", "abc", "1.0x", "nan", "inf", "-inf", "1e999"})
        EXPECT_EQ(ParseSettingReal(bad), std::nullopt) << '"' << bad << '"';
}

TEST(SettingsFile, MissingFileSectionOrKeyKeepsDefaults) {
    const TSettings defaults;
    const TSettings none = ReadFile("/nonexistent/settings.ini");
    EXPECT_EQ(none.NUMSTARTRES, 25);
    EXPECT_EQ(none.FVONKELBASEEMERGE, 80);
    EXPECT_EQ(none.SVONKELBASEEMERGE, 100);
    EXPECT_EQ(none.EVONKELBASEEMERGE, 50);
    EXPECT_EQ(none.MAX_SIGN, 4);
    EXPECT_EQ(none.TURRETSHOTSTRENGTH, 0.1);
    EXPECT_EQ(none.VONKELSHOTSTRENGTH, 1.0);

    const TSettings otherSection = ReadFrom("[Other]\nSIGNCOST=3\n");
    EXPECT_EQ(otherSection.SIGNCOST, defaults.SIGNCOST);
    const TSettings someKeys = ReadFrom("[Settings]\nSIGNCOST=3\n");
    EXPECT_EQ(someKeys.SIGNCOST, 3);
    EXPECT_EQ(someKeys.BOTCOST, defaults.BOTCOST);
}

TEST(SettingsFile, ReadsEveryKeyWithItsRules) {
    std::string ini = "; tuned\n[Settings]\n";
    for (int i = 0; i < kSettingCount; ++i) {
        const TSettingKey& k = SettingKeys()[i];
        ini += std::string(k.name) + "=" + (k.integer ? std::to_string(1000 + i) : "0.25") + "\n";
    }
    const TSettings s = ReadFrom(ini);
    for (int i = 0; i < kSettingCount; ++i) {
        const TSettingKey& k = SettingKeys()[i];
        if (k.integer)
            EXPECT_EQ(s.*k.integer, 1000 + i) << k.name;
        else
            EXPECT_EQ(s.*k.real, 0.25) << k.name;
    }
}

TEST(SettingsFile, BadValuesFallBackPerKey) {
    const TSettings s = ReadFrom(
        "[settings]\n"
        "vonkelkill = 0x10\n"       // names are not case-sensitive
        "TURRETKILL=lots\n"         // not a number: default
        "SIGNCOST=12 ; comment\n"   // trailing comment
        "SIGNCOST=99\n"             // the first value counts
        "BOTCOST=\n"                // empty: default
        "VONKELSHOTSTRENGTH=0,5\n"  // not a decimal fraction: default
        "TURRETSHOTSTRENGTH=0.5\n"
        "DEBUG=99999999999\n");  // out of range: default
    EXPECT_EQ(s.VONKELKILL, 16);
    EXPECT_EQ(s.TURRETKILL, 10);
    EXPECT_EQ(s.SIGNCOST, 12);
    EXPECT_EQ(s.BOTCOST, 100);
    EXPECT_EQ(s.VONKELSHOTSTRENGTH, 1.0);
    EXPECT_EQ(s.TURRETSHOTSTRENGTH, 0.5);
    EXPECT_EQ(s.DEBUG, 0);
}

TEST(SettingsFile, BinaryOrHugeFilesDoNotHurt) {
    std::mt19937 rng(7);
    std::string junk(200000, '\0');
    for (char& c : junk) c = char(rng());
    const TSettings binary = ReadFrom(junk + "\n[Settings]\nSIGNCOST=3\n");
    EXPECT_EQ(binary.BOTCOST, 100);

    // Only the first megabyte is read: a key after it is ignored, one before it is not.
    std::string huge = "[Settings]\nBOTCOST=7\n";
    huge += std::string(3 * 1024 * 1024, 'x') + "\nSIGNCOST=3\n";
    const TSettings big = ReadFrom(huge);
    EXPECT_EQ(big.BOTCOST, 7);
    EXPECT_EQ(big.SIGNCOST, 10);
}

TEST(SettingsFile, IndentedKeysAreKeysAndLongLinesAreSkippedWhole) {
    // Indented with blanks or tabs, after another key: each is its own key, and an indented
    // section header switches the section.
    const TSettings indented = ReadFrom(
        "[Settings]\n"
        "SIGNCOST=3\n"
        "  BOTCOST = 5\n"
        "\t\tmax_sign=6 ; six\n"
        "  [Other]\n"
        "  GATHER_SCRAP=7\n");
    EXPECT_EQ(indented.SIGNCOST, 3);
    EXPECT_EQ(indented.BOTCOST, 5);
    EXPECT_EQ(indented.MAX_SIGN, 6);
    EXPECT_EQ(indented.GATHER_SCRAP, 10);

    // A long comment whose tail would look like a section, and a long line whose tail would look
    // like a key: neither is read in pieces.
    const TSettings longComment =
        ReadFrom("[Settings]\n; " + std::string(197, '-') + "[Other]\nBOTCOST=5\n");
    EXPECT_EQ(longComment.BOTCOST, 5);
    const TSettings longLine =
        ReadFrom("[Settings]\nSIGNCOST=12 ;" + std::string(186, ' ') + "BOTCOST=1\nBOTCOST=5\n");
    EXPECT_EQ(longLine.SIGNCOST, 10);
    EXPECT_EQ(longLine.BOTCOST, 5);

    // 198 characters, less the blanks around them, make the longest setting line.
    const auto line = [](const char* key, size_t length) {
        std::string text = std::string(key) + "=7 ;";
        return "   " + text + std::string(length - text.size(), '.') + "  \n";
    };
    const TSettings edge =
        ReadFrom("[Settings]\n" + line("GATHER_SCRAP", 198) + line("TURRETKILL", 199));
    EXPECT_EQ(edge.GATHER_SCRAP, 7);
    EXPECT_EQ(edge.TURRETKILL, 10);
}

TEST(SettingsFile, CommentsSeparatorsAndSectionsReadAsTheGameAlwaysDid) {
    const TSettings s = ReadFrom(
        "\xEF\xBB\xBF[settings]\r\n"  // a byte order mark first, then any case
        "BOTCOST: 40\r\n"             // ':' parts a name from its value too
        "[Other]\r\n"
        "SIGNCOST=1\r\n"  // another section's key
        "[SETTINGS]\r\n"
        "SIGNCOST=3\r\n"  // the first in this section counts
        "SIGNCOST=4\n"
        "VONKELKILL=7;no blank\n"  // a ';' after no blank is part of the value
        "TURRETKILL=8\t; a tab\n"  // a ';' after any blank starts a comment
        "GATHER_SCRAP:5=6\n"       // whichever separator comes first
        "MAX_SIGN ;=9\n"           // a comment before the separator: no key
        "MAX_SIGN\n"               // no separator: skipped, not the first MAX_SIGN
        "MAX_SIGN=6\n"
        "# INITDELAY=3\n"
        "DEBUG=4 # four\n"  // '#' starts a comment only at the start of a line
        "[Settings\n"       // no ']': skipped, the section goes on
        "TURRETHEALTH=12\n"
        "[ Settings ] ; blanks count\n"  // another section
        "BLOCKSIGNBUILDBY=3\n"
        "[Settings];and anything after\n"
        "CONFSTATERPAUSEA=5\0CONFSTATERPAUSEB=6\n"  // a NUL ends a line
        "  \xEF\xBB\xBFINITDELAY=7\n"s);            // a mark only at the very start
    const TSettings defaults;
    EXPECT_EQ(s.BOTCOST, 40);
    EXPECT_EQ(s.SIGNCOST, 3);
    EXPECT_EQ(s.VONKELKILL, defaults.VONKELKILL);
    EXPECT_EQ(s.TURRETKILL, 8);
    EXPECT_EQ(s.GATHER_SCRAP, defaults.GATHER_SCRAP);
    EXPECT_EQ(s.MAX_SIGN, 6);
    EXPECT_EQ(s.INITDELAY, defaults.INITDELAY);
    EXPECT_EQ(s.DEBUG, defaults.DEBUG);
    EXPECT_EQ(s.TURRETHEALTH, 12);
    EXPECT_EQ(s.BLOCKSIGNBUILDBY, defaults.BLOCKSIGNBUILDBY);
    EXPECT_EQ(s.CONFSTATERPAUSEA, 5);
    EXPECT_EQ(s.CONFSTATERPAUSEB, 6);
}

TEST(SettingsFile, OnlyARegularFileIsReadAndOnlyItsFirstMegabyte) {
    TTempAssets dir;
    const std::filesystem::path path = dir.Assets() / "settings.ini";
    dir.Write("settings.ini",
              "[Settings]\nBOTCOST=7\n" + std::string(3 * 1024 * 1024, 'x') + "\nSIGNCOST=3\n");
    EXPECT_EQ(ReadSettingsFile(path.string()).size(), 1024u * 1024u);
    EXPECT_EQ(ReadFile(path).BOTCOST, 7);

    // A named pipe that nobody writes to would block an open for reading: it is not opened.
    std::filesystem::remove(path);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    auto read = std::async(std::launch::async, [&] { return ReadFile(path); });
    const bool done = read.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    if (!done) close(open(path.c_str(), O_WRONLY | O_NONBLOCK));  // lets a blocked reader go
    EXPECT_TRUE(done);
    EXPECT_EQ(read.get().BOTCOST, TSettings().BOTCOST);

    // Nor is a folder.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_EQ(ReadSettingsFile(path.string()), "");
}

TEST(SettingKeys, TextAndValueRoundTripByExactName) {
    TSettings s;
    const TSettingKey* real = FindSettingKey("TURRETSHOTSTRENGTH");
    const TSettingKey* integer = FindSettingKey("SIGNCOST");
    ASSERT_TRUE(real && integer);
    EXPECT_EQ(FindSettingKey("signcost"), nullptr);
    EXPECT_EQ(SettingText(s, *real), "0.10000000000000001");
    EXPECT_TRUE(SetSetting(s, *integer, "0x20"));
    EXPECT_EQ(SettingText(s, *integer), "32");
    EXPECT_FALSE(SetSetting(s, *integer, "lots"));
    EXPECT_FALSE(SetSetting(s, *real, "nan"));
    EXPECT_EQ(s.SIGNCOST, 32);
    EXPECT_TRUE(SetSetting(s, *real, SettingText(s, *FindSettingKey("VONKELSHOTSTRENGTH"))));
    EXPECT_EQ(s.TURRETSHOTSTRENGTH, 1.0);
    int visited = 0;
    ForEachSetting(s, [&](const TSettingKey& key, auto value) {
        EXPECT_EQ(&key, &SettingKeys()[visited++]);
        if constexpr (std::is_same_v<decltype(value), double>)
            EXPECT_EQ(value, s.*key.real);
        else
            EXPECT_EQ(value, s.*key.integer);
    });
    EXPECT_EQ(visited, kSettingCount);
}
