#include "cli/headless_context.h"

#include <GL/osmesa.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

// OSMesa keeps allocations of its own to the end of the process (a few from
// its first context, every context's framebuffer); the leak checker of the
// sanitizer build is told that they are none of ours, and not to list the
// suppression on standard error, which belongs to the command's messages.
#if defined(__SANITIZE_ADDRESS__)
#define MW_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MW_LEAK_CHECKED 1
#endif
#endif
#ifdef MW_LEAK_CHECKED
extern "C" const char* __lsan_default_suppressions() { return "leak:libOSMesa.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif

namespace cli {

struct HeadlessContext::Slot {
    OSMesaContext context = nullptr;
    bool stateSaved = false;            // the initial state is pushed on the attribute stacks
    std::vector<unsigned char> buffer;  // where OSMesa copies the frame, bottom row first
};

namespace {

using Slot = HeadlessContext::Slot;

// A loan that drew more pixels than this gives the frame's memory back
// before the context goes idle.
constexpr std::size_t kKeptPixels = std::size_t{4} << 20;

// The contexts not lent out. The pool lives until the process ends, and
// with it every context made: OSMesa never frees a context's framebuffer,
// so destroying contexts would only trade them for a leak.
struct Pool {
    std::mutex mutex;
    std::vector<Slot*> idle;
};

Pool& ThePool() {
    static Pool* const pool = new Pool;
    return *pool;
}

Slot* Borrow(std::string& error) {
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> lock(pool.mutex);
    if (!pool.idle.empty()) {
        Slot* slot = pool.idle.back();
        pool.idle.pop_back();
        return slot;
    }
    // Made under the pool's lock: contexts are made rarely, and the first
    // one sets up the screen every context shares.
    auto slot = std::make_unique<Slot>();
    slot->context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    if (slot->context == nullptr) {
        error = "no off-screen OpenGL context could be made";
        return nullptr;
    }
    return slot.release();
}

void GiveBack(Slot* slot) {
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> lock(pool.mutex);
    pool.idle.push_back(slot);
}

}  // namespace

HeadlessContext::HeadlessContext(int width, int height) : width_(width), height_(height) {
    if (width < 1 || height < 1) {
        error_ = "a picture needs a width and a height of at least 1";
        return;
    }
    Slot* slot = Borrow(error_);
    if (slot == nullptr) {
        return;
    }
    if (OSMesaContext current = OSMesaGetCurrentContext()) {
        GLint w = 0;
        GLint h = 0;
        GLint format = 0;
        void* buffer = nullptr;
        if (OSMesaGetColorBuffer(current, &w, &h, &format, &buffer) == GL_TRUE) {
            GLint type = GL_UNSIGNED_BYTE;
            OSMesaGetIntegerv(OSMESA_TYPE, &type);
            previous_ = Previous{current, buffer, w, h, static_cast<unsigned>(type)};
        }
    }
    try {
        slot->buffer.resize(4 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        GiveBack(slot);
        error_ = "not enough memory for a picture of " + std::to_string(width) + "x" + std::to_string(height);
        return;
    }
    if (OSMesaMakeCurrent(slot->context, slot->buffer.data(), GL_UNSIGNED_BYTE, width, height) != GL_TRUE) {
        GiveBack(slot);
        error_ = "the off-screen OpenGL context could not be made current";
        if (previous_.context != nullptr) {
            OSMesaMakeCurrent(static_cast<OSMesaContext>(previous_.context), previous_.buffer, previous_.type,
                              previous_.width, previous_.height);
        }
        return;
    }
    if (!slot->stateSaved) {
        // A context's initial state, kept to start every later loan from.
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
        slot->stateSaved = true;
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    slot_ = slot;
}

HeadlessContext::~HeadlessContext() {
    if (slot_ == nullptr) {
        return;
    }
    // Back to the initial state (the matrices are loaded by whoever draws).
    glPopClientAttrib();
    glPopAttrib();
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    if (static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) > kKeptPixels) {
        // Rebinding at 1 × 1 lets OSMesa and the driver drop the large frame;
        // ours goes once the context no longer points at it.
        std::vector<unsigned char> small(4, 0);
        OSMesaMakeCurrent(slot_->context, small.data(), GL_UNSIGNED_BYTE, 1, 1);
        slot_->buffer.swap(small);
    }
    if (previous_.context != nullptr) {
        OSMesaMakeCurrent(static_cast<OSMesaContext>(previous_.context), previous_.buffer, previous_.type,
                          previous_.width, previous_.height);
    } else {
        OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
    }
    GiveBack(slot_);
}

bool HeadlessContext::FinishDrawing() {
    if (slot_ == nullptr) {
        return false;
    }
    glFinish();
    bool outOfMemory = false;
    for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError()) {
        outOfMemory = outOfMemory || e == GL_OUT_OF_MEMORY;
    }
    if (outOfMemory) {
        error_ = "OpenGL ran out of memory for a picture of " + std::to_string(width_) + "x" +
                 std::to_string(height_);
        return false;
    }
    return true;
}

bool HeadlessContext::ReadRgb(std::vector<unsigned char>& rgb) {
    if (!FinishDrawing()) {
        return false;
    }
    const std::size_t width = static_cast<std::size_t>(width_);
    const std::size_t height = static_cast<std::size_t>(height_);
    rgb.resize(3 * width * height);
    for (std::size_t y = 0; y < height; ++y) {
        const unsigned char* from = slot_->buffer.data() + 4 * width * (height - 1 - y);
        unsigned char* to = rgb.data() + 3 * width * y;
        for (std::size_t x = 0; x < width; ++x) {
            std::memcpy(to + 3 * x, from + 4 * x, 3);
        }
    }
    return true;
}

bool HeadlessContext::ReadAlpha(std::vector<unsigned char>& alpha) {
    if (!FinishDrawing()) {
        return false;
    }
    const std::size_t width = static_cast<std::size_t>(width_);
    const std::size_t height = static_cast<std::size_t>(height_);
    alpha.resize(width * height);
    for (std::size_t y = 0; y < height; ++y) {
        const unsigned char* from = slot_->buffer.data() + 4 * width * (height - 1 - y);
        unsigned char* to = alpha.data() + width * y;
        for (std::size_t x = 0; x < width; ++x) {
            to[x] = from[4 * x + 3];
        }
    }
    return true;
}

bool HeadlessContext::ReadDepth(int x, int y, int width, int height, std::vector<std::uint32_t>& depth) {
    if (!FinishDrawing()) {
        return false;
    }
    if (x < 0 || y < 0 || width < 0 || height < 0 || x + width > width_ || y + height > height_) {
        error_ = "a depth rectangle outside the picture";
        return false;
    }
    const std::size_t columns = static_cast<std::size_t>(width);
    const std::size_t rows = static_cast<std::size_t>(height);
    depth.resize(columns * rows);
    if (depth.empty()) return true;
    // Rows of 32-bit values are always 4-aligned; OpenGL hands the bottom
    // row first, so it is read upside down and turned afterwards.
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, height_ - y - height, width, height, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, depth.data());
    if (glGetError() != GL_NO_ERROR) {
        error_ = "the depth of a picture of " + std::to_string(width_) + "x" + std::to_string(height_) +
                 " could not be read";
        return false;
    }
    for (std::size_t r = 0; r < rows / 2; ++r) {
        std::swap_ranges(depth.begin() + static_cast<std::ptrdiff_t>(r * columns),
                         depth.begin() + static_cast<std::ptrdiff_t>((r + 1) * columns),
                         depth.begin() + static_cast<std::ptrdiff_t>((rows - 1 - r) * columns));
    }
    return true;
}

int HeadlessMaxSize() {
    static const int size = [] {
        HeadlessContext gl(1, 1);
        if (!gl.IsCurrent()) {
            return 0;
        }
        GLint width = 0;
        GLint height = 0;
        GLint viewport[2] = {0, 0};
        OSMesaGetIntegerv(OSMESA_MAX_WIDTH, &width);
        OSMesaGetIntegerv(OSMESA_MAX_HEIGHT, &height);
        glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
        return static_cast<int>(std::min({width, height, viewport[0], viewport[1]}));
    }();
    return size;
}

}  // namespace cli
