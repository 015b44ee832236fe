#include "core/settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "tests/harness.h"

namespace {

TSettings ReadFrom(const TTempAssets& dir, const std::string& content) {
    dir.Write("settings.ini", content);
    return ReadSettingsAt((dir.Assets() / "settings.ini").string());
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
    const TSettings none = ReadSettingsAt("/nonexistent/settings.ini");
    EXPECT_EQ(none.NUMSTARTRES, 25);
    EXPECT_EQ(none.FVONKELBASEEMERGE, 80);
    EXPECT_EQ(none.SVONKELBASEEMERGE, 100);
    EXPECT_EQ(none.EVONKELBASEEMERGE, 50);
    EXPECT_EQ(none.MAX_SIGN, 4);
    EXPECT_EQ(none.TURRETSHOTSTRENGTH, 0.1);
    EXPECT_EQ(none.VONKELSHOTSTRENGTH, 1.0);

    TTempAssets dir;
    const TSettings otherSection = ReadFrom(dir, "[Other]\nSIGNCOST=3\n");
    EXPECT_EQ(otherSection.SIGNCOST, defaults.SIGNCOST);
    const TSettings someKeys = ReadFrom(dir, "[Settings]\nSIGNCOST=3\n");
    EXPECT_EQ(someKeys.SIGNCOST, 3);
    EXPECT_EQ(someKeys.BOTCOST, defaults.BOTCOST);
}

TEST(SettingsFile, ReadsEveryKeyWithItsRules) {
    TTempAssets dir;
    std::string ini = "; tuned\n[Settings]\n";
    for (int i = 0; i < kSettingCount; ++i) {
        const TSettingKey& k = SettingKeys()[i];
        ini += std::string(k.name) + "=" + (k.integer ? std::to_string(1000 + i) : "0.25") + "\n";
    }
    const TSettings s = ReadFrom(dir, ini);
    for (int i = 0; i < kSettingCount; ++i) {
        const TSettingKey& k = SettingKeys()[i];
        if (k.integer)
            EXPECT_EQ(s.*k.integer, 1000 + i) << k.name;
        else
            EXPECT_EQ(s.*k.real, 0.25) << k.name;
    }
}

TEST(SettingsFile, BadValuesFallBackPerKey) {
    TTempAssets dir;
    const TSettings s = ReadFrom(dir,
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
    TTempAssets dir;
    std::mt19937 rng(7);
    std::string junk(200000, '\0');
    for (char& c : junk) c = char(rng());
    const TSettings binary = ReadFrom(dir, junk + "\n[Settings]\nSIGNCOST=3\n");
    EXPECT_EQ(binary.BOTCOST, 100);

    // Only the first megabyte is read: a key after it is ignored, one before it is not.
    std::string huge = "[Settings]\nBOTCOST=7\n";
    huge += std::string(3 * 1024 * 1024, 'x') + "\nSIGNCOST=3\n";
    const TSettings big = ReadFrom(dir, huge);
    EXPECT_EQ(big.BOTCOST, 7);
    EXPECT_EQ(big.SIGNCOST, 10);
}

TEST(SettingsFile, IndentedKeysAreKeysAndLongLinesAreSkippedWhole) {
    TTempAssets dir;
    // Indented with blanks or tabs, after another key: each is its own key, and an indented
    // section header switches the section.
    const TSettings indented = ReadFrom(dir,
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
        ReadFrom(dir, "[Settings]\n; " + std::string(197, '-') + "[Other]\nBOTCOST=5\n");
    EXPECT_EQ(longComment.BOTCOST, 5);
    const TSettings longLine = ReadFrom(
        dir, "[Settings]\nSIGNCOST=12 ;" + std::string(186, ' ') + "BOTCOST=1\nBOTCOST=5\n");
    EXPECT_EQ(longLine.SIGNCOST, 10);
    EXPECT_EQ(longLine.BOTCOST, 5);

    // 198 characters, less the blanks around them, make the longest setting line.
    const auto line = [](const char* key, size_t length) {
        std::string text = std::string(key) + "=7 ;";
        return "   " + text + std::string(length - text.size(), '.') + "  \n";
    };
    const TSettings edge =
        ReadFrom(dir, "[Settings]\n" + line("GATHER_SCRAP", 198) + line("TURRETKILL", 199));
    EXPECT_EQ(edge.GATHER_SCRAP, 7);
    EXPECT_EQ(edge.TURRETKILL, 10);
}
