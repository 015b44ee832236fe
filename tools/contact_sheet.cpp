// qv_contact_sheet <Assets folder> <out.png> <DejaVu font folder>
// One PNG for reviewing the art at a glance: every catalogue picture at twice its size on a
// checkerboard with its index and name, then the window's pictures. The pictures are read the
// way the game reads them (colour file plus optional mask), so the sheet shows what the game
// draws, transparency included.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <string>

#include "platform/native.h"
#include "shell/catalogue_names.h"
#include "toolkit/picture.h"
#include "tools/assetgen/art.h"

namespace {

constexpr int kMargin = 16, kColumns = 10, kCellW = 100, kCellH = 100, kScale = 2;
constexpr uint32_t kBackground = 0x2B2D33, kLabel = 0xE8E8E8, kMissing = 0xFF5050;

// A picture loaded as the game loads a catalogue entry.
TPicture Load(const std::string& dir, const std::string& name, bool withMask) {
    TPicture p;
    if (p.LoadFromFile(NativeFiles(), dir + name + ".bmp") && withMask) {
        TPicture mask;
        if (mask.LoadFromFile(NativeFiles(), dir + name + "A.bmp")) p.IntensityToAlpha(mask);
    }
    return p;
}

void Checkerboard(cairo_t* cr, double x, double y, double w, double h) {
    for (int j = 0; j * 8 < h; ++j)
        for (int i = 0; i * 8 < w; ++i) {
            art::SetColour(cr, (i + j) % 2 ? 0xC8C8C8 : 0x9A9A9A);
            cairo_rectangle(cr, x + i * 8, y + j * 8, std::min(8.0, w - i * 8),
                            std::min(8.0, h - j * 8));
            cairo_fill(cr);
        }
}

// Draws a picture with its top-left corner at (x, y), scaled with hard pixel edges.
void Show(cairo_t* cr, const TPicture& p, double x, double y, double scale) {
    art::TCanvas canvas(p.Width(), p.Height());
    for (int py = 0; py < p.Height(); ++py)
        for (int px = 0; px < p.Width(); ++px) canvas.SetPixel(px, py, p.Pixel(px, py));
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, canvas.Surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
}

void Label(cairo_t* cr, double x, double y, const std::string& text, uint32_t colour = kLabel) {
    art::UseFont(cr, art::TFont::Sans, 11);
    art::Text(cr, x, y, text, colour);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: qv_contact_sheet <Assets folder> <out.png> <font folder>\n");
        return 2;
    }
    try {
        const std::string dir = std::string(argv[1]) + "/";
        art::LoadFonts(argv[3]);
        const int rows = int(kCatalogueNames.size() + kColumns - 1) / kColumns;
        const int catalogueH = rows * kCellH;
        // Window pictures: small ones at full size in a row, large ones at half size.
        const int sheetW = std::max(kMargin * 2 + kColumns * kCellW, kMargin * 2 + 3 * 366);
        const int sheetH = kMargin * 3 + 24 + catalogueH + 24 + 190 + 24 + 360 + 24;
        art::TCanvas sheet(sheetW, sheetH);
        cairo_t* cr = sheet.cr();
        art::SetColour(cr, kBackground);
        cairo_paint(cr);
        art::UseFont(cr, art::TFont::SansBold, 16);
        art::Text(cr, kMargin, kMargin + 14, "Quorvatide - sprite catalogue (2x)", kLabel);

        double y0 = kMargin + 24;
        for (size_t i = 0; i < kCatalogueNames.size(); ++i) {
            const std::string name(kCatalogueNames[i]);
            const TPicture p = Load(dir, name, true);
            const double x = kMargin + double(i % kColumns) * kCellW;
            const double y = y0 + double(i / kColumns) * kCellH;
            Checkerboard(cr, x, y, std::max(p.Width(), 35) * kScale, std::max(p.Height(), 35) * 2);
            if (p.Empty())
                Label(cr, x + 4, y + 20, "missing", kMissing);
            else
                Show(cr, p, x, y, kScale);
            Label(cr, x, y + 84, std::to_string(i) + " " + name);
        }

        y0 += catalogueH + kMargin;
        art::UseFont(cr, art::TFont::SansBold, 16);
        art::Text(cr, kMargin, y0 + 14, "Window pictures (1x; large ones 1/2x)", kLabel);
        y0 += 24;
        double x = kMargin;
        for (const char* name :
             {"menuframe", "orbmenuframe", "ScrapCount", "SignCount", "rhs1", "rhs2", "rhs3"}) {
            const TPicture p = Load(dir, name, false);
            if (p.Empty()) {
                Label(cr, x, y0 + 20, std::string(name) + " missing", kMissing);
                x += 110;
                continue;
            }
            Show(cr, p, x, y0, 1);
            Label(cr, x, y0 + p.Height() + 14, name);
            x += std::max(p.Width(), 70) + 24;
        }
        y0 += 190;
        x = kMargin;
        // The game-over frame is shown assembled, with the end text where it comes to rest.
        const TPicture endText = Load(dir, "endtext", false), top = Load(dir, "gameovertop", false),
                       left = Load(dir, "gameoverleft", false),
                       bottom = Load(dir, "gameoverbottom", false);
        for (const char* name : {"splash", "starttext"}) {
            Show(cr, Load(dir, name, false), x, y0, 0.5);
            Label(cr, x, y0 + 350 + 14, name);
            x += 350 + 16;
        }
        art::SetColour(cr, 0x000000);
        cairo_rectangle(cr, x, y0, 350, 350);
        cairo_fill(cr);
        Show(cr, endText, x + 40, y0 + 59.5, 0.5);
        Show(cr, top, x, y0, 0.5);
        Show(cr, left, x, y0 + 50.5, 0.5);
        Show(cr, left, x + 325, y0 + 50.5, 0.5);
        Show(cr, bottom, x, y0 + 300, 0.5);
        Label(cr, x, y0 + 350 + 14, "game over: bands + endtext");
        sheet.SavePng(argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qv_contact_sheet: %s\n", e.what());
        return 1;
    }
    return 0;
}
