// Build-time generator for the font and pictures built into the game. It rasterises the DejaVu
// fonts with SDL2_ttf and writes a C++ source file holding the results as 8-bit coverage data,
// so the game itself needs neither SDL2_ttf nor font files at run time.
//
//   qv_builtin_art <output.cpp> [<font folder>]
//
// The output depends only on the fonts and the FreeType version: the same inputs always give
// the same bytes.
#define SDL_MAIN_HANDLED
#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// An 8-bit coverage image: 0 is paper, 255 full ink.
struct TCoverage {
    int width = 0, height = 0;
    std::vector<uint8_t> values;

    TCoverage() = default;
    TCoverage(int w, int h) : width(w), height(h), values(size_t(w) * size_t(h), 0) {}
    uint8_t At(int x, int y) const { return values[size_t(y) * width + x]; }
    uint8_t& At(int x, int y) { return values[size_t(y) * width + x]; }
};

// Bounding box of the inked pixels, right and bottom exclusive; empty when there is no ink.
struct TInkBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

TInkBox InkBox(const TCoverage& c) {
    TInkBox box{c.width, c.height, 0, 0};
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            if (c.At(x, y) != 0) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    if (box.right <= box.left) return {};
    return box;
}

TCoverage Crop(const TCoverage& c, const TInkBox& box) {
    TCoverage out(box.Width(), box.Height());
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) out.At(x, y) = c.At(box.left + x, box.top + y);
    return out;
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "qv_builtin_art: %s: %s\n", what.c_str(), SDL_GetError());
    std::exit(1);
}

struct TFontCloser {
    void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
};
using TFontPtr = std::unique_ptr<TTF_Font, TFontCloser>;

TFontPtr OpenFont(const std::string& path, int pixelSize) {
    TFontPtr font(TTF_OpenFont(path.c_str(), pixelSize));
    if (!font) Fail("cannot open " + path);
    TTF_SetFontHinting(font.get(), TTF_HINTING_NORMAL);
    return font;
}

// The alpha channel of a blended rendering; row 0 is the top of the font's line, so the
// baseline lies at TTF_FontAscent.
TCoverage TakeAlpha(SDL_Surface* rendered) {
    if (!rendered) Fail("rendering failed");
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (!argb) Fail("surface conversion failed");
    TCoverage c(argb->w, argb->h);
    for (int y = 0; y < argb->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(argb->pixels) + size_t(y) * argb->pitch);
        for (int x = 0; x < argb->w; ++x) c.At(x, y) = uint8_t(row[x] >> 24);
    }
    SDL_FreeSurface(argb);
    return c;
}

constexpr SDL_Color kWhite{255, 255, 255, 255};

TCoverage RenderText(TTF_Font* font, const std::string& text) {
    return TakeAlpha(TTF_RenderUTF8_Blended(font, text.c_str(), kWhite));
}

// ---------------------------------------------------------------------------------------------
// The UI font.

constexpr int kFirstChar = 32, kLastChar = 126;

struct TGlyphOut {
    int advance, left, top, width, height;
    uint32_t offset;
};

struct TFontOut {
    int lineHeight = 0;
    std::vector<TGlyphOut> glyphs;
    std::vector<uint8_t> coverage;
};

// At 11 pixels to the em DejaVu Sans has 8-pixel capitals and a 13-pixel line: the proportions
// of a classic 11-pixel-high dialog font. Text boxes with long lines take it at 10 pixels.
constexpr int kUiFontSize = 11, kMemoFontSize = 10;
constexpr int kTextFontSize = 13, kButtonFontSize = 15, kTitleFontSize = 28;

