// The window's keys: music, sound and pause for every player, and in debug mode the keys that
// change the game directly. Debug mode also keeps the creature log, saved when the program ends.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/form1.h"

void TForm1::FormKeyPress(char& key) {
    // Letters act alike in either case.
    const char k = char(std::toupper(static_cast<unsigned char>(key)));
    const bool debug = settings.DEBUG != 0;
    if (k == 'X' && debug) NewBot();
    if (k == 'Z' && debug) {
        // Creatures are only ever referred to by index within a decision step and by id in the
        // signs' records, so nothing is left pointing at the freed ones.
        FreeAll(lstVonkels);
    }
    if (k == 'C' && debug) ChangeCash(50);
    if (k == 'V' && debug) ChangeCash(std::max<int64_t>(int64_t(cash) - 50, 0) - cash);
    if (k == 'B' && debug) dbgFreeze = !dbgFreeze;
    if (k == 'A' && debug) dbgInvincible = !dbgInvincible;
    if (k == 'N' && debug) {
        // Like creatures, turrets are referred to only by index within a decision step.
        FreeAll(lstTurrets);
        AddBaseTurrets();
    }
    if (k == 'F' && debug) {
        // Lasts until the program ends: new games keep the settings as they are now.
        settings.FVONKELBASESPEED = 0;
        settings.SVONKELBASESPEED = 0;
        settings.EVONKELBASESPEED = 0;
        for (auto& vonkel : lstVonkels) vonkel->speed = 0;
    }
    if (k == 'G' && debug) dbgNoSpawn = !dbgNoSpawn;
    if (k == 'M') ToggleMusic();
    if (k == 'S') ToggleSound();
    if (k == 'P' && PauseAllowed()) TogglePause();
}

std::string TForm1::DebugLogText(const std::vector<std::string>& lines) {
    size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) text.append(line).append("\r\n");
    return text;
}

bool TForm1::SaveDebugLog() {
    if (!Platform().writesFiles) return true;
    IFiles& files = Platform().files;
    const std::string path = assetDir + "debug.txt";
    const std::string text = DebugLogText(lstDebug);
    const int error = files.Write(path, text);
    if (error == 0) return true;
    // An installed game's Assets folder is read-only for its players: the log goes to the
    // player's state folder instead, and one line says where.
    const std::string& stateDir = Platform().stateDir;
    if (!stateDir.empty()) {
        const std::string fallback = stateDir + "debug.txt";
        if (files.Write(fallback, text, true) == 0) {
            std::fprintf(stderr, "quorvatide: cannot write %s (%s); the debug log is in %s\n",
                         path.c_str(), std::strerror(error), fallback.c_str());
            return true;
        }
    }
    std::fprintf(stderr, "quorvatide: cannot write the debug log %s: %s\n", path.c_str(),
                 std::strerror(error));
    return false;
}
