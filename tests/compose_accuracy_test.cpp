// Blending on the window's frame: every composed pixel stays within 2 levels of the exact blend
// (BlendPixel, layer after layer), and repainting only what changed gives the very frame that
// painting everything again gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "platform/native.h"
#include "tests/harness.h"
#include "toolkit/compose.h"
#include "toolkit/form.h"
#include "toolkit/layers.h"

namespace {

constexpr int kTolerance = 2;

int Random(std::mt19937& rng, int lo, int hi) {
    return lo + int(rng() % uint32_t(hi - lo + 1));
}

int ChannelError(TColor32 a, TColor32 b) {
    return std::max({std::abs(RedOf(a) - RedOf(b)), std::abs(GreenOf(a) - GreenOf(b)),
                     std::abs(BlueOf(a) - BlueOf(b))});
}

// Fails with the first pixel whose colour is more than `tolerance` off.
::testing::AssertionResult ColoursWithin(const TPicture& actual, const TPicture& expected,
                                         int tolerance) {
    int worst = 0;
    for (int y = 0; y < expected.Height(); ++y)
        for (int x = 0; x < expected.Width(); ++x) {
            const int e = ChannelError(actual.Pixel(x, y), expected.Pixel(x, y));
            worst = std::max(worst, e);
            if (e > tolerance)
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y << " is " << std::hex << actual.Pixel(x, y)
                       << ", expected " << expected.Pixel(x, y) << std::dec << " (" << e
                       << " levels off)";
        }
    return ::testing::AssertionSuccess() << "largest error " << worst;
}

::testing::AssertionResult SameBits(const TPicture& actual, const TPicture& expected) {
    for (int y = 0; y < expected.Height(); ++y)
        for (int x = 0; x < expected.Width(); ++x)
            if (actual.Pixel(x, y) != expected.Pixel(x, y))
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y << " is " << std::hex << actual.Pixel(x, y)
                       << ", from scratch " << expected.Pixel(x, y);
    return ::testing::AssertionSuccess();
}

// A layer picture in one of the shapes sprites have: a disc with a soft rim and clear corners,
// noise with any alpha, a fully opaque block, or tinted glass that is nowhere quite opaque. Runs
// of clear and opaque pixels matter because the compositor copies or skips them whole.
void FillSprite(TPicture& p, std::mt19937& rng) {
    const int w = p.Width(), h = p.Height(), kind = Random(rng, 0, 3);
    const int r = Random(rng, 0, 255), g = Random(rng, 0, 255), b = Random(rng, 0, 255);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int a = 255;
            if (kind == 0) {
                const double d = std::hypot(x + 0.5 - w / 2.0, y + 0.5 - h / 2.0);
                a = int(std::clamp((std::min(w, h) / 2.0 - d) / 1.5, 0.0, 1.0) * 255);
            } else if (kind == 1) {
                a = Random(rng, 0, 255);
            } else if (kind == 3) {
                a = 254 - (x + y) % 100;
            }
            p.SetPixel(x, y, Color32((r + x * 7) & 255, (g + y * 5) & 255, (b + x * y) & 255, a));
        }
}

// A form with one layered image over a noisy opaque background, and random layers on it: all
// sizes (so every width of row the compositor handles), partly outside the control, each with
// its own master alpha (half of them at full strength, one at zero).
struct TScene {
    TFakeClock clock;
    TSilentAudio audio;
    TPlatform platform{clock, audio, NativeFiles(), ""};
    TForm form{platform, 150, 120};
    TLayeredImage* image = form.Add<TLayeredImage>("image", 7, 5, 131, 103);
    std::mt19937 rng{20240611};

    TScene() {
        TPicture& back = image->Bitmap();
        back.SetSize(image->Width(), image->Height());
        for (int y = 0; y < back.Height(); ++y)
            for (int x = 0; x < back.Width(); ++x)
                back.SetPixel(
                    x, y, Color32(Random(rng, 0, 255), Random(rng, 0, 255), Random(rng, 0, 255)));
        for (int i = 0; i < 40; ++i) AddLayer(i);
        form.Compose();
    }

