// Controls on a window: what they paint on the frame, how the frame follows their changes, and
// which control the mouse reaches.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/native.h"
#include "tests/bmp_files.h"
#include "tests/harness.h"
#include "toolkit/form.h"
#include "toolkit/layers.h"

namespace {

// A bare window on a fake clock.
struct TScreen {
    explicit TScreen(int w = 64, int h = 48) : form(platform, w, h) {}
    TFakeClock clock;
    TSilentAudio audio;
    TPlatform platform{clock, audio, NativeFiles(), "/tmp/"};
    TForm form;

    // A pixel of the frame as last composed. The frame is opaque: only the colour counts.
    TColor32 At(int x, int y) { return form.Frame().Pixel(x, y) | 0xFF000000u; }
};

TColor32 Rgb(TColor32 c) {
    return c & 0x00FFFFFFu;
}

// Compares the frame's colours over `area` with `expected(x, y)`, reporting the first mismatch.
::testing::AssertionResult FrameShows(const TForm& form, const TRect& area,
                                      const std::function<TColor32(int, int)>& expected) {
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const TColor32 actual = Rgb(form.Frame().Pixel(x, y)), want = Rgb(expected(x, y));
            if (actual != want)
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is "
                                                     << std::hex << actual << ", expected " << want;
        }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SameColours(const TPicture& a, const TPicture& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (Rgb(a.Pixel(x, y)) != Rgb(b.Pixel(x, y)))
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y << ": " << std::hex << Rgb(a.Pixel(x, y))
                       << " vs " << Rgb(b.Pixel(x, y));
    return ::testing::AssertionSuccess();
}

bool Inside(int x, int y, const TRect& r) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

TPicture Gradient(int w, int h, int alpha = 255) {
    TPicture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.SetPixel(x, y, Color32(30 + 30 * x, 40 + 25 * y, 200 - 9 * x - 5 * y, alpha));
    return p;
}

constexpr TColor32 kNavy = Color32(0, 0, 128);
constexpr TColor32 kGreen = Color32(0, 100, 0);
constexpr TColor32 kBlue = Color32(0, 0, 255);
constexpr TColor32 kYellow = Color32(255, 255, 0);

}  // namespace

// ---------------------------------------------------------------- painting controls

TEST(ControlPaint, BevelledPanelWithCentredImage) {
    TScreen s;
    TPanel* panel = s.form.Add<TPanel>("panel", 5, 4, 30, 20, kNavy, true);
    TImage* image = panel->Add<TImage>("image", 2, 3, 20, 12);
    image->Center = true;
    TPicture pic = Gradient(6, 4, 0);  // alpha does not matter to an image: copied as is
    image->SetPicture(std::move(pic));
    s.form.Compose();

    const TRect panelRect{5, 4, 35, 24};
    const TRect picRect{5 + 2 + 7, 4 + 3 + 4, 5 + 2 + 7 + 6, 4 + 3 + 4 + 4};
    const TPicture g = Gradient(6, 4);
    EXPECT_TRUE(FrameShows(s.form, {0, 0, 64, 48}, [&](int x, int y) -> TColor32 {
        if (!Inside(x, y, panelRect)) return clBtnFace;
        // Right and bottom shadow are drawn over the light edges at the corners.
        if (x == 34 || y == 23) return clBtnShadow;
        if (x == 5 || y == 4) return clBtnHighlight;
        if (Inside(x, y, picRect)) return g.Pixel(x - picRect.left, y - picRect.top);
        return kNavy;
    }));

    // Without centring the picture sits at the image's corner; stretched it fills the image.
    image->Center = false;
    image->Invalidate();
    s.form.Compose();
    EXPECT_EQ(s.At(7, 7), g.Pixel(0, 0));
    EXPECT_EQ(s.At(12, 10), g.Pixel(5, 3));
    EXPECT_EQ(s.At(13, 7), kNavy);

    TPicture two(2, 2);
    two.SetPixel(0, 0, Color32(10, 0, 0));
    two.SetPixel(1, 0, Color32(20, 0, 0));
    two.SetPixel(0, 1, Color32(30, 0, 0));
    two.SetPixel(1, 1, Color32(40, 0, 0));
    image->Stretch = true;
    image->SetPicture(std::move(two));
    s.form.Compose();
    // 2x2 over 20x12: blocks of 10x6.
    EXPECT_TRUE(FrameShows(s.form, {7, 7, 27, 19}, [](int x, int y) {
        return Color32(10 * (1 + (x - 7) / 10 + 2 * ((y - 7) / 6)), 0, 0);
    }));
}

