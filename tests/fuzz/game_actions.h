// The player's actions of the game fuzz target, one opcode byte each followed by its operands,
// and a writer for scripted games in that form.
#pragma once

#include <cstdint>
#include <string>

enum TGameAction : uint8_t {
    kActMove = 0,       // x, y: two bytes each, little-endian
    kActDown = 1,       // button, x, y
    kActUp = 2,         // button, x, y
    kActClickTile = 3,  // tile x, tile y (each taken modulo 20)
    kActClickNear = 4,  // dx, dy: signed bytes from the last click
    kActKey = 5,        // the character
    kActTicks = 6,      // n: 1 + the byte
    kActAdvance = 7,    // ms: two bytes
    kActStart = 8,      // the splash click
    kActClick = 9,      // x, y: two bytes each
    kActionCount = 10,
};

// The playfield's top-left pixel in the window, and the centre of a tile's first pixel.
constexpr int kFieldLeft = 9, kFieldTop = 9;

// A scripted game: a settings file and a stream of actions.
class TGameScript {
public:
    explicit TGameScript(const std::string& settings) {
        bytes_ += char(settings.size() & 0xFF);
        bytes_ += char(settings.size() >> 8);
        bytes_ += settings;
    }
    TGameScript& Op(TGameAction a) { return Byte(a); }
    TGameScript& Byte(int b) {
        bytes_ += char(b);
        return *this;
    }
    TGameScript& Word(int w) { return Byte(w & 0xFF).Byte(w >> 8); }
    TGameScript& Move(int x, int y) { return Op(kActMove).Word(x).Word(y); }
    TGameScript& Click(int x, int y) { return Op(kActClick).Word(x).Word(y); }
    TGameScript& ClickTile(int x, int y) { return Op(kActClickTile).Byte(x).Byte(y); }
    TGameScript& ClickNear(int dx, int dy) { return Op(kActClickNear).Byte(dx).Byte(dy); }
    TGameScript& Key(char c) { return Op(kActKey).Byte(c); }
    TGameScript& Ticks(int n) { return Op(kActTicks).Byte(n - 1); }
    TGameScript& Advance(int ms) { return Op(kActAdvance).Word(ms); }
    TGameScript& Start() { return Op(kActStart); }
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
};