TFontOut MakeFont(const std::string& path, int pixelSize) {
    TFontPtr font = OpenFont(path, pixelSize);
    TFontOut out;
    out.lineHeight = TTF_FontLineSkip(font.get());
    for (int ch = kFirstChar; ch <= kLastChar; ++ch) {
        int minX = 0, maxX = 0, minY = 0, maxY = 0, advance = 0;
        if (TTF_GlyphMetrics32(font.get(), uint32_t(ch), &minX, &maxX, &minY, &maxY, &advance) != 0)
            Fail("no metrics for character " + std::to_string(ch));
        TGlyphOut g{advance, 0, 0, 0, 0, uint32_t(out.coverage.size())};
        if (ch != ' ') {
            const TCoverage rendered =
                TakeAlpha(TTF_RenderGlyph32_Blended(font.get(), uint32_t(ch), kWhite));
            const TInkBox box = InkBox(rendered);
            if (!box.Empty()) {
                // A glyph reaching left of the pen widens the rendering to the left, so the
                // pen sits at -minX in it.
                g.left = box.left + std::min(0, minX);
                g.top = box.top;
                g.width = box.Width();
                g.height = box.Height();
                const TCoverage ink = Crop(rendered, box);
                out.coverage.insert(out.coverage.end(), ink.values.begin(), ink.values.end());
            }
        }
        out.glyphs.push_back(g);
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// The pictures, laid out on coverage canvases.

// Paints `ink` with its top-left at (x, y), keeping the stronger coverage where two overlap.
void Stamp(TCoverage& canvas, const TCoverage& ink, int x, int y) {
    for (int sy = 0; sy < ink.height; ++sy)
        for (int sx = 0; sx < ink.width; ++sx) {
            const int dx = x + sx, dy = y + sy;
            if (dx < 0 || dy < 0 || dx >= canvas.width || dy >= canvas.height) continue;
            canvas.At(dx, dy) = std::max(canvas.At(dx, dy), ink.At(sx, sy));
        }
}

void FillRect(TCoverage& canvas, int x1, int y1, int x2, int y2, uint8_t value) {
    for (int y = std::max(y1, 0); y < std::min(y2, canvas.height); ++y)
        for (int x = std::max(x1, 0); x < std::min(x2, canvas.width); ++x) canvas.At(x, y) = value;
}

// Draws a line of text with its baseline on row `baseline`, centred by its ink on `centreX`.
// Returns the rows it inked.
TInkBox CentreLine(TCoverage& canvas, TTF_Font* font, const std::string& text, int centreX,
                   int baseline) {
    const TCoverage rendered = RenderText(font, text);
    const TInkBox box = InkBox(rendered);
    const int x = centreX - (box.left + box.right) / 2;
    const int y = baseline - TTF_FontAscent(font);
    Stamp(canvas, rendered, x, y);
    return box.Empty() ? box : TInkBox{box.left + x, box.top + y, box.right + x, box.bottom + y};
}

struct TPictureOut {
    TCoverage coverage;
    int titleBottom = 0;  // rows above this belong to the picture's title, if it has one
};

TPictureOut MakePaused(const std::string& boldPath) {
    constexpr int kWidth = 336, kHeight = 84;
    constexpr int kMarginX = 18, kMarginY = 14;
    // The largest size at which the word keeps its margins all round.
    TCoverage best;
    for (int size = 20; size <= 120; ++size) {
        TFontPtr font = OpenFont(boldPath, size);
        TTF_SetFontHinting(font.get(), TTF_HINTING_LIGHT);
        const TCoverage word = RenderText(font.get(), "PAUSED");
        const TInkBox box = InkBox(word);
        if (box.Width() > kWidth - 2 * kMarginX || box.Height() > kHeight - 2 * kMarginY) break;
        best = Crop(word, box);
    }
    if (best.width == 0) Fail("the paused word does not fit");
    TPictureOut out{TCoverage(kWidth, kHeight)};
    Stamp(out.coverage, best, (kWidth - best.width) / 2, (kHeight - best.height) / 2);
    return out;
}

// Three rows, each a key drawn as a small key cap followed by what the key switches.
TPictureOut MakeKeyLegend(const std::string& boldPath) {
    constexpr int kWidth = 76, kHeight = 40;
    constexpr int kCap = 11;       // key cap side, frame included
    constexpr int kRowPitch = 13;  // three rows to the 40-pixel height
    constexpr int kGap = 4;        // between the key cap and its word
    const TFontPtr keyFont = OpenFont(boldPath, 8);
    const TFontPtr wordFont = OpenFont(boldPath, 9);
    const char* const rows[3][2] = {{"S", "SOUNDS"}, {"M", "MUSIC"}, {"P", "PAUSE"}};

    int widest = 0;
    for (const auto& row : rows)
        widest = std::max(widest, InkBox(RenderText(wordFont.get(), row[1])).Width());
    const int blockWidth = kCap + kGap + widest;
    const int left = (kWidth - blockWidth) / 2;
    const int top = (kHeight - (2 * kRowPitch + kCap)) / 2;

    TPictureOut out{TCoverage(kWidth, kHeight)};
    TCoverage& c = out.coverage;
    for (int i = 0; i < 3; ++i) {
        const int y = top + i * kRowPitch;
        // The key cap: a one-pixel frame with softened corners.
        FillRect(c, left + 1, y, left + kCap - 1, y + 1, 255);
        FillRect(c, left + 1, y + kCap - 1, left + kCap - 1, y + kCap, 255);
        FillRect(c, left, y + 1, left + 1, y + kCap - 1, 255);
        FillRect(c, left + kCap - 1, y + 1, left + kCap, y + kCap - 1, 255);
        // Its letter, centred in the cap by ink.
        const TCoverage key = RenderText(keyFont.get(), rows[i][0]);
        const TInkBox kb = InkBox(key);
        Stamp(c, Crop(key, kb), left + (kCap - kb.Width() + 1) / 2,
              y + (kCap - kb.Height() + 1) / 2);
        // The word, its capitals centred on the cap's height.
        const TCoverage word = RenderText(wordFont.get(), rows[i][1]);
        const TInkBox wb = InkBox(word);
        Stamp(c, Crop(word, wb), left + kCap + kGap, y + (kCap - wb.Height() + 1) / 2);
    }
    return out;
}

// The title, a subtitle, and a few credits each under a small heading, stacked with fixed
// baseline steps and then centred vertically as a block.
TPictureOut MakeCredits(const std::string& regularPath, const std::string& boldPath) {
    constexpr int kWidth = 183, kHeight = 200;
    constexpr int kCentre = kWidth / 2;
    constexpr int kRuleHalf = 36;
    const TFontPtr title = OpenFont(boldPath, 25);
    const TFontPtr heading = OpenFont(boldPath, 9);
    const TFontPtr body = OpenFont(regularPath, 11);

    // Laid out on a tall scratch canvas first; only its inked rows are kept.
    TCoverage c(kWidth, 2 * kHeight);
    int baseline = 40;
    const int titleBottom = CentreLine(c, title.get(), "Quorvatide", kCentre, baseline).bottom;
    CentreLine(c, body.get(), "a defence game", kCentre, baseline += 19);
    FillRect(c, kCentre - kRuleHalf, baseline + 9, kCentre + kRuleHalf, baseline + 10, 255);
    baseline += 9;

    struct TCredit {
        const char* heading;
        const char* text;
    };
    const TCredit credits[] = {{"CODE AND ART", "the Quorvatide team"},
                               {"BUILT WITH", "SDL2, pixman, zlib, cairo"},
                               {"FONT", "DejaVu Sans"}};
    for (const TCredit& credit : credits) {
        CentreLine(c, heading.get(), credit.heading, kCentre, baseline += 20);
        CentreLine(c, body.get(), credit.text, kCentre, baseline += 13);
    }
    FillRect(c, kCentre - kRuleHalf, baseline + 10, kCentre + kRuleHalf, baseline + 11, 255);
    CentreLine(c, body.get(), "Thanks for playing!", kCentre, baseline += 26);

    const TInkBox ink = InkBox(c);
    if (ink.Height() > kHeight - 8) Fail("the credits do not fit");
    const int shift = (kHeight - ink.Height()) / 2 - ink.top;
    TPictureOut out{TCoverage(kWidth, kHeight)};
    Stamp(out.coverage, c, 0, shift);
    // The title ends well above the subtitle's ink, so one row past it still belongs to it.
    out.titleBottom = titleBottom + shift + 1;
    return out;
}

// ---------------------------------------------------------------------------------------------
// Output.

// Pictures are mostly paper or solid ink, so they are stored as runs: pairs of (length - 1,
// coverage), each run at most 256 pixels long.
std::vector<uint8_t> RunLengths(const TCoverage& c) {
    std::vector<uint8_t> out;
    size_t i = 0;
    while (i < c.values.size()) {
        const uint8_t value = c.values[i];
        size_t n = 1;
        while (n < 256 && i + n < c.values.size() && c.values[i + n] == value) ++n;
        out.push_back(uint8_t(n - 1));
        out.push_back(value);
        i += n;
    }
    return out;
}

void WriteBytes(std::ostream& os, const std::string& name, const std::vector<uint8_t>& bytes) {
    os << "extern const uint8_t " << name << "[] = {";
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i % 24 == 0) os << "\n    ";
        os << int(bytes[i]) << ',';
    }
    os << "\n};\n";
    os << "extern const size_t " << name << "Size = " << bytes.size() << ";\n";
}

