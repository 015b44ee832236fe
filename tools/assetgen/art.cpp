#include "tools/assetgen/art.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace art {

TCanvas::TCanvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
    if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cairo failed");
}

TCanvas::~TCanvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

namespace {

uint32_t* Row(cairo_surface_t* s, int y) {
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s) +
                                       size_t(y) * size_t(cairo_image_surface_get_stride(s)));
}

// Cairo keeps colour premultiplied by alpha; the game's pictures hold it straight.
uint32_t Straight(uint32_t p) {
    const uint32_t a = p >> 24;
    if (a == 0) return 0;
    const auto un = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
    return (a << 24) | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) | un(p & 0xFF);
}

}  // namespace

uint32_t TCanvas::Pixel(int x, int y) const {
    cairo_surface_flush(surface_);
    return Straight(Row(surface_, y)[x]);
}

void TCanvas::SetPixel(int x, int y, uint32_t argb) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    cairo_surface_flush(surface_);
    const uint32_t a = argb >> 24;
    const auto pre = [a](uint32_t c) { return (c * a + 127) / 255; };
    Row(surface_, y)[x] = (a << 24) | (pre((argb >> 16) & 0xFF) << 16) |
                          (pre((argb >> 8) & 0xFF) << 8) | pre(argb & 0xFF);
    cairo_surface_mark_dirty(surface_);
}

std::vector<uint32_t> TCanvas::Pixels() const {
    std::vector<uint32_t> out;
    out.reserve(size_t(width_) * size_t(height_));
    cairo_surface_flush(surface_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) out.push_back(Straight(Row(surface_, y)[x]));
    return out;
}

bool TCanvas::HasTransparency() const {
    cairo_surface_flush(surface_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            if ((Row(surface_, y)[x] >> 24) != 0xFF) return true;
    return false;
}

void TCanvas::Paint(const TCanvas& other, double x, double y, double scale) {
    cairo_save(cr_);
    cairo_translate(cr_, x, y);
    cairo_scale(cr_, scale, scale);
    cairo_set_source_surface(cr_, other.surface_, 0, 0);
    cairo_paint(cr_);
    cairo_restore(cr_);
}

void TCanvas::SavePng(const std::filesystem::path& path) const {
    if (cairo_surface_write_to_png(surface_, path.c_str()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + path.string());
}

void SetColour(cairo_t* cr, uint32_t rgb, double alpha) {
    cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                          (rgb & 0xFF) / 255.0, alpha);
}

uint32_t Mix(uint32_t a, uint32_t b, double t) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        out |= uint32_t(std::lround(ca + (cb - ca) * t)) << shift;
    }
    return out;
}

