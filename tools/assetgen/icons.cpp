// The program's icon: the orb on its pedestal, glowing on a night-blue tile with a gold rim,
// drawn afresh at every size so that small icons stay crisp.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

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

// The page's icon for a phone's home screen, whose launcher cuts it to a shape of its own (a
// circle, a rounded square): the night tile fills the whole square, and the orb stays inside
// the middle four fifths that every shape keeps.
void DrawMaskableIcon(art::TCanvas& c) {
    cairo_t* cr = c.cr();
    const double n = c.Width();
    cairo_rectangle(cr, 0, 0, n, n);
    art::VerticalGradient(cr, 0, n, 0x18223A, screens::kNight);
    cairo_fill(cr);
    const double margin = n * 0.2;
    screens::AtSize(cr, margin, margin, n - 2 * margin, [](cairo_t* o) { DrawOrb(o, 0); });
}

// The Windows executable's icon (quorvatide.ico, for its resource): the same sizes, each kept
// as the PNG file drawn above, as Windows Vista and later read them.
void WriteWindowsIcon(const std::filesystem::path& iconDir) {
    std::vector<std::string> images;
    std::vector<int> sizes;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        std::ifstream in(iconDir / name / "apps" / "quorvatide.png", std::ios::binary);
        images.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        sizes.push_back(size);
    }
    std::string ico;
    const auto le16 = [&](uint32_t v) {
        ico += char(v & 0xff);
        ico += char((v >> 8) & 0xff);
    };
    const auto le32 = [&](uint32_t v) {
        le16(v & 0xffff);
        le16(v >> 16);
    };
    le16(0);  // reserved
    le16(1);  // an icon
    le16(uint32_t(images.size()));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        ico += char(sizes[i] >= 256 ? 0 : sizes[i]);  // width, 0 for 256
        ico += char(sizes[i] >= 256 ? 0 : sizes[i]);  // height
        ico += char(0);                               // no palette
        ico += char(0);                               // reserved
        le16(1);                                      // colour planes
        le16(32);                                     // bits per pixel
        le32(uint32_t(images[i].size()));
        le32(offset);
        offset += uint32_t(images[i].size());
    }
    for (const std::string& image : images) ico += image;
    std::ofstream(iconDir / "quorvatide.ico", std::ios::binary) << ico;
}

}  // namespace

void WritePageIcons(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    for (const auto& [name, size] : {std::pair<const char*, int>{"icon-192.png", 192},
                                     {"icon-512.png", 512},
                                     {"apple-touch-icon.png", 180}}) {
        art::TCanvas icon(size, size);
        DrawIcon(icon);
        icon.SavePng(dir / name);
    }
    art::TCanvas maskable(512, 512);
    DrawMaskableIcon(maskable);
    maskable.SavePng(dir / "icon-maskable-512.png");
}

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
    WriteWindowsIcon(iconDir);
}

}  // namespace assetgen
