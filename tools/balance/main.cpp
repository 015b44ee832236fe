// qv_balance: the balance lab. Plays many games headless with a chosen player and settings
// file, and reports what the numbers do; see docs/balance.md.
#include <malloc.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "tools/balance/cli.h"

int main(int argc, char** argv) {
    // Every game builds a whole window and frees it again; kept by the allocator instead of
    // handed back to the system, its memory is not mapped and faulted in afresh each time.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
    // The generated Assets lie beside the program, as they do beside the game.
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) exe = std::filesystem::absolute(argv[0]);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return BalanceMain(args, exe.parent_path(), std::cout, std::cerr, isatty(2) != 0);
}
