#include "cli/figure_render.h"

#include <new>
#include <vector>

#include "cli/headless_context.h"
#include "model/creature.h"
#include "resources/templates.h"
#include "ui/dialog_template.h"
#include "ui/message_sink.h"
#include "view/creature_view.h"

namespace cli {
namespace {

std::string SizeText(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

}  // namespace

int ViewPixelWidth() { return ui::DialogUnitsToPixelsX(resources::ViewTemplate().width); }

int ViewPixelHeight() { return ui::DialogUnitsToPixelsY(resources::ViewTemplate().height); }

int MaxRenderSize() { return HeadlessMaxSize(); }

bool RenderPicture(const model::Creature& creature, const RenderSettings& settings, Picture& picture,
                   std::string& error) {
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
        // Each thread fills its own buffers and draws in its own context,
        // so pictures are made in parallel.
        view.DrawFrame();
        std::vector<unsigned char> rgb;
        if (!gl.ReadRgb(rgb)) {
            error = gl.Error();
            return false;
        }
        picture.width = width;
        picture.height = height;
        picture.rgb = std::move(rgb);
        return true;
    } catch (const std::bad_alloc&) {
        error = "not enough memory for a picture of " + SizeText(width, height);
        return false;
    }
}

}  // namespace cli
