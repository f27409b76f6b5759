// OsMesaContext: an off-screen OpenGL context (RGBA, 24-bit depth) of a given
// size, current while the object lives, for tests that render and read back
// pixels. Only one is current at a time; the last one made wins.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace testgl {

struct Pixel {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;
    bool operator==(const Pixel&) const = default;
};

class OsMesaContext {
public:
    OsMesaContext(int width, int height);
    ~OsMesaContext();
    OsMesaContext(const OsMesaContext&) = delete;
    OsMesaContext& operator=(const OsMesaContext&) = delete;

    // False when the context could not be created or made current.
    bool IsCurrent() const { return current_; }
    bool MakeCurrent();
    int Width() const { return width_; }
    int Height() const { return height_; }

    // The finished frame, row by row from the top, RGBA.
    std::vector<Pixel> ReadPixels() const;
    // One pixel of the finished frame; x to the right, y downward from the
    // top-left corner, as window positions are counted.
    Pixel PixelAt(int x, int y) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int width_;
    int height_;
    bool current_ = false;
};

}  // namespace testgl
