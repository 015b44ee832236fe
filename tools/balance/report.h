// What the balance lab shows of its games: a summary table (median and quartiles of every
// measure), a CSV file with one row per game, and a PNG report drawn with cairo.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tools/balance/lab.h"

// One measure of a game, as the table and the CSV file name it.
struct TMeasure {
    const char* name;    // in the table
    const char* column;  // in the CSV file
    double (*value)(const TGameResult&);
};
const std::vector<TMeasure>& Measures();

struct TQuartiles {
    double q1 = 0, median = 0, q3 = 0;
};
// Lower quartile, median and upper quartile (linear between neighbours); all 0 when empty.
TQuartiles QuartilesOf(std::vector<double> values);

// The games of one settings file.
struct TRun {
    std::string label;  // the settings file
    std::vector<TGameResult> games;
};

struct TReportInfo {
    std::string player;
    int capTicks = 0;
};

// The table of one run, or of two side by side with the difference of their medians.
void WriteSummary(std::ostream& out, const std::vector<TRun>& runs, const TReportInfo& info);
// One row per game and run. False when the file cannot be written.
bool WriteCsv(const std::string& path, const std::vector<TRun>& runs, const TReportInfo& info);
// The survival times, the turrets standing over time and score against survival, for every
// run in its own colour. False when the file cannot be written.
bool WritePng(const std::string& path, const std::vector<TRun>& runs, const TReportInfo& info);