void WritePicture(std::ostream& os, const std::string& name, const TPictureOut& picture) {
    os << "\nextern const int k" << name << "Width = " << picture.coverage.width << ";\n";
    os << "extern const int k" << name << "Height = " << picture.coverage.height << ";\n";
    WriteBytes(os, "k" + name + "Runs", RunLengths(picture.coverage));
}

// Writes a font as k<name>LineHeight, k<name>Glyphs and k<name>Coverage.
void WriteFont(std::ostream& os, const std::string& name, const TFontOut& font) {
    os << "extern const int k" << name << "LineHeight = " << font.lineHeight << ";\n";
    os << "// advance, left, top, width, height, offset\n";
    os << "extern const TBuiltinGlyph k" << name << "Glyphs[" << font.glyphs.size() << "] = {\n";
    for (size_t i = 0; i < font.glyphs.size(); ++i) {
        const TGlyphOut& g = font.glyphs[i];
        os << "    {" << g.advance << ", " << g.left << ", " << g.top << ", " << g.width << ", "
           << g.height << ", " << g.offset << "},  // " << (kFirstChar + i) << "\n";
    }
    os << "};\n";
    WriteBytes(os, "k" + name + "Coverage", font.coverage);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: qv_builtin_art <output.cpp> [<font folder>]\n");
        return 2;
    }
    const std::string outPath = argv[1];
    const std::string fontDir = argc > 2 ? argv[2] : "/usr/share/fonts/truetype/dejavu";
    const std::string regular = fontDir + "/DejaVuSans.ttf";
    const std::string bold = fontDir + "/DejaVuSans-Bold.ttf";
    const std::string serifBold = fontDir + "/DejaVuSerif-Bold.ttf";

    if (TTF_Init() != 0) Fail("cannot start SDL2_ttf");
    const TFontOut ui = MakeFont(regular, kUiFontSize);
    const TFontOut memo = MakeFont(regular, kMemoFontSize);
    // The front end's: its text, its buttons and its titles.
    const TFontOut textFont = MakeFont(regular, kTextFontSize);
    const TFontOut button = MakeFont(bold, kButtonFontSize);
    const TFontOut title = MakeFont(serifBold, kTitleFontSize);
    const TPictureOut paused = MakePaused(bold);
    const TPictureOut legend = MakeKeyLegend(bold);
    const TPictureOut credits = MakeCredits(regular, bold);
    TTF_Quit();

    std::ostringstream os;
    os << "// Generated by tools/builtin_art.cpp from the DejaVu fonts; do not edit.\n"
          "#include <cstddef>\n#include <cstdint>\n\n#include \"toolkit/builtin_art.h\"\n\n"
          "namespace qv_builtin_data {\n\n";
    WriteFont(os, "Ui", ui);
    WriteFont(os, "Memo", memo);
    WriteFont(os, "Text", textFont);
    WriteFont(os, "Button", button);
    WriteFont(os, "Title", title);
    WritePicture(os, "Paused", paused);
    WritePicture(os, "KeyLegend", legend);
    WritePicture(os, "Credits", credits);
    os << "extern const int kCreditsTitleBottom = " << credits.titleBottom << ";\n";
    os << "\n}  // namespace qv_builtin_data\n";

    const std::string text = os.str();
    std::ofstream file(outPath, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
        std::fprintf(stderr, "qv_builtin_art: cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}
