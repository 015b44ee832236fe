// The plot of a game's report: score, scrap and creatures alive over the game's time, in the
// look of the game's dark screens. The records' report screen shows it, and --report writes it
// as a PNG: the same picture.
#pragma once

#include "frontend/report.h"
#include "toolkit/picture.h"

constexpr int kPlotWidth = 660, kPlotHeight = 300;

// The plot's colours: the dark screens' night blue, their pale text, and a colour for each line.
constexpr TColor32 kPlotBackground = Color32(0x07, 0x0B, 0x17);
constexpr TColor32 kPlotText = Color32(0xDD, 0xE3, 0xEE);
constexpr TColor32 kPlotAxis = Color32(0x9F, 0xB0, 0xCC);
constexpr TColor32 kPlotGrid = Color32(0x1C, 0x25, 0x3C);
constexpr TColor32 kPlotScore = Color32(0xF5, 0xC4, 0x51);
constexpr TColor32 kPlotScrap = Color32(0x79, 0xCD, 0xF2);
constexpr TColor32 kPlotCreatures = Color32(0x78, 0xF5, 0xB9);

// Draws the report's plot at `width` x `height` (at least 160 x 100): the time along the
// bottom labelled m:ss, and a line for each of score, scrap and creatures alive, each scaled to
// its own largest value, which the legend at the top gives in the line's colour.
TPicture DrawReportPlot(const TGameReport& report, int width = kPlotWidth,
                        int height = kPlotHeight);
