#include "app/records_cli.h"

#include <cstring>

#include "frontend/plot.h"
#include "frontend/png.h"
#include "frontend/records.h"
#include "frontend/report.h"
#include "replay/replay_folder.h"

TCliOutcome PrintRecords(IFiles& files, const std::string& stateDir) {
    TCliOutcome outcome;
    if (stateDir.empty()) {
        outcome.out =
            "quorvatide: no records: there is no folder for them (neither "
            "XDG_STATE_HOME nor HOME is set)\n";
        return outcome;
    }
    std::string warning;
    const TRecords records = LoadRecords(files, stateDir, warning);
    if (!warning.empty()) outcome.err = "quorvatide: " + warning + "\n";
    if (records.games.empty())
        outcome.out = "quorvatide: no records yet: no game has been played to its end\n";
    for (const std::string& line : RecordsTable(records.games)) outcome.out += line + "\n";
    return outcome;
}

TCliOutcome PrintReport(IFiles& files, const std::string& exeDir, const std::string& stateDir,
                        const std::string& replay, const std::string& plot, int game) {
    TCliOutcome outcome;
    std::string path = replay;
    const std::string folder = ReplayFolder(stateDir);
    if (!files.IsFile(path) && path.find_first_of("/\\") == std::string::npos && !folder.empty() &&
        files.IsFile(folder + path))
        path = folder + path;
    const TReportOutcome made = MakeReport(path, files, exeDir, game);
    if (made.status != 0) {
        outcome.status = made.status;
        outcome.err = "quorvatide: " + made.message + "\n";
        return outcome;
    }
    outcome.out = path + "\n";
    for (const std::string& line : ReportLines(made.report)) outcome.out += line + "\n";
    if (!plot.empty()) {
        if (const int e = WritePng(files, plot, DrawReportPlot(made.report))) {
            outcome.status = 2;
            outcome.err =
                "quorvatide: cannot write the plot to " + plot + ": " + std::strerror(e) + "\n";
            return outcome;
        }
        outcome.out += "plot: " + plot + "\n";
    }
    return outcome;
}
