#include "frontend/plot.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>

#include "frontend/records.h"
#include "replay/player.h"
#include "toolkit/builtin_art.h"

namespace {

constexpr int kMarginX = 16, kLegendHeight = 34, kLabelsHeight = 26;
constexpr int kLegendGap = 28;
// The least room between two time labels, in pixels.
constexpr int kLabelRoom = 64;
// Time between labels, the first that leaves them room.
constexpr uint64_t kLabelSteps[] = {5000,    10000,   15000,    30000,    60000,
                                    120000,  300000,  600000,   900000,   1800000,
                                    3600000, 7200000, 18000000, 36000000, 86400000};

struct TSeries {
    const char* name;
    TColor32 colour;
    std::function<int64_t(const TReportSample&)> value;
};

}  // namespace

TPicture DrawReportPlot(const TGameReport& report, int width, int height) {
    width = std::max(width, 160);
    height = std::max(height, 100);
    TPicture plot(width, height, kPlotBackground);
    const TBuiltinFont& font = TextFont();

    // The area of the lines: x0..x1, y0 (top)..y1 (the time axis).
    const int x0 = kMarginX, x1 = width - kMarginX - 1;
    const int y0 = kLegendHeight, y1 = height - kLabelsHeight;
    uint64_t span = report.lengthMs;
    for (const TReportSample& s : report.samples) span = std::max(span, s.ms);
    span = std::max<uint64_t>(span, 1);
    const auto xOf = [&](uint64_t ms) {
        return x0 + int(double(ms) / double(span) * double(x1 - x0) + 0.5);
    };

    // A faint line at each quarter of the height.
    for (int q = 1; q <= 4; ++q) {
        const int y = y1 - (y1 - y0) * q / 4;
        plot.FillRect(x0, y, x1 + 1, y + 1, kPlotGrid);
    }
    // The time: a label every step, the step the first that leaves the labels room.
    uint64_t step = std::end(kLabelSteps)[-1];
    for (const uint64_t s : kLabelSteps)
        if (double(s) / double(span) * double(x1 - x0) >= kLabelRoom) {
            step = s;
            break;
        }
    for (uint64_t t = 0; t <= span; t += step) {
        const int x = xOf(t);
        if (t > 0) plot.FillRect(x, y0, x + 1, y1, kPlotGrid);
        plot.FillRect(x, y1, x + 1, y1 + 4, kPlotAxis);
        const std::string label = MinutesSeconds(t, 1);
        const int w = TextWidth(label, font);
        DrawText(plot, std::clamp(x - w / 2, 0, width - w), y1 + 6, label, kPlotText, font);
    }
    plot.FillRect(x0, y0, x0 + 1, y1 + 1, kPlotAxis);
    plot.FillRect(x0, y1, x1 + 1, y1 + 1, kPlotAxis);

    const TSeries series[] = {
        {"creatures alive", kPlotCreatures, [](const TReportSample& s) { return s.creatures; }},
        {"scrap", kPlotScrap, [](const TReportSample& s) { return s.scrap; }},
        {"score", kPlotScore, [](const TReportSample& s) { return s.score; }},
    };
    // The legend reads score, scrap, creatures from the left; the lines are drawn the other way
    // round, the score's on top.
    int legendX = x0;
    for (auto it = std::rbegin(series); it != std::rend(series); ++it) {
        int64_t most = 0;
        for (const TReportSample& s : report.samples) most = std::max(most, it->value(s));
        const std::string text = std::string(it->name) + " up to " + GroupedNumber(most);
        plot.FillRect(legendX, 16, legendX + 12, 18, it->colour);
        legendX += 16 + DrawText(plot, legendX + 16, 10, text, it->colour, font) + kLegendGap;
    }
    for (const TSeries& line : series) {
        int64_t most = 0;
        for (const TReportSample& s : report.samples) most = std::max(most, line.value(s));
        const auto yOf = [&](int64_t v) {
            if (most <= 0) return y1 - 1;
            v = std::clamp<int64_t>(v, 0, most);
            return y1 - 1 - int(double(v) / double(most) * double(y1 - 1 - y0) + 0.5);
        };
        // Two pixels thick: the line and the one above it.
        for (size_t i = 0; i < report.samples.size(); ++i) {
            const TReportSample& s = report.samples[i];
            const int x = xOf(s.ms), y = yOf(line.value(s));
            if (i > 0) {
                const TReportSample& p = report.samples[i - 1];
                const int px = xOf(p.ms), py = yOf(line.value(p));
                plot.Line(px, py, x, y, line.colour);
                plot.Line(px, py - 1, x, y - 1, line.colour);
            }
            plot.SetPixel(x, y, line.colour);
            plot.SetPixel(x, y - 1, line.colour);
        }
    }
    return plot;
}