TEST(ControlPaint, ShapeOutlineIsABandInsideTheBounds) {
    TScreen s;
    s.form.Add<TPanel>("back", 0, 0, 64, 48, kNavy, false);
    s.form.Add<TShape>("shape", 10, 8, 20, 16, clRed, 5);
    s.form.Compose();
    const TRect outer{10, 8, 30, 24}, inner{15, 13, 25, 19};
    EXPECT_TRUE(FrameShows(s.form, {0, 0, 64, 48}, [&](int x, int y) {
        return Inside(x, y, outer) && !Inside(x, y, inner) ? clRed : kNavy;
    }));
}

TEST(ControlPaint, HiddenControlsAndClippingToTheParent) {
    TScreen s;
    TPanel* parent = s.form.Add<TPanel>("parent", 10, 10, 20, 20, kNavy, false);
    // Sticks out above and to the right of its parent.
    TPanel* child = parent->Add<TPanel>("child", 15, -5, 20, 10, kYellow, false);
    TPanel* hidden = s.form.Add<TPanel>("hidden", 40, 30, 10, 10, kGreen, false);
    hidden->Hide();
    s.form.Compose();
    const TRect parentRect{10, 10, 30, 30}, childShown{25, 10, 30, 15};
    EXPECT_TRUE(FrameShows(s.form, {0, 0, 64, 48}, [&](int x, int y) {
        if (Inside(x, y, childShown)) return kYellow;
        return Inside(x, y, parentRect) ? kNavy : clBtnFace;
    }));

    hidden->Show();
    s.form.Compose();
    EXPECT_EQ(s.At(40, 30), kGreen);
    EXPECT_EQ(s.At(49, 39), kGreen);
    hidden->Hide();
    s.form.Compose();
    EXPECT_EQ(s.At(45, 35), clBtnFace);

    // Hiding the parent takes its children with it; the child alone hides just itself.
    parent->Hide();
    s.form.Compose();
    EXPECT_TRUE(FrameShows(s.form, {0, 0, 64, 48}, [](int, int) { return clBtnFace; }));
    parent->Show();
    child->Hide();
    s.form.Compose();
    EXPECT_EQ(s.At(27, 12), kNavy);
    EXPECT_EQ(s.At(27, 8), clBtnFace);
}

TEST(ControlPaint, StackingOrderAmongSiblings) {
    TScreen s;
    TPanel* a = s.form.Add<TPanel>("a", 0, 0, 20, 20, clRed, false);
    TPanel* b = s.form.Add<TPanel>("b", 10, 10, 20, 20, kGreen, false);
    TPanel* c = s.form.Add<TPanel>("c", 15, 5, 20, 20, kBlue, false);
    s.form.Compose();
    // (17, 15) lies in all three, (12, 12) in a and b, (25, 22) in b and c.
    EXPECT_EQ(s.At(17, 15), kBlue);
    EXPECT_EQ(s.At(12, 12), kGreen);
    EXPECT_EQ(s.At(25, 22), kBlue);

    a->BringToFront();
    s.form.Compose();
    EXPECT_EQ(s.At(17, 15), clRed);
    EXPECT_EQ(s.At(12, 12), clRed);
    EXPECT_EQ(s.At(25, 22), kBlue);

    c->SendToBack();  // order now c, b, a
    s.form.Compose();
    EXPECT_EQ(s.At(17, 15), clRed);
    EXPECT_EQ(s.At(25, 22), kGreen);
    EXPECT_EQ(s.form.Controls()[0].get(), c);
    EXPECT_EQ(s.form.Controls()[2].get(), a);

    b->BringToFront();
    s.form.Compose();
    EXPECT_EQ(s.At(17, 15), kGreen);
    EXPECT_TRUE(SameColours(s.form.Frame(), s.form.ComposeFromScratch()));
}

