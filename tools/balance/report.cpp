#include "tools/balance/report.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <sstream>

namespace {

constexpr double kTicksPerMinute = 60.0 * 1000.0 / kLabTickMs;

std::string Clock(double ticks) {
    const int seconds = int(std::lround(ticks * kLabTickMs / 1000.0));
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

// A whole number without decimals, else one decimal; with its sign also when it is positive
// when `sign` is set (a difference, where 0 stays plain).
std::string Number(double v, bool sign = false) {
    if (sign && v == 0) return "0";
    const bool whole = std::fabs(v - std::round(v)) < 1e-9;
    char text[32];
    std::snprintf(text, sizeof text, sign ? (whole ? "%+.0f" : "%+.1f") : (whole ? "%.0f" : "%.1f"),
                  v);
    return text;
}

std::vector<double> ValuesOf(const TRun& run, const TMeasure& m) {
    std::vector<double> values;
    values.reserve(run.games.size());
    for (const TGameResult& g : run.games) values.push_back(m.value(g));
    return values;
}

}  // namespace

const std::vector<TMeasure>& Measures() {
    static const std::vector<TMeasure> measures = {
        {"ticks survived", "ticks", [](const TGameResult& g) { return double(g.ticks); }},
        {"score", "score", [](const TGameResult& g) { return double(g.score); }},
        {"kills by turrets", "kills_by_turrets",
         [](const TGameResult& g) { return double(g.killsByTurrets); }},
        {"kills by creatures", "kills_by_creatures",
         [](const TGameResult& g) { return double(g.killsByCreatures); }},
        {"scrap gathered", "scrap_gathered",
         [](const TGameResult& g) { return double(g.scrapGathered); }},
        {"scrap spent", "scrap_spent", [](const TGameResult& g) { return double(g.scrapSpent); }},
        {"signs built", "signs_built", [](const TGameResult& g) { return double(g.signsBuilt); }},
        {"bots bought", "bots_bought", [](const TGameResult& g) { return double(g.botsBought); }},
        {"hatred switches", "hatred_switches",
         [](const TGameResult& g) { return double(g.hatredSwitches); }},
        {"first turret falls", "first_turret_falls",
         [](const TGameResult& g) { return double(g.TurretFalls(0)); }},
        {"last turret falls", "last_turret_falls",
         [](const TGameResult& g) { return double(g.TurretFalls(3)); }},
        {"turrets at the end", "turrets_end",
         [](const TGameResult& g) { return double(g.turretsAtEnd); }},
    };
    return measures;
}

TQuartiles QuartilesOf(std::vector<double> values) {
    if (values.empty()) return {};
    std::sort(values.begin(), values.end());
    const auto at = [&values](double q) {
        const double pos = q * double(values.size() - 1);
        const size_t below = size_t(std::floor(pos));
        const size_t above = std::min(below + 1, values.size() - 1);
        return values[below] + (values[above] - values[below]) * (pos - double(below));
    };
    return {at(0.25), at(0.5), at(0.75)};
}

// ---------------------------------------------------------------- the table

void WriteSummary(std::ostream& out, const std::vector<TRun>& runs, const TReportInfo& info) {
    if (runs.empty()) return;
    out << runs[0].games.size() << " games of player " << info.player << ", capped at "
        << info.capTicks << " ticks (" << Clock(info.capTicks) << " of play)\n";
    for (size_t r = 0; r < runs.size(); ++r) {
        int survived = 0;
        for (const TGameResult& g : runs[r].games) survived += g.survived;
        out << (runs.size() > 1 ? (r == 0 ? "A: " : "B: ") : "") << runs[r].label << ": "
            << survived << " of " << runs[r].games.size() << " games reached the cap\n";
    }
    out << "\n";
    const auto cell = [](const TQuartiles& q) {
        std::ostringstream c;
        c << std::setw(8) << Number(q.q1) << std::setw(9) << Number(q.median) << std::setw(8)
          << Number(q.q3);
        return c.str();
    };
    out << std::left << std::setw(20) << "measure" << std::right;
    for (size_t r = 0; r < runs.size(); ++r)
        out << (runs.size() > 1 ? (r == 0 ? "  A:" : "  B:") : "") << std::setw(8) << "q1"
            << std::setw(9) << "median" << std::setw(8) << "q3";
    if (runs.size() > 1) out << std::setw(12) << "B-A median" << std::setw(13) << "B-A per game";
    out << "\n";
    for (const TMeasure& m : Measures()) {
        out << std::left << std::setw(20) << m.name << std::right;
        std::vector<TQuartiles> q;
        for (const TRun& run : runs) {
            q.push_back(QuartilesOf(ValuesOf(run, m)));
            out << (runs.size() > 1 ? "    " : "") << cell(q.back());
        }
        if (runs.size() > 1) {
            // The runs share their seeds, so the games pair up: the median of the differences
            // of each pair says more than the difference of the medians.
            std::vector<double> diffs;
            const size_t n = std::min(runs[0].games.size(), runs[1].games.size());
            for (size_t i = 0; i < n; ++i)
                diffs.push_back(m.value(runs[1].games[i]) - m.value(runs[0].games[i]));
            out << std::setw(12) << Number(q[1].median - q[0].median, true) << std::setw(13)
                << Number(QuartilesOf(diffs).median, true);
        }
        out << "\n";
    }
    if (runs.size() > 1) {
        size_t differing = 0;
        const size_t n = std::min(runs[0].games.size(), runs[1].games.size());
        for (size_t i = 0; i < n; ++i) differing += !(runs[0].games[i] == runs[1].games[i]);
        out << "\n" << differing << " of " << n << " games came out differently\n";
    }
}

// ---------------------------------------------------------------- the CSV file

bool WriteCsv(const std::string& path, const std::vector<TRun>& runs, const TReportInfo& info) {
    std::ofstream out(path, std::ios::binary);
    if (!out) return false;
    out << "settings,player,game,seed,survived";
    for (const TMeasure& m : Measures()) out << ',' << m.column;
    for (int t = 1; t <= 4; ++t) out << ",turret" << t << "_lost_tick";
    out << "\n";
    for (const TRun& run : runs) {
        // A comma or quote in a file name stays inside its field.
        std::string label = "\"";
        for (char c : run.label) label += c == '"' ? std::string("\"\"") : std::string(1, c);
        label += '"';
        for (size_t i = 0; i < run.games.size(); ++i) {
            const TGameResult& g = run.games[i];
            out << label << ',' << info.player << ',' << i + 1 << ',' << g.seed << ','
                << (g.survived ? 1 : 0);
            for (const TMeasure& m : Measures()) out << ',' << Number(m.value(g));
            for (int lost : g.turretLost) {
                out << ',';
                if (lost >= 0) out << lost;
            }
            out << "\n";
        }
    }
    out.flush();
    return bool(out);
}

// ---------------------------------------------------------------- the PNG report

namespace {

struct TColour {
    double r, g, b;
};
constexpr TColour kRunColours[2] = {{0.15, 0.40, 0.75}, {0.90, 0.45, 0.10}};
constexpr int kWidth = 1000, kHeight = 1260;

// The report's two faces, DejaVu Sans and its bold, straight from their files: the same letters
// on every machine, and no font configuration to look up. Loaded once and kept for the life of
// the program. Null when a file is missing; cairo's own face is used then.
struct TReportFonts {
    cairo_font_face_t* regular = nullptr;
    cairo_font_face_t* bold = nullptr;
};

const TReportFonts& ReportFonts() {
    static const TReportFonts fonts = [] {
        TReportFonts f;
        static FT_Library library = nullptr;
        if (FT_Init_FreeType(&library) != 0) return f;
        const auto load = [](const char* file) -> cairo_font_face_t* {
            static std::vector<FT_Face> faces;
            FT_Face face = nullptr;
            const std::string path = std::string(QV_DEJAVU_DIR) + "/" + file;
            if (FT_New_Face(library, path.c_str(), 0, &face) != 0) return nullptr;
            faces.push_back(face);
            return cairo_ft_font_face_create_for_ft_face(face, 0);
        };
        f.regular = load("DejaVuSans.ttf");
        f.bold = load("DejaVuSans-Bold.ttf");
        return f;
    }();
    return fonts;
}

void UseFont(cairo_t* cr, bool bold, double size) {
    cairo_font_face_t* face = bold ? ReportFonts().bold : ReportFonts().regular;
    if (face)
        cairo_set_font_face(cr, face);
    else
        cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                               bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

// A step between axis labels of 1, 2 or 5 times a power of ten, giving about `count` labels.
double NiceStep(double span, int count) {
    if (span <= 0) return 1;
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * power) return m * power;
    return 10 * power;
}

class TChart {
public:
    TChart(cairo_t* cr, double left, double top, double width, double height)
        : cr_(cr), left_(left), top_(top), width_(width), height_(height) {}

