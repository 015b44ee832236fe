#include "frontend/look.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace look {

TColor32 Over(TColor32 colour, TColor32 under, int c) {
    const int sa = (AlphaOf(colour) * c + 127) / 255;
    if (sa == 0) return under;
    const int da = AlphaOf(under);
    if (sa == 255 || da == 0) return (colour & 0x00FFFFFFu) | TColor32(sa) << 24;
    // Straight alpha: the colours weighted by what each brings to the result.
    const int outA = sa + (da * (255 - sa) + 127) / 255;
    const auto channel = [&](int s, int d) {
        return (s * sa * 255 + d * da * (255 - sa) + outA * 255 / 2) / (outA * 255);
    };
    return Color32(channel(RedOf(colour), RedOf(under)), channel(GreenOf(colour), GreenOf(under)),
                   channel(BlueOf(colour), BlueOf(under)), outA);
}

namespace {

TColor32 Mix(TColor32 a, TColor32 b, int t, int n) {
    if (n <= 0) return a;
    const auto ch = [&](int x, int y) { return x + (y - x) * t / n; };
    return Color32(ch(RedOf(a), RedOf(b)), ch(GreenOf(a), GreenOf(b)), ch(BlueOf(a), BlueOf(b)),
                   ch(AlphaOf(a), AlphaOf(b)));
}

// How much of the pixel (x, y) lies inside the rounded rectangle, 0..255.
int Coverage(const TRect& r, int radius, int x, int y) {
    const double cx = x + 0.5, cy = y + 0.5;
    const double left = r.left + radius, right = r.right - radius;
    const double top = r.top + radius, bottom = r.bottom - radius;
    const double dx = cx < left ? left - cx : (cx > right ? cx - right : 0);
    const double dy = cy < top ? top - cy : (cy > bottom ? cy - bottom : 0);
    if (dx == 0 || dy == 0) return 255;
    const double outside = std::sqrt(dx * dx + dy * dy) - radius;
    return std::clamp(int(std::lround((0.5 - outside) * 255)), 0, 255);
}

}  // namespace

void FillRound(TPicture& p, const TRect& r, int radius, TColor32 top, TColor32 bottom) {
    const TRect in = r.Intersect({0, 0, p.Width(), p.Height()});
    if (in.Empty()) return;
    radius = std::clamp(radius, 0, std::min(r.Width(), r.Height()) / 2);
    TColor32* bits = p.MutableBits();
    for (int y = in.top; y < in.bottom; ++y) {
        const TColor32 colour = Mix(top, bottom, y - r.top, std::max(1, r.Height() - 1));
        const bool opaque = AlphaOf(colour) == 255;
        TColor32* row = bits + size_t(y) * p.Width();
        const bool corners = y < r.top + radius || y >= r.bottom - radius;
        // The middle of the row in one go; the rounded ends pixel by pixel.
        const int from = corners ? std::max(in.left, r.left + radius) : in.left;
        const int to = corners ? std::min(in.right, r.right - radius) : in.right;
        for (int x = in.left; x < from; ++x)
            if (const int c = Coverage(r, radius, x, y)) row[x] = Over(colour, row[x], c);
        if (opaque) {
            std::fill(row + from, row + std::max(from, to), colour);
        } else {
            for (int x = from; x < to; ++x) row[x] = Over(colour, row[x]);
        }
        for (int x = std::max(from, to); x < in.right; ++x)
            if (const int c = Coverage(r, radius, x, y)) row[x] = Over(colour, row[x], c);
    }
}

void FrameRound(TPicture& p, const TRect& r, int radius, int width, TColor32 edge, TColor32 top,
                TColor32 bottom) {
    FillRound(p, r, radius, edge);
    FillRound(p, {r.left + width, r.top + width, r.right - width, r.bottom - width},
              std::max(0, radius - width), top, bottom);
}

void Fill(TPicture& p, const TRect& r, TColor32 colour) {
    FillRound(p, r, 0, colour);
}

void Outline(TPicture& p, const TRect& r, int width, TColor32 colour) {
    Fill(p, {r.left, r.top, r.right, r.top + width}, colour);
    Fill(p, {r.left, r.bottom - width, r.right, r.bottom}, colour);
    Fill(p, {r.left, r.top + width, r.left + width, r.bottom - width}, colour);
    Fill(p, {r.right - width, r.top + width, r.right, r.bottom - width}, colour);
}

int Text(TPicture& p, int x, int y, std::string_view text, TColor32 colour,
         const TBuiltinFont& font) {
    return DrawText(p, x, y, text, colour, font);
}

int CentredText(TPicture& p, int centreX, int y, std::string_view text, TColor32 colour,
                const TBuiltinFont& font) {
    const int w = TextWidth(text, font);
    return DrawText(p, centreX - w / 2, y, text, colour, font);
}

int LineTopIn(const TRect& r, const TBuiltinFont& font) {
    return r.top + (r.Height() - font.lineHeight) / 2;
}

void Panel(TPicture& p, const TRect& r) {
    FrameRound(p, r, 12, 2, kPanelEdge, kPanelTop, kPanelBottom);
    const TRect inner{r.left + 4, r.top + 4, r.right - 4, r.bottom - 4};
    Outline(p, {inner.left + 8, inner.top, inner.right - 8, inner.top + 1}, 1, kPanelInnerEdge);
}

void Button(TPicture& p, const TRect& r, std::string_view text, TButtonState state,
            const TBuiltinFont& font) {
    const bool lit = state == TButtonState::Lit || state == TButtonState::Pressed;
    const TColor32 fill = state == TButtonState::Pressed ? kButton : (lit ? kButtonLit : kButton);
    FrameRound(p, r, 8, lit ? 2 : 1, lit ? kGold : kButtonEdge, fill,
               state == TButtonState::Pressed ? kButtonLit : kButton);
    const TColor32 ink = state == TButtonState::Disabled ? kDisabledInk : kInk;
    const int dy = state == TButtonState::Pressed ? 1 : 0;
    CentredText(p, (r.left + r.right) / 2, LineTopIn(r, font) + dy, text, ink, font);
}

std::string Grouped(long long n) {
    std::string digits =
        std::to_string(n < 0 ? -(n + 1) + 1ull : static_cast<unsigned long long>(n));
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0) out += ' ';
        out += digits[i];
    }
    return n < 0 ? "-" + out : out;
}

}  // namespace look