// ---------------------------------------------------------------- layered images

TEST(LayeredImage, BackgroundAndLayersInOrder) {
    TScreen s;
    TLayeredImage* li = s.form.Add<TLayeredImage>("li", 4, 4, 40, 30);
    li->SetColor(kGreen);
    li->Bitmap() = Gradient(10, 8);
    TBitmapLayer& red = li->AddLayer();
    red.Bitmap() = TPicture(6, 6, clRed);
    red.SetLocation({12, 10, 18, 16});
    TBitmapLayer& blue = li->AddLayer();
    blue.Bitmap() = TPicture(6, 6, kBlue);
    blue.SetLocation({15, 13, 21, 19});
    s.form.Compose();

    const TPicture g = Gradient(10, 8);
    const auto expected = [&](bool redOnTop) {
        return [&, redOnTop](int x, int y) -> TColor32 {
            if (!Inside(x, y, {4, 4, 44, 34})) return clBtnFace;
            const int lx = x - 4, ly = y - 4;
            const bool inRed = Inside(lx, ly, {12, 10, 18, 16});
            const bool inBlue = Inside(lx, ly, {15, 13, 21, 19});
            if (inRed && inBlue) return redOnTop ? clRed : kBlue;
            if (inRed) return clRed;
            if (inBlue) return kBlue;
            if (lx < 10 && ly < 8) return g.Pixel(lx, ly);
            return kGreen;
        };
    };
    EXPECT_TRUE(FrameShows(s.form, {0, 0, 64, 48}, expected(false)));

    red.BringToFront();
    EXPECT_EQ(li->IndexOf(red), 1);
    s.form.Compose();
    EXPECT_TRUE(FrameShows(s.form, {0, 0, 64, 48}, expected(true)));

    // A layer reaching beyond the control is cut at its edge.
    blue.SetLocation({35.4f, 25.6f, 41.4f, 31.6f});  // rounds to 35, 26, 41, 32
    s.form.Compose();
    EXPECT_EQ(s.At(4 + 35, 4 + 26), kBlue);
    EXPECT_EQ(s.At(43, 33), kBlue);
    EXPECT_EQ(s.At(4 + 34, 4 + 26), kGreen);
    EXPECT_EQ(s.At(4 + 35, 4 + 25), kGreen);
    EXPECT_EQ(s.At(44, 33), clBtnFace);
    EXPECT_EQ(s.At(43, 34), clBtnFace);
    EXPECT_EQ(s.At(4 + 19, 4 + 17), kGreen);  // where it used to be
    EXPECT_EQ(s.At(4 + 16, 4 + 14), clRed);

    // Freeing removes the layer from the screen; a hidden layer paints nothing.
    blue.Free();
    EXPECT_EQ(li->LayerCount(), 1);
    red.SetVisible(false);
    s.form.Compose();
    EXPECT_EQ(s.At(43, 33), kGreen);
    EXPECT_EQ(s.At(4 + 13, 4 + 11), kGreen);
    EXPECT_TRUE(SameColours(s.form.Frame(), s.form.ComposeFromScratch()));
}