    void AddLayer(int i) {
        TBitmapLayer& l = image->AddLayer();
        const int w = Random(rng, 1, 45), h = Random(rng, 1, 45);
        l.Bitmap().SetSize(w, h);
        FillSprite(l.Bitmap(), rng);
        l.Bitmap().SetDrawMode(TDrawMode::Blend);
        l.Bitmap().SetMasterAlpha(i % 2 == 0 ? 255 : i == 7 ? 0 : Random(rng, 1, 255));
        const float x = float(Random(rng, -20, image->Width())),
                    y = float(Random(rng, -20, image->Height()));
        l.SetLocation({x, y, x + float(w), y + float(h)});
    }

    // The frame as the exact formula has it: the window's colour with the background picture
    // (which fills the control), then every shown layer blended over it in order, limited to the
    // control. A layer covers its location rounded to whole pixels (halves away from zero), its
    // picture stretched there by nearest-neighbour sampling when the sizes differ.
    TPicture Reference() const {
        const TRect bounds = image->BoundsInForm();
        TPicture ref(form.Width(), form.Height(), form.Color());
        image->Bitmap().DrawTo(ref, bounds.left, bounds.top);
        for (int i = 0; i < image->LayerCount(); ++i) {
            const TBitmapLayer& l = image->Layer(i);
            if (!l.Visible()) continue;
            const TFloatRect& f = l.Location();
            const TRect at = TRect{int(std::lround(f.left)), int(std::lround(f.top)),
                                   int(std::lround(f.right)), int(std::lround(f.bottom))}
                                 .Offset(bounds.left, bounds.top);
            const TPicture& p = l.Bitmap();
            const TRect area = at.Intersect(bounds);
            for (int y = area.top; y < area.bottom; ++y)
                for (int x = area.left; x < area.right; ++x) {
                    const int sx = (x - at.left) * p.Width() / at.Width();
                    const int sy = (y - at.top) * p.Height() / at.Height();
                    ref.SetPixel(x, y,
                                 BlendPixel(p.Pixel(sx, sy), ref.Pixel(x, y), p.MasterAlpha()));
                }
        }
        return ref;
    }

    TPicture Incremental() {
        form.Compose();
        TPicture copy;
        copy.Assign(form.Frame());
        return copy;
    }
};

}  // namespace

TEST(ComposeAccuracy, BlendedLayersStayWithinTwoLevelsOfTheExactBlend) {
    TScene s;
    const TPicture composed = s.Incremental();
    EXPECT_TRUE(ColoursWithin(composed, s.Reference(), kTolerance));

    // Layers brought together in one corner, on top of each other, with fractional places.
    for (int i = 0; i < s.image->LayerCount(); i += 2) {
        TBitmapLayer& l = s.image->Layer(i);
        const TRect r = l.PixelRect();
        const float x = 3.5f + float(i % 7), y = -2.25f + float(i % 5);
        l.SetLocation({x, y, x + float(r.Width()), y + float(r.Height())});
    }
    const TPicture recomposed = s.Incremental();
    EXPECT_TRUE(ColoursWithin(recomposed, s.Reference(), kTolerance));
}

TEST(ComposeAccuracy, RepaintingWhatChangedGivesTheFrameOfAFullRepaint) {
    TScene s;
    const auto check = [&s](const char* step) {
        const TPicture incremental = s.Incremental();
        EXPECT_TRUE(SameBits(incremental, s.form.ComposeFromScratch())) << step;
        EXPECT_TRUE(ColoursWithin(incremental, s.Reference(), kTolerance)) << step;
    };
    for (int frame = 0; frame < 6; ++frame) {
        // A tenth of the layers glide a few pixels, some by fractions.
        for (int i = frame % 10; i < s.image->LayerCount(); i += 10) {
            TBitmapLayer& l = s.image->Layer(i);
            TFloatRect r = l.Location();
            const float dx = float(Random(s.rng, -8, 8)) / 2, dy = float(Random(s.rng, -8, 8)) / 2;
            l.SetLocation({r.left + dx, r.top + dy, r.right + dx, r.bottom + dy});
        }
        check("gliding");
    }
    s.image->Layer(3).Free();
    s.image->Layer(11).Free();
    check("freeing");
    s.image->Layer(5).SetVisible(false);
    s.image->Layer(6).SetVisible(false);
    check("hiding");
    s.image->Layer(5).SetVisible(true);
    check("showing again");
    s.image->Layer(0).BringToFront();
    check("bringing to the front");
    s.image->Layer(8).Bitmap().SetMasterAlpha(90);
    FillSprite(s.image->Layer(9).Bitmap(), s.rng);
    check("changing pictures");
    TBitmapLayer& wide = s.image->Layer(10);
    const TFloatRect r = wide.Location();
    wide.SetLocation({r.left, r.top, r.left + 60, r.top + 17});
    check("stretching");
    s.AddLayer(41);
    check("adding");
}

