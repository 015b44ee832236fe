// The window's pictures. (Placeholders; the real art follows.)
#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"

namespace assetgen {

void WriteWindowPictures(const std::filesystem::path& dir) {
    const struct {
        const char* name;
        int w, h;
    } pictures[] = {
        {"menuframe", 82, 137},    {"orbmenuframe", 82, 54},     {"ScrapCount", 35, 35},
        {"SignCount", 35, 35},     {"splash", 700, 700},         {"gameovertop", 700, 101},
        {"gameoverleft", 50, 499}, {"gameoverbottom", 700, 100}, {"endtext", 550, 450},
        {"starttext", 600, 600},   {"rhs1", 100, 172},           {"rhs2", 100, 172},
        {"rhs3", 100, 172}};
    for (const auto& p : pictures) {
        art::TCanvas c(p.w, p.h);
        art::SetColour(c.cr(), 0x303040);
        cairo_paint(c.cr());
        art::WritePicture(dir, p.name, c);
    }
}

}  // namespace assetgen