TEST(LayeredImage, BlendedLayers) {
    TScreen s;
    TLayeredImage* li = s.form.Add<TLayeredImage>("li", 0, 0, 64, 48);
    li->SetColor(kGreen);
    TBitmapLayer& clear = li->AddLayer();
    clear.Bitmap() = TPicture(8, 8, Color32(255, 255, 255, 0));
    clear.Bitmap().SetDrawMode(TDrawMode::Blend);
    clear.SetLocation({0, 0, 8, 8});
    TBitmapLayer& quarter = li->AddLayer();
    quarter.Bitmap() = TPicture(8, 8, Color32(255, 255, 255));
    quarter.Bitmap().SetDrawMode(TDrawMode::Blend);
    quarter.Bitmap().SetMasterAlpha(64);
    quarter.SetLocation({10, 0, 18, 8});
    TBitmapLayer& half = li->AddLayer();  // half alpha pixels, stretched to twice the size
    half.Bitmap() = TPicture(4, 4, Color32(255, 0, 0, 128));
    half.Bitmap().SetDrawMode(TDrawMode::Blend);
    half.SetLocation({20, 0, 28, 8});
    s.form.Compose();

    EXPECT_TRUE(FrameShows(s.form, {0, 0, 8, 8}, [](int, int) { return kGreen; }));
    const TColor32 q = s.At(13, 4);
    EXPECT_NEAR(RedOf(q), 64, 1);
    EXPECT_NEAR(GreenOf(q), 100 + 155 * 64 / 255.0, 1);
    EXPECT_NEAR(BlueOf(q), 64, 1);
    const TColor32 h = s.At(27, 7);
    EXPECT_NEAR(RedOf(h), 128, 1);
    EXPECT_NEAR(GreenOf(h), 100 * 127 / 255.0, 1);
    EXPECT_EQ(BlueOf(h), 0);
    EXPECT_EQ(s.At(28, 7), kGreen);
    // Every pixel of a layer gets the same blend.
    EXPECT_TRUE(FrameShows(s.form, {10, 0, 18, 8}, [&](int, int) { return q; }));
    EXPECT_TRUE(FrameShows(s.form, {20, 0, 28, 8}, [&](int, int) { return h; }));
}

TEST(LayeredImage, StretchedLayerSamplesNearest) {
    TScreen s;
    TLayeredImage* li = s.form.Add<TLayeredImage>("li", 2, 3, 40, 30);
    TBitmapLayer& layer = li->AddLayer();
    TPicture p(3, 2);
    for (int i = 0; i < 6; ++i) p.SetPixel(i % 3, i / 3, Color32(40 * (i + 1), 7, 9));
    layer.Bitmap() = std::move(p);
    layer.SetLocation({5, 6, 14, 12});  // three times wider and taller
    s.form.Compose();
    EXPECT_TRUE(FrameShows(s.form, {7, 9, 16, 15}, [](int x, int y) {
        const int sx = (x - 7) / 3, sy = (y - 9) / 3;
        return Color32(40 * (sx + 3 * sy + 1), 7, 9);
    }));
    EXPECT_EQ(s.At(16, 9), li->Color());
    EXPECT_EQ(s.At(7, 15), li->Color());
}

TEST(LayeredImage, UpdateCounterHoldsChangesBack) {
    TScreen s;
    TLayeredImage* li = s.form.Add<TLayeredImage>("li", 0, 0, 64, 48);
    li->SetColor(kGreen);
    li->Bitmap() = TPicture(16, 16, kNavy);
    TBitmapLayer& layer = li->AddLayer();
    layer.Bitmap() = TPicture(4, 4, clRed);
    layer.SetLocation({20, 20, 24, 24});
    TBitmapLayer& doomed = li->AddLayer();
    doomed.Bitmap() = TPicture(4, 4, kBlue);
    doomed.SetLocation({50, 40, 54, 44});
    TBitmapLayer& under = li->AddLayer();
    under.Bitmap() = TPicture(4, 4, kYellow);
    under.SetLocation({2, 30, 6, 34});
    TBitmapLayer& over = li->AddLayer();
    over.Bitmap() = TPicture(4, 4, clWhite);
    over.SetLocation({4, 30, 8, 34});
    s.form.Compose();
    TPicture before;
    before.Assign(s.form.Frame());

    // Layers moved, added, freed and restacked: nothing reaches the frame until the last
    // EndUpdate.
    li->BeginUpdate();
    li->BeginUpdate();
    layer.SetLocation({30, 30, 34, 34});
    TBitmapLayer& added = li->AddLayer();
    added.Bitmap() = TPicture(2, 2, kBlue);
    added.SetLocation({40, 5, 42, 7});
    doomed.Free();
    under.BringToFront();
    li->Changed();  // ignored while updating
    EXPECT_TRUE(s.form.Compose().empty());
    li->EndUpdate();
    EXPECT_EQ(li->UpdateCount(), 1);
    s.form.Compose();
    EXPECT_TRUE(SameColours(s.form.Frame(), before));

    li->EndUpdate();
    EXPECT_EQ(li->UpdateCount(), 0);
    EXPECT_FALSE(s.form.Compose().empty());
    EXPECT_EQ(s.At(21, 21), kGreen);
    EXPECT_EQ(s.At(31, 31), clRed);
    EXPECT_EQ(s.At(41, 6), kBlue);
    EXPECT_EQ(s.At(51, 41), kGreen);
    EXPECT_EQ(s.At(5, 31), kYellow);
    EXPECT_TRUE(SameColours(s.form.Frame(), s.form.ComposeFromScratch()));

    // Drawing into the background likewise waits.
    li->BeginUpdate();
    li->Bitmap().FillRect(0, 0, 4, 4, kYellow);
    EXPECT_TRUE(s.form.Compose().empty());
    li->EndUpdate();
    s.form.Compose();
    EXPECT_EQ(s.At(2, 2), kYellow);
    EXPECT_EQ(s.At(5, 5), kNavy);

    li->EndUpdate();  // unbalanced: stays at zero
    EXPECT_EQ(li->UpdateCount(), 0);
}

