#include "cli/figure_render.h"

#include <algorithm>
#include <mutex>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

#include "cli/headless_context.h"
#include "model/creature.h"
#include "resources/templates.h"
#include "ui/dialog_template.h"
#include "ui/message_sink.h"
#include "view/camera.h"
#include "view/creature_view.h"

namespace cli {
namespace {

std::string SizeText(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

// Window depth (0 … 1) back to the distance along the view axis in eye
// space, undoing the perspective projection between the near and far planes.
double EyeDistance(double windowDepth) {
    const double n = view::kNearPlane;
    const double f = view::kFarPlane;
    return 2.0 * n * f / ((f + n) - (2.0 * windowDepth - 1.0) * (f - n));
}

// The depth of a covered pixel in kDepthUnit steps of model units: the eye
// space is the model scaled by the zoom.
std::uint16_t DepthSteps(std::uint32_t packed, double zoom) {
    constexpr double kPackedOne = 4294967295.0;  // window depth 1, packed as unsigned
    const double model = EyeDistance(static_cast<double>(packed) / kPackedOne) / zoom;
    const double steps = std::round(model / kDepthUnit);
    // A covered pixel is at least one step away; the last step stands for
    // anything farther.
    return static_cast<std::uint16_t>(steps >= 65535.0 ? 65535.0 : steps >= 1.0 ? steps : 1.0);
}

// The labels of the frame just drawn: the mask from its alpha, where every
// part wrote its label, the depth from its depth buffer, 0 wherever the mask
// shows background.
bool ReadLabels(const view::CreatureView& view, HeadlessContext& gl, const LabelRequest& request,
                LabelPictures& labels, std::string& error) {
    std::vector<unsigned char> mask;
    if (!gl.ReadAlpha(mask)) {
        error = gl.Error();
        return false;
    }
    if (request.depth) {
        // Only the rectangle the figure covers is read back: reading depth
        // costs more than drawing the picture.
        const int width = labels.width;
        const int height = labels.height;
        int left = width, right = -1, top = height, bottom = -1;
        for (int y = 0; y < height; ++y) {
            const unsigned char* row = mask.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
            for (int x = 0; x < width; ++x) {
                if (row[x] == 0) continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = y;
            }
        }
        labels.depth.assign(mask.size(), 0);
        std::vector<std::uint32_t> packed;
        const int columns = right - left + 1;
        if (right >= 0 && !gl.ReadDepth(left, top, columns, bottom - top + 1, packed)) {
            error = gl.Error();
            return false;
        }
        const double zoom = std::fabs(static_cast<double>(view.state.zoom));
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) {
                const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                       static_cast<std::size_t>(x);
                if (mask[at] == 0) continue;
                labels.depth[at] = DepthSteps(packed[static_cast<std::size_t>(y - top) * static_cast<std::size_t>(columns) +
                                                     static_cast<std::size_t>(x - left)],
                                              zoom);
            }
        }
    }
    if (request.mask) labels.mask = std::move(mask);
    return true;
}

// Every picture allocates buffers of a few hundred kilobytes: the frame,
// its labels, and OpenGL's own copy of the depth buffer as it is read.
// glibc hands such sizes out as fresh mappings whose pages fault in again
// for every figure, which costs as much as drawing it; a run of pictures
// keeps them in the heap instead.
void KeepPictureBuffersInHeap() {
#ifdef __GLIBC__
    static std::once_flag once;
    std::call_once(once, [] {
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
        mallopt(M_TRIM_THRESHOLD, 64 << 20);
    });
#endif
}

}  // namespace

int ViewPixelWidth() { return ui::DialogUnitsToPixelsX(resources::ViewTemplate().width); }

int ViewPixelHeight() { return ui::DialogUnitsToPixelsY(resources::ViewTemplate().height); }

int MaxRenderSize() { return HeadlessMaxSize(); }

bool RenderPicture(const model::Creature& creature, const RenderSettings& settings, Picture& picture,
                   std::string& error) {
    LabelPictures none;
    return RenderPicture(creature, settings, picture, LabelRequest{}, none, error);
}

bool RenderPicture(const model::Creature& creature, const RenderSettings& settings, Picture& picture,
                   const LabelRequest& request, LabelPictures& labels, std::string& error) {
    const int width = settings.width == 0 ? ViewPixelWidth() : settings.width;
    const int height = settings.height == 0 ? ViewPixelHeight() : settings.height;
    const int largest = MaxRenderSize();
    if (largest == 0) {
        error = "no off-screen OpenGL context could be made";
        return false;
    }
    if (width < 1 || height < 1 || width > largest || height > largest) {
        error = "a picture of " + SizeText(width, height) + " cannot be made: width and height must be 1 to " +
                std::to_string(largest);
        return false;
    }
    KeepPictureBuffersInHeap();
    try {
        HeadlessContext gl(width, height);
        if (!gl.IsCurrent()) {
            error = gl.Error();
            return false;
        }
        // The view reports only a failed context setup, which a headless
        // context that is current never gives it.
        ui::SilentSink messages;
        view::CreatureView view(messages);
        // The view as the program sets it up: created, its context ready,
        // sized, then given the figure and how to show it.
        view.OnCreate();
        view.OnGlInit(ui::GlStatus::Ok);
        view.OnSize(width, height);
        view.creature = &creature;
        view.state = settings.view;
        // The labels come with the picture itself, in its alpha and depth:
        // no second drawing, and exactly the picture's pixels.
        view.labelsInAlpha = request.mask || request.depth;
        // Each thread fills its own buffers and draws in its own context,
        // so pictures are made in parallel.
        view.DrawFrame();
        std::vector<unsigned char> rgb;
        if (!gl.ReadRgb(rgb)) {
            error = gl.Error();
            return false;
        }
        LabelPictures drawn{width, height, {}, {}};
        if (view.labelsInAlpha && !ReadLabels(view, gl, request, drawn, error)) {
            return false;
        }
        picture.width = width;
        picture.height = height;
        picture.rgb = std::move(rgb);
        labels = std::move(drawn);
        return true;
    } catch (const std::bad_alloc&) {
        error = "not enough memory for a picture of " + SizeText(width, height);
        return false;
    }
}

}  // namespace cli
