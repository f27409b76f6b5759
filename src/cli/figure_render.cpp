#include "cli/figure_render.h"

#include <cstdint>
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

// The view reports only a failed context setup, which a headless context
// that is current never gives it.
// The creature's fields a picture changes, put back when it is done.
class KeptFields {
public:
    explicit KeptFields(model::Creature& creature)
        : creature_(creature),
          yaw_(creature.yaw),
          pitch_(creature.pitch),
          drawMode_(creature.drawMode),
          lightLevel_(creature.lightLevel) {
        for (int c = 0; c < 3; ++c) wireColor_[c] = creature.wireColor[c];
        for (std::int32_t i = 0; i < creature.parts.Count(); ++i) {
            if (const model::MeshObject* part = creature.PartAt(i)) selected_.push_back(part->selected);
        }
    }
    ~KeptFields() {
        creature_.yaw = yaw_;
        creature_.pitch = pitch_;
        creature_.drawMode = drawMode_;
        creature_.lightLevel = lightLevel_;
        for (int c = 0; c < 3; ++c) creature_.wireColor[c] = wireColor_[c];
        std::size_t next = 0;
        for (std::int32_t i = 0; i < creature_.parts.Count() && next < selected_.size(); ++i) {
            if (model::MeshObject* part = creature_.PartAt(i)) part->selected = selected_[next++];
        }
    }
    KeptFields(const KeptFields&) = delete;
    KeptFields& operator=(const KeptFields&) = delete;

private:
    model::Creature& creature_;
    float yaw_;
    float pitch_;
    std::int32_t drawMode_;
    float lightLevel_;
    float wireColor_[3];
    std::vector<std::uint8_t> selected_;
};

std::string SizeText(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

}  // namespace

int ViewPixelWidth() { return ui::DialogUnitsToPixelsX(resources::ViewTemplate().width); }

int ViewPixelHeight() { return ui::DialogUnitsToPixelsY(resources::ViewTemplate().height); }

int MaxRenderSize() { return HeadlessMaxSize(); }

bool RenderPicture(model::Creature& creature, const RenderSettings& settings, Picture& picture,
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
        ui::SilentSink messages;
        view::CreatureView view(messages);
        // The view as the program sets it up: created, its context ready,
        // sized, then given the figure, the zoom and the colour.
        view.OnCreate();
        view.OnGlInit(ui::GlStatus::Ok);
        view.OnSize(width, height);
        view.creature = &creature;
        view.zoom = settings.zoom;
        for (int c = 0; c < 3; ++c) view.backgroundColor[c] = settings.background[c];
        {
            KeptFields kept(creature);
            creature.yaw = settings.yaw;
            creature.pitch = settings.pitch;
            creature.drawMode = settings.drawMode;
            creature.lightLevel = settings.lightLevel;
            for (int c = 0; c < 3; ++c) creature.wireColor[c] = settings.wire[c];
            if (settings.selectPanelIndex >= 0) {
                creature.SelectPart(settings.selectPanelIndex);
            } else {
                creature.ClearSelection();
            }
            // Each thread fills its own quad batch and draws in its own
            // context, so pictures are made in parallel.
            view.DrawFrame();
        }
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