TEST(FrameCompose, IncrementalMatchesFromScratch) {
    TScreen s(80, 60);
    TPanel* panel = s.form.Add<TPanel>("panel", 4, 4, 40, 30, kNavy, true);
    TImage* image = panel->Add<TImage>("image", 3, 3, 12, 10);
    image->SetPicture(Gradient(12, 10));
    TShape* shape = s.form.Add<TShape>("shape", 30, 20, 25, 20, clRed, 3);
    // Layers inside a nested control: their changes must land at the right place.
    TPanel* holder = s.form.Add<TPanel>("holder", 6, 30, 70, 28, kNavy, true);
    TLayeredImage* li = holder->Add<TLayeredImage>("li", 4, 5, 60, 22);
    li->SetColor(kGreen);
    li->Bitmap() = Gradient(8, 8);
    TBitmapLayer& l1 = li->AddLayer();
    l1.Bitmap() = Gradient(5, 5, 128);
    l1.Bitmap().SetDrawMode(TDrawMode::Blend);
    l1.SetLocation({2, 2, 7, 7});
    TBitmapLayer& l2 = li->AddLayer();
    l2.Bitmap() = TPicture(3, 3, kYellow);
    l2.SetLocation({20, 5, 29, 14});
    TMemo* memo = s.form.Add<TMemo>("memo", 50, 2, 28, 16);
    memo->SetLines({"ab"});

    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"first paint", [] {}},
        {"move panel", [&] { panel->SetBounds(8, 2, 36, 28); }},
        {"move image out of its panel", [&] { image->SetLeft(30); }},
        {"hide shape", [&] { shape->Hide(); }},
        {"change image pixels", [&] { image->Picture().FillRect(0, 0, 3, 3, clWhite); }},
        {"show shape over the layers",
         [&] {
             shape->Show();
             shape->SetTop(30);
         }},
        {"move layers",
         [&] {
             l1.SetLocation({40.6f, 10.2f, 45.6f, 15.2f});
             l2.SetLocation({-3, -3, 6, 6});
         }},
        {"layer picture changes", [&] { l2.Bitmap().Clear(kBlue); }},
        {"layer master alpha", [&] { l1.Bitmap().SetMasterAlpha(90); }},
        {"layer order", [&] { l1.BringToFront(); }},
        {"background changes", [&] { li->Bitmap().SetPixel(3, 3, clRed); }},
        {"restack", [&] { li->BringToFront(); }},
        {"panel colour", [&] { panel->SetColor(kYellow); }},
        {"memo text",
         [&] {
             memo->SetLines({"x", "yz"});
         }},
        {"hide layer", [&] { l2.SetVisible(false); }},
        {"free layer", [&] { l1.Free(); }},
        {"control moved half out of its parent", [&] { li->SetBounds(40, 10, 60, 22); }},
        {"parent moved half off the window", [&] { holder->SetBounds(50, 40, 70, 28); }},
        {"layer moved in the moved control",
         [&] {
             l2.SetVisible(true);
             l2.SetLocation({1, 1, 4, 4});
         }},
        {"hide panel", [&] { panel->Hide(); }},
    };
    for (const auto& [name, step] : steps) {
        SCOPED_TRACE(name);
        step();
        s.form.Compose();
        TPicture incremental;
        incremental.Assign(s.form.Frame());
        ASSERT_TRUE(SameColours(incremental, s.form.ComposeFromScratch()));
        // Nothing changed, nothing repainted.
        EXPECT_TRUE(s.form.Compose().empty());
    }
}

