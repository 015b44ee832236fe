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

// An integer value: decimal, or hexadecimal when longer than two characters and starting with
// "0x" or "0X" (with any number of leading zeros; eight digits past them at most, read as the
// 32-bit pattern). Surrounding blanks are ignored. Anything else, or a number outside the
// 32-bit range, gives no value.
std::optional<int32_t> ParseSettingInteger(std::string_view text);
// A real value: a finite decimal fraction such as 0.1 or -2.5.
std::optional<double> ParseSettingReal(std::string_view text);

// Finds a key by its exact name, as the replay files write it; null when there is none.
const TSettingKey* FindSettingKey(std::string_view name);
// A setting's value as text: an integer in decimal, a real with 17 significant digits ("%.17g"),
// so that it reads back to the very same number.
std::string SettingText(const TSettings& settings, const TSettingKey& key);
// Reads `value` by the rules of the key's type and stores it; false, leaving the setting as it
// was, when it does not parse.
bool SetSetting(TSettings& settings, const TSettingKey& key, std::string_view value);
// Calls visit(key, value) for the 28 keys in their order, the value an int32_t or a double.
template <class F>
void ForEachSetting(const TSettings& settings, F&& visit) {
    const TSettingKey* keys = SettingKeys();
    for (int i = 0; i < kSettingCount; ++i) {
        if (keys[i].integer)
            visit(keys[i], settings.*keys[i].integer);
        else
            visit(keys[i], settings.*keys[i].real);
    }
}

// The most of a settings file that is read.
constexpr size_t kMaxSettingsBytes = 1024 * 1024;

// Reads the settings from the text of an INI file (its first megabyte). A missing section or
// key, or a value that does not parse, keeps the default; the first line of a key counts, even
// when its value does not parse. Section and key names are not case-sensitive ("[settings]",
// "signcost"), and blanks inside the brackets are part of the section's name; a name and its value
// are parted by '=' or ':', whichever comes first. A line starting with ';' or '#' is a comment,
// and so is the rest of a line from a ';' that follows a blank: "SIGNCOST=12 ; twelve" is 12,
// "SIGNCOST=12;twelve" is not a number and keeps the default. Blanks around names and values are
// dropped, and an indented line is read as if it were not indented. A line without '=' or ':' is
// skipped, and so is a line too long to be a setting (beyond 198 characters without its blanks),
// whole. A NUL byte ends a line, and a UTF-8 byte order mark at the start is dropped.
TSettings ReadSettingsText(std::string_view text);
