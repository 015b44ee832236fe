// Drawing for the asset generator: a cairo canvas with the few helpers every picture needs
// (colours, rounded shapes, text in the DejaVu fonts, deterministic noise), and the writer that
// stores a canvas as the game reads it: a 24-bit BMP plus, where the picture has transparent
// parts, a grey alpha mask "<name>A.bmp".
#pragma once

#include <cairo.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace art {

// A picture being drawn: w × h pixels, transparent at first. Draw on it with cairo through cr().
class TCanvas {
public:
    TCanvas(int width, int height);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    cairo_t* cr() const { return cr_; }
    cairo_surface_t* Surface() const { return surface_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // A pixel as 0xAARRGGBB with straight (not premultiplied) colour.
    uint32_t Pixel(int x, int y) const;
    void SetPixel(int x, int y, uint32_t argb);
    // Every pixel, row by row from the top, as Pixel() gives it.
    std::vector<uint32_t> Pixels() const;
    bool HasTransparency() const;

    // Paints another canvas onto this one with its top-left corner at (x, y), scaled.
    void Paint(const TCanvas& other, double x, double y, double scale = 1.0);
    void SavePng(const std::filesystem::path& path) const;

private:
    int width_, height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Colours are written 0xRRGGBB.
void SetColour(cairo_t* cr, uint32_t rgb, double alpha = 1.0);
// Mixes two colours: t = 0 gives a, t = 1 gives b.
uint32_t Mix(uint32_t a, uint32_t b, double t);
uint32_t Lighter(uint32_t rgb, double t);  // towards white
uint32_t Darker(uint32_t rgb, double t);   // towards black

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry);
// Fills the current path with the colour and strokes it with an outline of the given width.
void FillAndOutline(cairo_t* cr, uint32_t fill, uint32_t outline, double width);
// A vertical linear gradient from `top` at y0 to `bottom` at y1, set as the source.
void VerticalGradient(cairo_t* cr, double y0, double y1, uint32_t top, uint32_t bottom);

// The DejaVu fonts, loaded once from their folder before anything draws text.
enum class TFont { Sans, SansBold, Mono, MonoBold, Serif, SerifBold };
void LoadFonts(const std::string& folder);
void UseFont(cairo_t* cr, TFont font, double pixelSize);

enum class TAlign { Left, Centre, Right };
double TextWidth(cairo_t* cr, const std::string& text);
// Fills the text with its baseline at y; x is its left edge, centre or right edge.
void Text(cairo_t* cr, double x, double y, const std::string& text, uint32_t rgb,
          TAlign align = TAlign::Left, double alpha = 1.0);
// The same with an outline of the given width drawn under the fill.
void OutlinedText(cairo_t* cr, double x, double y, const std::string& text, uint32_t fill,
                  uint32_t outline, double outlineWidth, TAlign align = TAlign::Left);

// Deterministic noise: a hash of position and seed, uniform in [0, 1).
double Noise(int x, int y, uint32_t seed);
// Smooth value noise over a grid of `cell` pixels, in [0, 1).
double SmoothNoise(double x, double y, double cell, uint32_t seed);

// A small deterministic random generator (xorshift) for scattering details.
class TRng {
public:
    explicit TRng(uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    uint32_t Next();
    double Uniform(double lo, double hi);  // [lo, hi)
    int Int(int lo, int hi);               // lo..hi inclusive

private:
    uint32_t state_;
};

// Writes `<name>.bmp` (24-bit) into dir, and `<name>A.bmp`, a grey mask whose intensity is the
// alpha, when the canvas has any pixel that is not fully opaque. Opaque canvases get no mask.
// Fully transparent pixels are stored in the colour `matte`: it shows only where the picture is
// copied without blending.
void WritePicture(const std::filesystem::path& dir, const std::string& name, const TCanvas& canvas,
                  uint32_t matte = 0x000000);

}  // namespace art