TEST(ControlPaint, PicturesLoadedFromFiles) {
    TTempAssets dir;
    const auto path = [&](const char* name) { return (dir.Assets() / name).string(); };
    ASSERT_TRUE(WriteFile(dir.Assets() / "pic.bmp", Bmp24(Gradient(7, 5))));
    ASSERT_TRUE(WriteFile(dir.Assets() / "bad.bmp", "BM not a picture"));
    TScreen s;

    TImage* image = s.form.Add<TImage>("image", 2, 2, 30, 30);
    image->AutoSize = true;
    ASSERT_TRUE(image->LoadPicture(NativeFiles(), path("pic.bmp")));
    EXPECT_EQ(image->Width(), 7);
    EXPECT_EQ(image->Height(), 5);
    // A file that cannot be read leaves the picture as it was.
    EXPECT_FALSE(image->LoadPicture(NativeFiles(), path("bad.bmp")));
    EXPECT_FALSE(image->LoadPicture(NativeFiles(), path("missing.bmp")));
    EXPECT_EQ(image->Picture().Width(), 7);

    TLayeredImage* li = s.form.Add<TLayeredImage>("li", 20, 20, 40, 20);
    li->SetColor(kGreen);
    ASSERT_TRUE(li->LoadBitmap(NativeFiles(), path("pic.bmp")));
    EXPECT_EQ(li->Width(), 40);  // no auto-size: the control keeps its size
    EXPECT_FALSE(li->LoadBitmap(NativeFiles(), path("bad.bmp")));
    EXPECT_EQ(li->Bitmap().Width(), 7);
    s.form.Compose();
    const TPicture g = Gradient(7, 5);
    EXPECT_TRUE(FrameShows(s.form, {0, 0, 64, 48}, [&](int x, int y) -> TColor32 {
        if (Inside(x, y, {2, 2, 9, 7})) return g.Pixel(x - 2, y - 2);
        if (Inside(x, y, {20, 20, 27, 25})) return g.Pixel(x - 20, y - 20);
        if (Inside(x, y, {20, 20, 60, 40})) return kGreen;
        return clBtnFace;
    }));
    li->AutoSize = true;
    ASSERT_TRUE(li->LoadBitmap(NativeFiles(), path("pic.bmp")));
    EXPECT_EQ(li->Width(), 7);
    EXPECT_EQ(li->Height(), 5);
    s.form.Compose();
    EXPECT_EQ(s.At(30, 30), clBtnFace);
}

// ---------------------------------------------------------------- mouse and keys

namespace {

// Every mouse event of the watched controls as a line: "<name> <event> [button] [x,y]".
struct TEventLog {
    std::vector<std::string> lines;
    void Watch(TControl& c) {
        c.OnMouseDown = [this](TControl& who, TMouseButton b, TShiftState, int x, int y) {
            Add(who, "down " + ButtonName(b), x, y);
        };
        c.OnMouseUp = [this](TControl& who, TMouseButton b, TShiftState, int x, int y) {
            Add(who, "up " + ButtonName(b), x, y);
        };
        c.OnMouseMove = [this](TControl& who, TShiftState, int x, int y) {
            Add(who, "move", x, y);
        };
        c.OnClick = [this](TControl& who) { lines.push_back(NameOf(who) + " click"); };
    }
    static std::string NameOf(const TControl& c) { return c.Name().empty() ? "form" : c.Name(); }
    static std::string ButtonName(TMouseButton b) {
        return b == TMouseButton::Left ? "L" : b == TMouseButton::Right ? "R" : "M";
    }
    void Add(const TControl& who, const std::string& what, int x, int y) {
        lines.push_back(NameOf(who) + " " + what + " " + std::to_string(x) + "," +
                        std::to_string(y));
    }
    std::vector<std::string> Take() { return std::exchange(lines, {}); }
};

using TLines = std::vector<std::string>;

TShiftState Held(bool left, bool right = false) {
    TShiftState s;
    s.left = left;
    s.right = right;
    return s;
}

}  // namespace

