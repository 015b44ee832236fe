// The program's icon: the orb on its pedestal, glowing on a night-blue tile with a gold rim,
// drawn afresh at every size so that small icons stay crisp.
#include <filesystem>
#include <string>

#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/screens_style.h"
#include "tools/assetgen/sprite_art.h"

namespace assetgen {

namespace {

void DrawIcon(art::TCanvas& c) {
    cairo_t* cr = c.cr();
    const double n = c.Width();
    const double rim = n >= 32 ? n / 32 : 0.75;
    art::RoundedRect(cr, rim / 2, rim / 2, n - rim, n - rim, n * 0.18);
    art::VerticalGradient(cr, 0, n, 0x18223A, screens::kNight);
    cairo_fill_preserve(cr);
    art::SetColour(cr, screens::kGoldDeep);
    cairo_set_line_width(cr, rim);
    cairo_stroke(cr);
    // The orb's 35-pixel tile fills the icon but for a thin margin inside the rim.
    const double margin = n * 0.04;
    screens::AtSize(cr, margin, margin, n - 2 * margin, [](cairo_t* o) { DrawOrb(o, 0); });
}

}  // namespace

void WriteIcons(const std::filesystem::path& assetDir, const std::filesystem::path& iconDir) {
    art::TCanvas window(64, 64);
    DrawIcon(window);
    art::WritePicture(assetDir, "icon", window);
    if (iconDir.empty()) return;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const std::filesystem::path dir = iconDir / name / "apps";
        std::filesystem::create_directories(dir);
        art::TCanvas icon(size, size);
        DrawIcon(icon);
        icon.SavePng(dir / "quorvatide.png");
    }
}

}  // namespace assetgen