    void Range(double xmin, double xmax, double ymin, double ymax) {
        xmin_ = xmin;
        xmax_ = xmax > xmin ? xmax : xmin + 1;
        ymin_ = ymin;
        ymax_ = ymax > ymin ? ymax : ymin + 1;
    }
    double X(double v) const { return left_ + (v - xmin_) / (xmax_ - xmin_) * width_; }
    double Y(double v) const { return top_ + height_ - (v - ymin_) / (ymax_ - ymin_) * height_; }

    void Frame(const std::string& title, const std::string& xLabel, const std::string& yLabel,
               double xStep = 0, double yStep = 0) {
        cairo_set_source_rgb(cr_, 0, 0, 0);
        UseFont(cr_, true, 17);
        Text(left_, top_ - 14, title, 0);
        UseFont(cr_, false, 13);
        if (xStep <= 0) xStep = NiceStep(xmax_ - xmin_, 8);
        if (yStep <= 0) yStep = NiceStep(ymax_ - ymin_, 5);
        cairo_set_line_width(cr_, 1);
        for (double v = std::ceil(ymin_ / yStep) * yStep; v <= ymax_ + 1e-9; v += yStep)
            Text(left_ - 8, Y(v) + 4, Number(v), 1);
        for (double v = std::ceil(xmin_ / xStep) * xStep; v <= xmax_ + 1e-9; v += xStep) {
            cairo_set_source_rgb(cr_, 0, 0, 0);
            cairo_move_to(cr_, std::round(X(v)) + 0.5, top_ + height_);
            cairo_line_to(cr_, std::round(X(v)) + 0.5, top_ + height_ + 5);
            cairo_stroke(cr_);
            Text(X(v), top_ + height_ + 20, Number(v), 0.5);
        }
        cairo_set_source_rgb(cr_, 0, 0, 0);
        cairo_rectangle(cr_, left_ + 0.5, top_ + 0.5, width_, height_);
        cairo_stroke(cr_);
        cairo_set_font_size(cr_, 14);
        Text(left_ + width_ / 2, top_ + height_ + 42, xLabel, 0.5);
        cairo_save(cr_);
        cairo_translate(cr_, left_ - 52, top_ + height_ / 2);
        cairo_rotate(cr_, -M_PI / 2);
        Text(0, 0, yLabel, 0.5);
        cairo_restore(cr_);
    }

