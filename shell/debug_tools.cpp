// Debug mode's tools: the creature log saved when the program ends.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/form1.h"

bool TForm1::SaveDebugLog() {
    const std::string path = assetDir + "debug.txt";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    int error = file ? 0 : errno;
    // One line an entry, each ended by CR LF.
    for (size_t i = 0; file && error == 0 && i < lstDebug.size(); ++i) {
        const std::string& line = lstDebug[i];
        if (std::fwrite(line.data(), 1, line.size(), file) != line.size() ||
            std::fwrite("\r\n", 1, 2, file) != 2)
            error = errno ? errno : EIO;
    }
    if (file && std::fclose(file) != 0 && error == 0) error = errno ? errno : EIO;
    if (error == 0) return true;
    std::fprintf(stderr, "quorvatide: cannot write the debug log %s: %s\n", path.c_str(),
                 std::strerror(error));
    return false;
}
