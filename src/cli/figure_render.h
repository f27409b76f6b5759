// Pictures of a figure without a display: the view's own drawing code in a
// headless OpenGL context, read back as RGB and written as PNG.
#pragma once

#include <string>
#include <vector>

namespace model {
class Creature;
}

namespace cli {

// What the view would show: its size, the program's start-up camera and
// light, the colours of mw.cfg (set by the caller).
struct RenderSettings {
    int width = 0;  // 0: the view's size
    int height = 0;
    int drawMode = 0;  // 0 smooth, 1 flat, 2 wireframe
    float yaw = 0;     // radians, as the creature holds them
    float pitch = 0;
    float zoom = 1.1f;
    float lightLevel = 0.5f;
    float background[3] = {0, 0, 0};
    float wire[3] = {0.8f, 0.8f, 0.8f};
    int selectPanelIndex = -1;  // the part drawn highlighted; -1 none
};

// Rows from the top, three bytes a pixel.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

// The largest width or height the headless renderer supports.
int MaxRenderSize();

// The view's size in pixels: what a width or height of 0 stands for.
int ViewPixelWidth();
int ViewPixelHeight();

// Draws the creature as the view would, in a context of the calling
// thread's own (several threads may render at once, each its own creature;
// a context already current in the thread is current again afterwards).
// The creature's camera and drawing fields and the parts' selection are set
// from `settings` for the drawing and put back afterwards. False, with
// `error` saying why, when no picture was made.
bool RenderPicture(model::Creature& creature, const RenderSettings& settings, Picture& picture,
                   std::string& error);

// How hard the PNG encoder works: Fast for batches of pictures, Small for
// the smallest files. The pixels are the same either way.
enum class PngCompression { Fast, Small };

// "fast" or "small", in any letter case; false for anything else.
bool ParsePngCompression(const std::string& text, PngCompression& compression);

// Writes the picture as an 8-bit RGB PNG through a temporary file beside
// `path`; false (nothing left behind) when it could not be written.
bool WritePng(const Picture& picture, const std::string& path,
              PngCompression compression = PngCompression::Fast);

}  // namespace cli