TEST(MouseDispatch, TopmostShowingControlInItsOwnCoordinates) {
    TScreen s(100, 80);
    TPanel* panel = s.form.Add<TPanel>("panel", 10, 10, 50, 40, kNavy, false);
    TImage* image = panel->Add<TImage>("image", 5, 5, 20, 20);
    TPaintBox* box = panel->Add<TPaintBox>("box", 0, 0, 30, 30);
    TPanel* sticking = panel->Add<TPanel>("sticking", 45, 30, 20, 20, kGreen, false);
    TEventLog log;
    for (TControl* c : std::vector<TControl*>{&s.form, panel, image, box, sticking}) log.Watch(*c);

    // A click on the paint box over the image goes to the paint box.
    s.form.MouseMove(20, 20, {});
    s.form.MouseDown(20, 20, TMouseButton::Left, Held(true));
    s.form.MouseUp(20, 20, TMouseButton::Left, Held(false));
    EXPECT_EQ(log.Take(),
              (TLines{"box move 10,10", "box down L 10,10", "box click", "box up L 10,10"}));

    // With the paint box hidden the image gets it, in its own coordinates.
    box->Hide();
    s.form.MouseDown(20, 20, TMouseButton::Left, Held(true));
    s.form.MouseUp(20, 20, TMouseButton::Left, Held(false));
    EXPECT_EQ(log.Take(), (TLines{"image down L 5,5", "image click", "image up L 5,5"}));

    // The panel's own area, the window around it, and the edges.
    s.form.MouseMove(59, 49, {});  // the panel's last pixel, under the child sticking out
    s.form.MouseMove(40, 12, {});
    s.form.MouseMove(60, 12, {});
    s.form.MouseMove(99, 79, {});
    EXPECT_EQ(log.Take(), (TLines{"sticking move 4,9", "panel move 30,2", "form move 60,12",
                                  "form move 99,79"}));

    // The part of a child outside its parent cannot be hit; nothing outside the window can.
    s.form.MouseMove(62, 45, {});
    s.form.MouseMove(100, 5, {});
    s.form.MouseMove(-1, 5, {});
    EXPECT_EQ(log.Take(), (TLines{"form move 62,45"}));

    // A hidden parent hides its children from the mouse too.
    panel->Hide();
    s.form.MouseMove(12, 12, {});
    EXPECT_EQ(log.Take(), (TLines{"form move 12,12"}));
}

TEST(MouseDispatch, DragStaysWithTheControlItStartedOn) {
    TScreen s(100, 80);
    TPaintBox* a = s.form.Add<TPaintBox>("a", 10, 10, 20, 20);
    TPaintBox* b = s.form.Add<TPaintBox>("b", 50, 10, 20, 20);
    TEventLog log;
    log.Watch(*a);
    log.Watch(*b);
    log.Watch(s.form);

    s.form.MouseDown(15, 15, TMouseButton::Left, Held(true));
    s.form.MouseMove(55, 12, Held(true));                     // over b
    s.form.MouseMove(2, 3, Held(true));                       // left of and above a
    s.form.MouseUp(60, 15, TMouseButton::Left, Held(false));  // released over b: no click
    s.form.MouseMove(60, 15, {});                             // free again
    EXPECT_EQ(log.Take(), (TLines{"a down L 5,5", "a move 45,2", "a move -8,-7", "a up L 50,5",
                                  "b move 10,5"}));

    // Dragged out and back in, released inside: a click.
    s.form.MouseDown(15, 15, TMouseButton::Left, Held(true));
    s.form.MouseMove(90, 70, Held(true));
    s.form.MouseUp(29, 29, TMouseButton::Left, Held(false));
    EXPECT_EQ(log.Take(), (TLines{"a down L 5,5", "a move 80,60", "a click", "a up L 19,19"}));

    // The right button reports down and up but no click.
    s.form.MouseDown(55, 15, TMouseButton::Right, Held(false, true));
    s.form.MouseUp(55, 15, TMouseButton::Right, Held(false, false));
    EXPECT_EQ(log.Take(), (TLines{"b down R 5,5", "b up R 5,5"}));

    // While another button is still held, the drag goes on.
    s.form.MouseDown(15, 15, TMouseButton::Left, Held(true));
    s.form.MouseDown(55, 15, TMouseButton::Right, Held(true, true));
    s.form.MouseUp(55, 15, TMouseButton::Right, Held(true, false));
    s.form.MouseMove(56, 15, Held(true));
    s.form.MouseUp(56, 15, TMouseButton::Left, Held(false));
    s.form.MouseMove(56, 15, {});
    EXPECT_EQ(log.Take(), (TLines{"a down L 5,5", "a down R 45,5", "a up R 45,5", "a move 46,5",
                                  "a up L 46,5", "b move 6,5"}));
}

