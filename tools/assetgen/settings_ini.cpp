// settings.ini: the 28 keys at their defaults, each under a comment saying what it tunes.
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "core/settings.h"
#include "tools/assetgen/assetgen.h"

namespace assetgen {
namespace {

// A real as a decimal fraction that reads back as a real: 1.0 rather than 1.
std::string RealText(double value) {
    std::ostringstream text;
    text << value;
    std::string s = text.str();
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

}  // namespace

void WriteSettingsIni(const std::filesystem::path& dir) {
    const TSettings defaults;
    std::ofstream out(dir / "settings.ini", std::ios::binary);
    out << "; Quorvatide balance and debug settings. Delete a line to use its default.\n"
           "; Whole numbers may also be written in hexadecimal, e.g. 0x1E.\n\n"
           "[Settings]\n";
    const TSettingKey* keys = SettingKeys();
    for (int i = 0; i < kSettingCount; ++i) {
        const TSettingKey& key = keys[i];
        out << "; " << key.meaning << "\n" << key.name << "=";
        if (key.integer)
            out << defaults.*key.integer;
        else
            out << RealText(defaults.*key.real);
        out << "\n";
    }
    if (!out.flush()) throw std::runtime_error("cannot write settings.ini");
}

}  // namespace assetgen
