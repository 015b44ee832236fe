// BMP decoding through SDL's loader, which reads every bit depth, palettes, bit fields and RLE.
#include <SDL2/SDL.h>

#include <cstring>

#include "shell/toolkit/picture.h"

bool DecodeBmpWithLibrary(const uint8_t* data, size_t size, TPicture& out) {
    if (size == 0 || size > size_t(INT32_MAX)) return false;
    SDL_RWops* rw = SDL_RWFromConstMem(data, int(size));
    if (!rw) return false;
    SDL_Surface* loaded = SDL_LoadBMP_RW(rw, 1);
    if (!loaded) return false;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!argb) return false;
    out.SetSize(argb->w, argb->h);
    if (!out.Empty()) {
        TColor32* dst = out.MutableBits();
        for (int y = 0; y < argb->h; ++y)
            std::memcpy(dst + size_t(y) * argb->w,
                        static_cast<const uint8_t*>(argb->pixels) + size_t(y) * argb->pitch,
                        size_t(argb->w) * 4);
    }
    SDL_FreeSurface(argb);
    return true;
}