TEST(MouseDispatch, AHiddenControlLetsGoOfTheMouse) {
    TScreen s(100, 80);
    TPaintBox* a = s.form.Add<TPaintBox>("a", 10, 10, 20, 20);
    TPanel* panel = s.form.Add<TPanel>("panel", 50, 10, 40, 40, kNavy, false);
    TPaintBox* inner = panel->Add<TPaintBox>("inner", 0, 0, 20, 20);
    TEventLog log;
    for (TControl* c : std::vector<TControl*>{&s.form, a, panel, inner}) log.Watch(*c);

    // The press hides its control: moves, other presses and the releases go where the pointer
    // is, and the release of the lost press is no click there.
    s.form.MouseDown(15, 15, TMouseButton::Left, Held(true));
    a->Hide();
    s.form.MouseMove(16, 15, Held(true));
    s.form.MouseMove(55, 15, Held(true));
    s.form.MouseDown(55, 15, TMouseButton::Right, Held(true, true));
    s.form.MouseUp(55, 15, TMouseButton::Right, Held(true, false));
    s.form.MouseUp(56, 15, TMouseButton::Left, Held(false));
    EXPECT_EQ(log.Take(), (TLines{"a down L 5,5", "form move 16,15", "inner move 5,5",
                                  "inner down R 5,5", "inner up R 5,5", "inner up L 6,5"}));
    // Shown again, it has not got the mouse back.
    a->Show();
    s.form.MouseMove(56, 15, {});
    EXPECT_EQ(log.Take(), (TLines{"inner move 6,5"}));

    // A control inside a hidden panel is not showing either; released over the window, the
    // press is lost, and the next press is a click as usual.
    s.form.MouseDown(55, 15, TMouseButton::Left, Held(true));
    panel->Hide();
    s.form.MouseUp(55, 15, TMouseButton::Left, Held(false));
    s.form.MouseDown(20, 20, TMouseButton::Left, Held(true));
    s.form.MouseUp(20, 20, TMouseButton::Left, Held(false));
    EXPECT_EQ(log.Take(), (TLines{"inner down L 5,5", "form up L 55,15", "a down L 10,10",
                                  "a click", "a up L 10,10"}));
}

TEST(MouseDispatch, ShiftStateAndKeys) {
    TScreen s;
    TPaintBox* box = s.form.Add<TPaintBox>("box", 0, 0, 10, 10);
    TShiftState seen;
    box->OnMouseDown = [&](TControl&, TMouseButton, TShiftState shift, int, int) { seen = shift; };
    TShiftState sent = Held(true);
    sent.ctrl = true;
    sent.shift = true;
    s.form.MouseDown(1, 1, TMouseButton::Left, sent);
    EXPECT_TRUE(seen.ctrl && seen.shift && seen.left && !seen.alt && !seen.right);

    std::string keys;
    s.form.KeyPress('x');  // nobody listening yet
    s.form.OnKeyPress = [&](char& key) { keys += key; };
    s.form.KeyPress('a');
    s.form.KeyPress(' ');
    s.form.KeyPress('\r');
    EXPECT_EQ(keys, "a \r");
}
