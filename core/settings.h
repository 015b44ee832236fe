// The balance and debug settings of settings.ini (section "Settings").
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct TSettings {
    int32_t VONKELKILL = 50;
    int32_t TURRETKILL = 10;
    int32_t FVONKELBASESPEED = 20;
    int32_t EVONKELBASESPEED = 20;
    int32_t SVONKELBASESPEED = 20;
    int32_t SIGNCOST = 10;
    int32_t BOTCOST = 100;
    int32_t MAX_SIGN = 4;
    int32_t GATHER_SCRAP = 10;
    int32_t FVONKELBASEEMERGE = 80;
    int32_t SVONKELBASEEMERGE = 100;
    int32_t EVONKELBASEEMERGE = 50;
    int32_t FVONKELFORCEY = 17;
    int32_t EVONKELFORCEY = 9;
    int32_t SVONKELFORCEY = 9;
    int32_t BASEVONKELHEALTH = 15;
    int32_t BASEORBHEALTH = 30;
    int32_t BLOCKSIGNBUILDBY = 1;
    int32_t VONKELEMERGESWAP = 30;
    int32_t CONFSTATERPAUSEA = 2;
    int32_t CONFSTATERPAUSEB = 1;
    double VONKELSHOTSTRENGTH = 1.0;
    double TURRETSHOTSTRENGTH = 0.1;
    int32_t NUMSTARTRES = 25;
    int32_t VONKELSCRAPPERC = 20;
    int32_t TURRETHEALTH = 10;
    int32_t INITDELAY = 0;
    int32_t DEBUG = 0;
};

// One key of the file: its name, where it lives in TSettings, and what it tunes.
struct TSettingKey {
    const char* name;
    int32_t TSettings::*integer;  // null for the two reals
    double TSettings::*real;      // null for the integers
    const char* meaning;
};

// The 28 keys in the order they are read.
const TSettingKey* SettingKeys();
constexpr int kSettingCount = 28;
// The key of that exact name; null for none.
const TSettingKey* FindSettingKey(std::string_view name);
// A value as text: integers as they are, reals so that they read back to the very same number.
std::string SettingText(const TSettings& settings, const TSettingKey& key);
// Reads a value of the key from text into `settings`; false (and nothing changed) when the text
// is no value of the key's kind.
bool SetSetting(TSettings& settings, const TSettingKey& key, std::string_view value);

// An integer value: decimal, or hexadecimal when longer than two characters and starting with
// "0x" or "0X" (with any number of leading zeros; eight digits past them at most, read as the
// 32-bit pattern). Surrounding blanks are ignored. Anything else, or a number outside the
// 32-bit range, gives no value.
std::optional<int32_t> ParseSettingInteger(std::string_view text);
// A real value: a finite decimal fraction such as 0.1 or -2.5.
std::optional<double> ParseSettingReal(std::string_view text);

// The most of a settings file that is read.
constexpr size_t kMaxSettingsBytes = 1024 * 1024;

// Reads the settings from the text of an INI file. A missing file, section or key, or a value that
// does not parse, keeps the default. Key names are not case-sensitive, a comment may follow a value
// after ';', and an indented line is read as if it were not indented. A line too long to be a
// setting (beyond 198 characters without its blanks) is skipped whole. Only the first megabyte
// of the file is read.
TSettings ReadSettingsText(std::string_view text);