// Every source colour over every destination colour at every alpha, composed through clips of
// many widths so that each way of blending a row is used.
TEST(ComposeAccuracy, EveryColourOverEveryColourAtEveryAlpha) {
    TPicture src(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) src.SetPixel(x, y, Color32(y, 255 - y, y ^ 0x5A, x));
    src.SetDrawMode(TDrawMode::Blend);
    TPicture frame(256, 256);
    int worst = 0;
    for (int d = 0; d < 256; ++d) {
        const TColor32 back = Color32(d, (d * 7) & 255, 255 - d);
        frame.Clear(back);
        for (int left = 0, width = 1; left < 256; left += width, width = width % 19 + 1)
            ComposePicture(frame, src, 0, 0, {left, 0, std::min(left + width, 256), 256});
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                worst = std::max(
                    worst, ChannelError(frame.Pixel(x, y), BlendPixel(src.Pixel(x, y), back, 255)));
    }
    EXPECT_LE(worst, kTolerance);
}

// Each way of blending a row (the plain one, and the processor's vector ones) gives exactly the
// blend of BlendPixel, for every source channel over every destination channel at every alpha,
// in rows of every length up to 19 (the vector ways end ragged rows their own way).
TEST(ComposeAccuracy, EveryWayOfBlendingARowGivesTheExactBlend) {
    std::vector<TColor32> src(256 * 256), dst(src.size()), want(src.size());
    for (int way = 0; BlendRowWay(way, dst.data(), src.data(), 0); ++way) {
        int wrong = 0;
        for (int d = 0; d < 256; ++d) {
            for (size_t i = 0; i < src.size(); ++i) {
                const int a = int(i & 255), c = int(i >> 8);
                src[i] = Color32(c, 255 - c, c ^ 0x5A, a);
                dst[i] = Color32(d, (d * 7) & 255, 255 - d, (d * 13) & 255);
                want[i] = BlendPixel(src[i], dst[i], 255);
            }
            for (size_t at = 0, n = 1; at < src.size(); at += n, n = n % 19 + 1)
                BlendRowWay(way, dst.data() + at, src.data() + at,
                            int(std::min(n, src.size() - at)));
            for (size_t i = 0; i < src.size(); ++i) wrong += dst[i] != want[i];
        }
        EXPECT_EQ(wrong, 0) << "way " << way;
    }
}

// A control over its parent hides only what it paints: the window shows through a see-through
// background picture and around a small picture centred in its image.
TEST(ComposeAccuracy, TheWindowShowsWhereItsControlsDoNotPaint) {
    TFakeClock clock;
    TSilentAudio audio;
    TPlatform platform{clock, audio, NativeFiles(), ""};
    TForm form(platform, 60, 40);
    form.SetColor(Color32(200, 30, 60));
    const TColor32 glassColour = Color32(10, 20, 250, 128), green = Color32(0, 255, 0);
    TLayeredImage* glass = form.Add<TLayeredImage>("glass", 0, 0, 30, 40);
    glass->Bitmap().SetSize(30, 40);
    glass->Bitmap().Clear(glassColour);
    glass->Bitmap().SetDrawMode(TDrawMode::Blend);
    TImage* framed = form.Add<TImage>("framed", 30, 0, 30, 40);
    framed->Center = true;
    framed->SetPicture(TPicture(10, 10, green));
    form.Compose();

    const auto rgb = [&form](int x, int y) { return form.Frame().Pixel(x, y) & 0xFFFFFFu; };
    EXPECT_EQ(rgb(5, 5), BlendPixel(glassColour, form.Color(), 255) & 0xFFFFFFu);
    EXPECT_EQ(rgb(31, 1), form.Color() & 0xFFFFFFu);
    EXPECT_EQ(rgb(45, 20), green & 0xFFFFFFu);
}
