#include "osmesa_context.h"

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <algorithm>

// OSMesa keeps the framebuffers it makes for OSMesaMakeCurrent in a list of
// its own that nothing frees; that is no fault of ours, so the leak checker
// of the sanitizer build is told to let it be.
extern "C" const char* __lsan_default_suppressions() { return "leak:libOSMesa.so\n"; }

namespace testgl {

struct OsMesaContext::Impl {
    OSMesaContext context = nullptr;
    std::vector<std::uint8_t> buffer;
};

OsMesaContext::OsMesaContext(int width, int height)
    : impl_(std::make_unique<Impl>()), width_(std::max(width, 1)), height_(std::max(height, 1)) {
    impl_->context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    impl_->buffer.assign(4 * static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
    MakeCurrent();
}

OsMesaContext::~OsMesaContext() {
    if (impl_->context != nullptr) {
        OSMesaDestroyContext(impl_->context);
    }
}

bool OsMesaContext::MakeCurrent() {
    current_ = impl_->context != nullptr &&
               OSMesaMakeCurrent(impl_->context, impl_->buffer.data(), GL_UNSIGNED_BYTE, width_,
                                 height_) == GL_TRUE;
    return current_;
}

std::vector<Pixel> OsMesaContext::ReadPixels() const {
    std::vector<Pixel> pixels(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
    if (!current_) {
        return pixels;
    }
    glFinish();
    // The buffer's first row is the bottom of the picture.
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* row =
            impl_->buffer.data() + 4 * static_cast<std::size_t>(height_ - 1 - y) * width_;
        for (int x = 0; x < width_; ++x) {
            const std::uint8_t* p = row + 4 * static_cast<std::size_t>(x);
            pixels[static_cast<std::size_t>(y) * width_ + x] = Pixel{p[0], p[1], p[2], p[3]};
        }
    }
    return pixels;
}

Pixel OsMesaContext::PixelAt(int x, int y) const {
    if (!current_ || x < 0 || y < 0 || x >= width_ || y >= height_) {
        return Pixel{};
    }
    glFinish();
    const std::uint8_t* p =
        impl_->buffer.data() + 4 * (static_cast<std::size_t>(height_ - 1 - y) * width_ + x);
    return Pixel{p[0], p[1], p[2], p[3]};
}

}  // namespace testgl
