// The command line of qv_balance.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

// Runs qv_balance with `args` (without the program name), reading the generated Assets of
// `exeDir`; the table goes to `out`, messages and the progress bar to `err`. Returns the exit
// code: 0 done, 1 a game could not be played to its end, 2 a bad command line or file.
int BalanceMain(const std::vector<std::string>& args, const std::filesystem::path& exeDir,
                std::ostream& out, std::ostream& err, bool progressBar);
