// The digit counters of the side panel: score, scrap and signs, drawn as rows of glyph
// pictures rather than in a font.
#include <cstdint>

#include "core/form1.h"

void TForm1::DrawCounter(TLayeredImage& image, const std::string& text) {
    image.Bitmap().Clear(Color32(255, 255, 255));
    for (int i = image.LayerCount() - 1; i >= 0; --i) image.Layer(i).Free();
    image.BeginUpdate();
    float x = 0;
    for (char c : text) {
        // Digits have their glyphs, "/" follows the nine; anything else shows as a zero.
        int glyph = sprDigit[0];
        if (c >= '0' && c <= '9') glyph += c - '0';
        if (c == '/') glyph += 10;
        const TPicture& picture = CataloguePicture(glyph);
        TBitmapLayer& layer = image.AddLayer();
        layer.Bitmap().Assign(picture);
        layer.Bitmap().SetDrawMode(TDrawMode::Opaque);
        layer.SetLocation({x, 0, x + float(picture.Width()), float(picture.Height())});
        x += float(picture.Width());
    }
    image.EndUpdate();
}

void TForm1::DrawSignCounter() {
    shownSignCount = int(lstSigns.size());
    // Worked out in 64 bits: many bots times a large MAX_SIGN passes the range of an int.
    const int64_t limit = int64_t(lstBots.size()) * settings.MAX_SIGN;
    DrawCounter(*imSignsCt, std::to_string(shownSignCount) + "/" + std::to_string(limit));
}
