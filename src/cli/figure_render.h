// Pictures of a figure without a display: the view's own drawing code in a
// headless OpenGL context, read back as RGB and written as PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "view/view_state.h"

namespace model {
class Creature;
}

namespace cli {

// What the view would show: its size and how it shows the figure (the
// program's start-up camera and light; the colours of mw.cfg, set by the
// caller).
struct RenderSettings {
    int width = 0;  // 0: the view's size
    int height = 0;
    view::ViewState view;
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

// Labels drawn with the picture, from the same camera: which part each
// pixel shows and how far away it is.
struct LabelRequest {
    bool mask = false;
    bool depth = false;
};

// Depth steps per model unit: depth × kDepthUnit gives model units along
// the view axis (65 535 steps reach 6.5 units, far beyond any figure).
constexpr double kDepthUnit = 1.0 / 10000.0;

struct LabelPictures {
    int width = 0;
    int height = 0;
    // Rows from the top, one value a pixel. The mask: the type id + 1 of the
    // part shown, 0 for the background. The depth: the distance along the
    // view axis from the camera in kDepthUnit steps, 0 for the background.
    std::vector<unsigned char> mask;
    std::vector<std::uint16_t> depth;
};

// Draws the figure as a view in `settings` would, in a context of the
// calling thread's own (several threads may render at once, also the same
// figure; a context already current in the thread is current again
// afterwards). False, with `error` saying why, when no picture was made.
bool RenderPicture(const model::Creature& creature, const RenderSettings& settings, Picture& picture,
                   std::string& error);
// The same, with the labels asked for read from the picture's own frame:
// every part writes its label into the alpha of the pixels it covers, and
// the depth buffer is the picture's.
bool RenderPicture(const model::Creature& creature, const RenderSettings& settings, Picture& picture,
                   const LabelRequest& request, LabelPictures& labels, std::string& error);

// How hard the PNG encoder works: Fast for batches of pictures, Small for
// the smallest files. The pixels are the same either way.
enum class PngCompression { Fast, Small };

// "fast" or "small", in any letter case; false for anything else.
bool ParsePngCompression(const std::string& text, PngCompression& compression);

// Writes the picture as an 8-bit RGB PNG through a temporary file beside
// `path`; false (nothing left behind) when it could not be written.
bool WritePng(const Picture& picture, const std::string& path,
              PngCompression compression = PngCompression::Fast);
// The mask as an 8-bit grey PNG (each value a label: the type id + 1, named
// in the manifest's legend and the help), the depth as a 16-bit grey PNG;
// same rules as WritePng.
bool WriteMaskPng(const LabelPictures& labels, const std::string& path,
                  PngCompression compression = PngCompression::Fast);
bool WriteDepthPng(const LabelPictures& labels, const std::string& path,
                   PngCompression compression = PngCompression::Fast);

}  // namespace cli
