// HeadlessContext: an off-screen OpenGL context (OSMesa, RGBA, 24-bit depth)
// current in the calling thread while the object lives. Contexts are kept in
// a pool and lent to one thread at a time, so threads that render at once
// each draw in a context of their own, and a thread that renders again gets
// a warm one. Every loan starts from OpenGL's initial state, whatever the
// context drew before; the thread's previous context is current again when
// the loan ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cli {

class HeadlessContext {
public:
    HeadlessContext(int width, int height);
    ~HeadlessContext();
    HeadlessContext(const HeadlessContext&) = delete;
    HeadlessContext& operator=(const HeadlessContext&) = delete;

    // False, with Error() saying why, when no context could be made current.
    bool IsCurrent() const { return slot_ != nullptr; }
    const std::string& Error() const { return error_; }

    // Finishes the drawing and reads the frame: three bytes a pixel, rows
    // from the top. False when OpenGL reported an error (out of memory).
    bool ReadRgb(std::vector<unsigned char>& rgb);
    // The same for the alpha channel alone, one byte a pixel.
    bool ReadAlpha(std::vector<unsigned char>& alpha);
    // The depth buffer within a rectangle (x, y its top-left corner, rows
    // counted from the top), rows from the top: window depths 0 … 1 scaled to
    // 0 … 2^32 − 1, as OpenGL packs them as unsigned integers.
    bool ReadDepth(int x, int y, int width, int height, std::vector<std::uint32_t>& depth);

    struct Slot;

private:
    // Finishes the drawing; false, with the error set, when OpenGL ran out
    // of memory on the way.
    bool FinishDrawing();

    struct Previous {
        void* context = nullptr;  // the thread's OSMesa context before the loan
        void* buffer = nullptr;
        int width = 0;
        int height = 0;
        unsigned type = 0;
    };

    Slot* slot_ = nullptr;
    Previous previous_;
    std::string error_;
    int width_;
    int height_;
};

// The largest width or height a context can draw (0 when none can be made).
int HeadlessMaxSize();

}  // namespace cli