uint32_t Lighter(uint32_t rgb, double t) {
    return Mix(rgb, 0xFFFFFF, t);
}
uint32_t Darker(uint32_t rgb, double t) {
    return Mix(rgb, 0x000000, t);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void FillAndOutline(cairo_t* cr, uint32_t fill, uint32_t outline, double width) {
    SetColour(cr, fill);
    cairo_fill_preserve(cr);
    SetColour(cr, outline);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void VerticalGradient(cairo_t* cr, double y0, double y1, uint32_t top, uint32_t bottom) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    const auto stop = [p](double at, uint32_t c) {
        cairo_pattern_add_color_stop_rgb(p, at, ((c >> 16) & 0xFF) / 255.0,
                                         ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0);
    };
    stop(0, top);
    stop(1, bottom);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

namespace {

struct TFonts {
    FT_Library library = nullptr;
    std::array<cairo_font_face_t*, 6> faces{};
};

TFonts& Fonts() {
    static TFonts fonts;
    return fonts;
}

}  // namespace

void LoadFonts(const std::string& folder) {
    TFonts& f = Fonts();
    if (!f.library && FT_Init_FreeType(&f.library) != 0)
        throw std::runtime_error("cannot start FreeType");
    const char* files[] = {"DejaVuSans.ttf",     "DejaVuSans-Bold.ttf",
                           "DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf",
                           "DejaVuSerif.ttf",    "DejaVuSerif-Bold.ttf"};
    for (size_t i = 0; i < f.faces.size(); ++i) {
        if (f.faces[i]) continue;
        const std::string path = folder + "/" + files[i];
        FT_Face face = nullptr;
        if (FT_New_Face(f.library, path.c_str(), 0, &face) != 0)
            throw std::runtime_error("cannot load font " + path);
        // The face lives as long as the program; the generator exits right after drawing.
        f.faces[i] = cairo_ft_font_face_create_for_ft_face(face, 0);
    }
}

void UseFont(cairo_t* cr, TFont font, double pixelSize) {
    cairo_font_face_t* face = Fonts().faces[size_t(font)];
    if (!face) throw std::runtime_error("fonts are not loaded");
    cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, pixelSize);
    // Grey-scale antialiasing and no hinting: the same shapes on every machine and size.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

double TextWidth(cairo_t* cr, const std::string& text) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    return e.x_advance;
}

namespace {

double AlignedX(cairo_t* cr, double x, const std::string& text, TAlign align) {
    switch (align) {
        case TAlign::Centre:
            return x - TextWidth(cr, text) / 2;
        case TAlign::Right:
            return x - TextWidth(cr, text);
        default:
            return x;
    }
}

}  // namespace

void Text(cairo_t* cr, double x, double y, const std::string& text, uint32_t rgb, TAlign align,
          double alpha) {
    cairo_move_to(cr, AlignedX(cr, x, text, align), y);
    SetColour(cr, rgb, alpha);
    cairo_show_text(cr, text.c_str());
    cairo_new_path(cr);
}

void OutlinedText(cairo_t* cr, double x, double y, const std::string& text, uint32_t fill,
                  uint32_t outline, double outlineWidth, TAlign align) {
    cairo_move_to(cr, AlignedX(cr, x, text, align), y);
    cairo_text_path(cr, text.c_str());
    SetColour(cr, outline);
    cairo_set_line_width(cr, outlineWidth * 2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    SetColour(cr, fill);
    cairo_fill(cr);
}

double Noise(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 0x8DA6B343u ^ uint32_t(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return (h & 0xFFFFFF) / double(0x1000000);
}

double SmoothNoise(double x, double y, double cell, uint32_t seed) {
    const double gx = x / cell, gy = y / cell;
    const int ix = int(std::floor(gx)), iy = int(std::floor(gy));
    const double fx = gx - ix, fy = gy - iy;
    const auto ease = [](double t) { return t * t * (3 - 2 * t); };
    const double sx = ease(fx), sy = ease(fy);
    const double a = Noise(ix, iy, seed), b = Noise(ix + 1, iy, seed);
    const double c = Noise(ix, iy + 1, seed), d = Noise(ix + 1, iy + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

uint32_t TRng::Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

double TRng::Uniform(double lo, double hi) {
    return lo + (hi - lo) * (Next() / 4294967296.0);
}

int TRng::Int(int lo, int hi) {
    return lo + int(Next() % uint32_t(hi - lo + 1));
}

namespace {

void Put16(std::string& out, uint32_t v) {
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A bottom-up 24-bit BMP of w × h pixels, each pixel given as 0xRRGGBB by `colour`.
template <typename F>
void WriteBmp24(const std::filesystem::path& path, int w, int h, F colour) {
    const size_t rowBytes = (size_t(w) * 3 + 3) & ~size_t(3);
    const uint32_t offset = 54, size = uint32_t(offset + rowBytes * size_t(h));
    std::string out;
    out.reserve(size);
    out += "BM";
    Put32(out, size);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, uint32_t(w));
    Put32(out, uint32_t(h));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // uncompressed
    Put32(out, uint32_t(rowBytes * size_t(h)));
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < w; ++x) {
            const uint32_t c = colour(x, y);
            out += char(c & 0xFF);
            out += char((c >> 8) & 0xFF);
            out += char((c >> 16) & 0xFF);
        }
        out.resize(start + rowBytes, '\0');
    }
    std::ofstream file(path, std::ios::binary);
    file.write(out.data(), std::streamsize(out.size()));
    if (!file.flush()) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

void WritePicture(const std::filesystem::path& dir, const std::string& name, const TCanvas& canvas,
                  uint32_t matte) {
    const std::vector<uint32_t> pixels = canvas.Pixels();
    const int w = canvas.Width();
    const auto at = [&](int x, int y) { return pixels[size_t(y) * size_t(w) + size_t(x)]; };
    WriteBmp24(dir / (name + ".bmp"), w, canvas.Height(),
               [&](int x, int y) { return at(x, y) >> 24 ? at(x, y) & 0xFFFFFF : matte; });
    const std::filesystem::path mask = dir / (name + "A.bmp");
    if (std::any_of(pixels.begin(), pixels.end(), [](uint32_t p) { return (p >> 24) != 0xFF; })) {
        // A grey level g gives back exactly alpha g: (61 + 174 + 21) * g >> 8 = g.
        WriteBmp24(mask, w, canvas.Height(), [&](int x, int y) {
            const uint32_t a = at(x, y) >> 24;
            return a * 0x010101u;
        });
    } else {
        std::filesystem::remove(mask);
    }
}

}  // namespace art