    // Light lines across at the value labels, drawn before the data so as not to cross it.
    void Grid(double yStep = 0) {
        if (yStep <= 0) yStep = NiceStep(ymax_ - ymin_, 5);
        cairo_set_line_width(cr_, 1);
        cairo_set_source_rgb(cr_, 0.88, 0.88, 0.88);
        for (double v = std::ceil(ymin_ / yStep) * yStep; v <= ymax_ + 1e-9; v += yStep) {
            cairo_move_to(cr_, left_, std::round(Y(v)) + 0.5);
            cairo_line_to(cr_, left_ + width_, std::round(Y(v)) + 0.5);
            cairo_stroke(cr_);
        }
    }

    // Text with its left (align 0), middle (0.5) or right (1) at x, its baseline at y.
    void Text(double x, double y, const std::string& text, double align) {
        cairo_text_extents_t e;
        cairo_text_extents(cr_, text.c_str(), &e);
        cairo_move_to(cr_, x - align * e.x_advance, y);
        cairo_show_text(cr_, text.c_str());
    }

    void Legend(const std::vector<std::pair<TColour, std::string>>& entries) {
        double y = top_ + 20;
        cairo_set_font_size(cr_, 13);
        for (const auto& [colour, text] : entries) {
            cairo_text_extents_t e;
            cairo_text_extents(cr_, text.c_str(), &e);
            const double x = left_ + width_ - 14 - e.x_advance;
            cairo_set_source_rgba(cr_, 1, 1, 1, 0.85);
            cairo_rectangle(cr_, x - 22, y - 12, e.x_advance + 28, 17);
            cairo_fill(cr_);
            cairo_set_source_rgb(cr_, colour.r, colour.g, colour.b);
            cairo_rectangle(cr_, x - 18, y - 9, 12, 12);
            cairo_fill(cr_);
            cairo_set_source_rgb(cr_, 0, 0, 0);
            Text(x, y + 1, text, 0);
            y += 19;
        }
    }

private:
    cairo_t* cr_;
    double left_, top_, width_, height_;
    double xmin_ = 0, xmax_ = 1, ymin_ = 0, ymax_ = 1;
};

// The ticks the time axes reach: the cap when a game reached it, else a little past the longest
// game, so that short games are not squeezed into the left edge.
int Horizon(const std::vector<TRun>& runs, const TReportInfo& info) {
    int longest = 1;
    for (const TRun& run : runs)
        for (const TGameResult& g : run.games) {
            if (g.survived) return std::max(info.capTicks, 1);
            longest = std::max(longest, g.ticks);
        }
    // Up to a whole quarter of a minute.
    const int quarter = int(kTicksPerMinute / 4);
    return std::min(std::max(info.capTicks, 1), (longest * 11 / 10 / quarter + 1) * quarter);
}

std::string RunName(const std::vector<TRun>& runs, size_t r) {
    std::string name = runs[r].label;
    const size_t slash = name.find_last_of('/');
    if (slash != std::string::npos) name = name.substr(slash + 1);
    if (runs.size() == 1) return name;
    std::string named = r == 0 ? "A: " : "B: ";
    named.append(name);
    return named;
}

void SurvivalChart(cairo_t* cr, const std::vector<TRun>& runs, const TReportInfo& info) {
    TChart chart(cr, 90, 110, kWidth - 130, 270);
    constexpr int kBins = 30;
    const int horizon = Horizon(runs, info);
    const double capMinutes = horizon / kTicksPerMinute;
    std::vector<std::vector<int>> counts(runs.size(), std::vector<int>(kBins + 1, 0));
    int most = 1;
    for (size_t r = 0; r < runs.size(); ++r)
        for (const TGameResult& g : runs[r].games) {
            // The games that reached the cap have their own bar at the right.
            const int bin = g.survived
                                ? kBins
                                : std::clamp(int(int64_t(g.ticks) * kBins / horizon), 0, kBins - 1);
            most = std::max(most, ++counts[r][size_t(bin)]);
        }
    const double binMinutes = capMinutes / kBins;
    const bool anySurvived = counts[0][kBins] > 0 || counts.back()[kBins] > 0;
    chart.Range(0, capMinutes + (anySurvived ? 1.5 * binMinutes : 0), 0, most * 1.1);
    chart.Grid();
    const double barShare = 0.9 / double(runs.size());
    for (size_t r = 0; r < runs.size(); ++r) {
        const TColour c = kRunColours[r];
        for (int b = 0; b <= kBins; ++b) {
            if (counts[r][size_t(b)] == 0) continue;
            const double from = (b == kBins ? capMinutes + 0.25 * binMinutes : b * binMinutes) +
                                (0.05 + barShare * double(r)) * binMinutes;
            const double x0 = chart.X(from), x1 = chart.X(from + barShare * binMinutes);
            const double y0 = chart.Y(counts[r][size_t(b)]), y1 = chart.Y(0);
            if (b == kBins)
                cairo_set_source_rgb(cr, c.r * 0.6, c.g * 0.6, c.b * 0.6);
            else
                cairo_set_source_rgb(cr, c.r, c.g, c.b);
            cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
            cairo_fill(cr);
        }
    }
    chart.Frame("How long the base holds: games by the time the orb fell",
                anySurvived
                    ? "minutes of play (the dark bar at the right: games that reached "
                      "the cap, " +
                          Clock(info.capTicks) + ")"
                    : "minutes of play (no game reached the cap, " + Clock(info.capTicks) + ")",
                "games");
    std::vector<std::pair<TColour, std::string>> legend;
    for (size_t r = 0; r < runs.size(); ++r) legend.push_back({kRunColours[r], RunName(runs, r)});
    chart.Legend(legend);
}

void TurretChart(cairo_t* cr, const std::vector<TRun>& runs, const TReportInfo& info) {
    TChart chart(cr, 90, 510, kWidth - 130, 270);
    const int horizon = Horizon(runs, info);
    chart.Range(0, horizon / kTicksPerMinute, 0, 4.2);
    chart.Grid(1);
    constexpr int kSamples = 240;
    for (size_t r = 0; r < runs.size(); ++r) {
        const TColour c = kRunColours[r];
        std::vector<double> xs, means, q1s, q3s;
        for (int s = 0; s <= kSamples; ++s) {
            const int tick = int(int64_t(horizon) * s / kSamples);
            std::vector<double> standing;
            double sum = 0;
            for (const TGameResult& g : runs[r].games) {
                standing.push_back(g.TurretsAt(tick));
                sum += standing.back();
            }
            const TQuartiles q = QuartilesOf(standing);
            xs.push_back(tick / kTicksPerMinute);
            means.push_back(standing.empty() ? 0 : sum / double(standing.size()));
            q1s.push_back(q.q1);
            q3s.push_back(q.q3);
        }
        // The band between the quartiles, then the mean over it.
        cairo_set_source_rgba(cr, c.r, c.g, c.b, 0.18);
        cairo_move_to(cr, chart.X(xs[0]), chart.Y(q3s[0]));
        for (size_t i = 1; i < xs.size(); ++i) cairo_line_to(cr, chart.X(xs[i]), chart.Y(q3s[i]));
        for (size_t i = xs.size(); i-- > 0;) cairo_line_to(cr, chart.X(xs[i]), chart.Y(q1s[i]));
        cairo_close_path(cr);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, c.r, c.g, c.b);
        cairo_set_line_width(cr, 2.5);
        cairo_move_to(cr, chart.X(xs[0]), chart.Y(means[0]));
        for (size_t i = 1; i < xs.size(); ++i) cairo_line_to(cr, chart.X(xs[i]), chart.Y(means[i]));
        cairo_stroke(cr);
    }
    chart.Frame("Base turrets standing over time (a fallen orb counts as none)", "minutes of play",
                "turrets standing", 0, 1);
    std::vector<std::pair<TColour, std::string>> legend;
    for (size_t r = 0; r < runs.size(); ++r)
        legend.push_back({kRunColours[r], RunName(runs, r) + ": mean (line), quartiles (band)"});
    chart.Legend(legend);
}

void ScoreChart(cairo_t* cr, const std::vector<TRun>& runs, const TReportInfo& info) {
    TChart chart(cr, 90, 910, kWidth - 130, 270);
    double most = 10;
    for (const TRun& run : runs)
        for (const TGameResult& g : run.games) most = std::max(most, double(g.score));
    chart.Range(0, Horizon(runs, info) / kTicksPerMinute * 1.02, 0, most * 1.08);
    chart.Grid();
    for (size_t r = 0; r < runs.size(); ++r) {
        const TColour c = kRunColours[r];
        cairo_set_source_rgba(cr, c.r, c.g, c.b, 0.45);
        for (const TGameResult& g : runs[r].games) {
            cairo_arc(cr, chart.X(g.ticks / kTicksPerMinute), chart.Y(g.score), 3, 0, 2 * M_PI);
            cairo_fill(cr);
        }
    }
    chart.Frame("Score against survival, one dot per game", "minutes of play survived",
                "final score");
    std::vector<std::pair<TColour, std::string>> legend;
    for (size_t r = 0; r < runs.size(); ++r) legend.push_back({kRunColours[r], RunName(runs, r)});
    chart.Legend(legend);
}

}  // namespace

bool WritePng(const std::string& path, const std::vector<TRun>& runs, const TReportInfo& info) {
    if (runs.empty()) return false;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    UseFont(cr, true, 21);
    std::ostringstream title;
    title << "Quorvatide balance lab: " << runs[0].games.size() << " games of player "
          << info.player;
    cairo_move_to(cr, 30, 38);
    cairo_show_text(cr, title.str().c_str());
    UseFont(cr, false, 13);
    std::string files = "settings ";
    for (size_t r = 0; r < runs.size(); ++r) {
        if (r > 0) files.append("   vs   ");
        if (runs.size() > 1) files.append(r == 0 ? "A: " : "B: ");
        files.append(runs[r].label);
    }
    cairo_move_to(cr, 30, 60);
    cairo_show_text(cr, files.c_str());

    SurvivalChart(cr, runs, info);
    TurretChart(cr, runs, info);
    ScoreChart(cr, runs, info);

    cairo_destroy(cr);
    const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}
