// BMP decoding through SDL's loader, which reads every bit depth, palettes, bit fields and RLE.
#include "platform/sdl/sdl_bmp.h"

#include <SDL2/SDL.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/native.h"

bool DecodeBmpWithSdl(const uint8_t* data, size_t size, TPicture& out) {
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

namespace {

class TSdlFiles : public IFiles {
public:
    bool IsFile(const std::string& path) override { return NativeFiles().IsFile(path); }
    std::optional<std::string> Read(const std::string& path, size_t maxBytes,
                                    bool* whole) override {
        return NativeFiles().Read(path, maxBytes, whole);
    }
    int Write(const std::string& path, std::string_view bytes, bool makeFolder) override {
        return NativeFiles().Write(path, bytes, makeFolder);
    }
    std::unique_ptr<IFileOut> CreateNew(const std::string& path, int& error) override {
        return NativeFiles().CreateNew(path, error);
    }
    bool InUse(const std::string& path) override { return NativeFiles().InUse(path); }
    int Rename(const std::string& from, const std::string& to) override {
        return NativeFiles().Rename(from, to);
    }
    int Replace(const std::string& path, std::string_view bytes, bool makeFolder) override {
        return NativeFiles().Replace(path, bytes, makeFolder);
    }
    int Remove(const std::string& path) override { return NativeFiles().Remove(path); }
    TBmpDecoder BmpDecoder() override { return DecodeBmpWithSdl; }
};

}  // namespace

IFiles& SdlFiles() {
    static TSdlFiles files;
    return files;
}
