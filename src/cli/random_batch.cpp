#include "cli/random_batch.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <atomic>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <ostream>
#include <sstream>
#include <system_error>
#include <thread>

#include "cli/interruption.h"
#include "cli/keypoints.h"
#include "cli/progress_line.h"
#include "cli/stream_sink.h"
#include "formats/mesh_exports.h"
#include "formats/object_library.h"
#include "formats/project_file.h"
#include "model/creature.h"

namespace cli {
namespace {

// Every line of `text` into `lines`, each behind `prefix`.
void AppendPrefixed(std::string& lines, const std::string& prefix, const std::string& text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines += prefix + ": " + text.substr(start, end - start) + "\n";
        start = end + 1;
    }
}

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

// How the figure's picture is drawn: the run's view, turned, zoomed and
// coloured as the figure's recipe says.
RenderSettings FigureRender(const RandomBatch& batch, const RandomRecipe& recipe) {
    RenderSettings render = batch.render;
    if (recipe.camera) {
        render.view.yaw += static_cast<float>(recipe.camera->yawDegrees * kRadiansPerDegree);
        render.view.pitch += static_cast<float>(recipe.camera->pitchDegrees * kRadiansPerDegree);
        render.view.zoom = static_cast<float>(render.view.zoom * recipe.camera->zoomShare);
    }
    if (recipe.background) {
        for (std::size_t c = 0; c < 3; ++c) render.view.backgroundColor[c] = (*recipe.background)[c];
    }
    return render;
}

// The picture and its labels, drawn once, when the first of their files
// needs them.
class Drawing {
public:
    Drawing(const model::Creature& figure, const RenderSettings& render, const LabelRequest& request)
        : figure_(figure), render_(render), request_(request) {}

    // False, with the reason in `problem`, when nothing could be drawn.
    bool Ready(std::string& problem) {
        if (!tried_) {
            tried_ = true;
            made_ = request_.mask || request_.depth
                        ? RenderPicture(figure_, render_, picture, request_, labels, problem_)
                        : RenderPicture(figure_, render_, picture, problem_);
        }
        if (!made_) problem = problem_;
        return made_;
    }
    view::Camera Camera() const { return view::CameraOf(render_.view, picture.width, picture.height); }

    Picture picture;
    LabelPictures labels;

private:
    const model::Creature& figure_;
    const RenderSettings& render_;
    LabelRequest request_;
    bool tried_ = false;
    bool made_ = false;
    std::string problem_;
};

// Writes one drawn file of the figure; false, with `problem` set when there
// is one to tell, when it was not written.
bool WriteDrawn(FigureFormat format, Drawing& drawing, const RandomBatch& batch, const std::string& path,
                const model::Creature& rest, const model::Pose& pose, std::string& problem) {
    if (!drawing.Ready(problem)) return false;
    bool written = false;
    switch (format.kind) {
        case FigureFormat::Kind::Png: written = WritePng(drawing.picture, path, batch.pngCompression); break;
        case FigureFormat::Kind::Mask: written = WriteMaskPng(drawing.labels, path, batch.pngCompression); break;
        case FigureFormat::Kind::Depth: written = WriteDepthPng(drawing.labels, path, batch.pngCompression); break;
        case FigureFormat::Kind::Keypoints:
            return WriteTextFile(KeypointsJson(rest, pose, batch.objectDir, drawing.Camera(), drawing.labels), path,
                                 problem);
        default: break;
    }
    if (!written) problem = "could not be written";
    return written;
}

}  // namespace

const std::vector<FigureFormat>& FigureFormats() {
    static const std::vector<FigureFormat> all = [] {
        std::vector<FigureFormat> list = {{FigureFormat::Kind::Project}};
        for (const formats::MeshExport& mesh : formats::kMeshExports) list.push_back({FigureFormat::Kind::Mesh, &mesh});
        for (auto kind : {FigureFormat::Kind::Png, FigureFormat::Kind::Mask, FigureFormat::Kind::Depth,
                          FigureFormat::Kind::Keypoints}) {
            list.push_back({kind});
        }
        return list;
    }();
    return all;
}

bool IsLabel(FigureFormat format) {
    return format.kind == FigureFormat::Kind::Mask || format.kind == FigureFormat::Kind::Depth ||
           format.kind == FigureFormat::Kind::Keypoints;
}

bool IsDrawn(FigureFormat format) { return format.kind == FigureFormat::Kind::Png || IsLabel(format); }

const char* NameOf(FigureFormat format) {
    switch (format.kind) {
        case FigureFormat::Kind::Mask: return "mask";
        case FigureFormat::Kind::Depth: return "depth";
        case FigureFormat::Kind::Keypoints: return "keypoints";
        default: return ExtensionOf(format);
    }
}

const char* ExtensionOf(FigureFormat format) {
    switch (format.kind) {
        case FigureFormat::Kind::Project: return "mwp";
        case FigureFormat::Kind::Mesh: return format.mesh->extension + 1;  // past the dot
        case FigureFormat::Kind::Png: return "png";
        case FigureFormat::Kind::Mask: return "mask.png";
        case FigureFormat::Kind::Depth: return "depth.png";
        case FigureFormat::Kind::Keypoints: return "keypoints.json";
    }
    return "";
}

std::string FigurePath(const RandomBatch& batch, std::uint32_t seed, FigureFormat format) {
    const std::string name = "figure-" + std::to_string(seed) + "." + ExtensionOf(format);
    return (std::filesystem::path(batch.outDir) / name).string();
}

FigureOutcome MakeRandomFigure(const RandomBatch& batch, const ObjectLists& lists, std::uint32_t seed,
                               formats::ParsedParts* parsed) {
    FigureOutcome outcome;
    const std::string figureName = "figure-" + std::to_string(seed);
    std::ostringstream boxes;
    StreamSink messages(boxes);
    // Takes the boxes shown since the last call into the figure's lines.
    const auto collect = [&](const std::string& prefix) {
        AppendPrefixed(outcome.lines, prefix, boxes.str());
        boxes.str("");
    };

    model::Creature creature(messages);
    const RandomRecipe recipe = DrawRecipe(seed, lists, batch.deform, batch.deformAmount, batch.symmetric,
                                           batch.poseJitter, batch.cameraJitter, batch.backgroundJitter);
    const int loaded = BuildFigure(recipe, lists, batch.objectDir, creature, parsed);
    collect(figureName);
    if (loaded == 0) {
        outcome.lines += figureName + ": no part could be loaded, nothing written\n";
        return outcome;
    }
    // The project file keeps the rest figure; a posed copy, made once when a
    // file or the picture first needs it, serves the others.
    const model::Pose pose = FigurePose(batch.pose, creature, recipe.jitter ? &*recipe.jitter : nullptr);
    PosedFigure posed(creature, pose);
    // The keypoints need the mask and the depth to tell what is seen.
    LabelRequest request;
    for (FigureFormat f : batch.formats) {
        request.mask = request.mask || f.kind == FigureFormat::Kind::Mask || f.kind == FigureFormat::Kind::Keypoints;
        request.depth = request.depth || f.kind == FigureFormat::Kind::Depth || f.kind == FigureFormat::Kind::Keypoints;
    }
    const RenderSettings render = FigureRender(batch, recipe);
    std::unique_ptr<Drawing> drawing;

    // A part whose file is missing or refused leaves the figure incomplete:
    // its files are written all the same, but it does not count as written.
    int named = 0;
    for (int file : recipe.files) named += file >= 0 ? 1 : 0;
    outcome.written = loaded == named;
    for (FigureFormat format : FigureFormats()) {
        bool wanted = false;
        for (FigureFormat f : batch.formats) wanted = wanted || f == format;
        if (!wanted) continue;
        const std::string path = FigurePath(batch, seed, format);
        std::string problem;
        formats::ExportSettings settings;
        formats::ExportCleanup cleanup;
        bool written = false;
        switch (format.kind) {
            case FigureFormat::Kind::Project:
                written = formats::SaveProject(creature, path, batch.objectDir, messages);
                break;
            case FigureFormat::Kind::Png:
            case FigureFormat::Kind::Mask:
            case FigureFormat::Kind::Depth:
            case FigureFormat::Kind::Keypoints:
                if (drawing == nullptr) drawing = std::make_unique<Drawing>(posed.Posed(), render, request);
                written = WriteDrawn(format, *drawing, batch, path, creature, pose, problem);
                break;
            case FigureFormat::Kind::Mesh:
                settings.metresPerUnit = batch.metresPerUnit;
                settings.cleanup = &cleanup;
                cleanup = {};
                settings.pose = posed.PoseForMesh(*format.mesh);
                written = format.mesh->write(posed.ForMesh(*format.mesh), path, messages, settings);
                break;
        }
        const std::string fileName = figureName + "." + ExtensionOf(format);
        collect(fileName);
        if (written && batch.verbose && settings.cleanup != nullptr) {
            outcome.lines += fileName + ": " + std::to_string(cleanup.droppedTriangles) +
                             " triangles without area left out, " + std::to_string(cleanup.mergedPoints) +
                             " coincident points merged\n";
        }
        if (!problem.empty()) AppendPrefixed(outcome.lines, fileName, problem);
        outcome.written = outcome.written && written;
    }
    return outcome;
}

BatchResult RunRandomBatch(const RandomBatch& batch, const ObjectLists& lists, std::ostream& err,
                           ProgressLine& progress) {
    std::mutex mutex;
    std::condition_variable finished;
    std::map<std::uint64_t, FigureOutcome> waiting;  // finished, not yet reported
    std::atomic<std::uint64_t> next{0};
    std::atomic<std::uint64_t> done{0};

    std::atomic<std::uint64_t> running{0};  // workers not yet ended
    // Every object file is read once for the whole run; the figures copy
    // their parts from what was read.
    formats::ParsedParts parsed;

    // Figures are taken in seed order; each depends on its seed alone. Once
    // the run is interrupted no further figure is started; those under way
    // are finished, so that every file left is complete.
    const auto work = [&] {
        for (std::uint64_t i = next++; i < batch.count && InterruptingSignal() == 0; i = next++) {
            const auto seed = static_cast<std::uint32_t>(batch.firstSeed + i);
            FigureOutcome outcome;
            try {
                outcome = MakeRandomFigure(batch, lists, seed, &parsed);
            } catch (const std::exception& e) {
                outcome.written = false;
                outcome.lines += "figure-" + std::to_string(seed) + ": " + e.what() + "\n";
            }
            {
                std::lock_guard<std::mutex> lock(mutex);
                waiting.emplace(i, std::move(outcome));
            }
            // The reporting thread looks in a few times a second by itself; a
            // wake-up per figure would cost the workers more than it is worth.
            if (++done == batch.count) finished.notify_one();
        }
        --running;
    };

    const std::uint64_t threadCount =
        std::min<std::uint64_t>(batch.count, static_cast<std::uint64_t>(batch.jobs < 1 ? 1 : batch.jobs));
#ifdef __GLIBC__
    // Every figure allocates and frees the same few megabytes. Handing the
    // freed memory back to the system unmaps it, and each unmapping in a
    // process with several threads interrupts the cores of the others: a
    // tenth of the CPU time on two cores. The memory is kept instead, and
    // buffers of a picture's size (a megabyte or more) come from it rather
    // than from fresh mappings, whose pages every figure would fault in and
    // zero again: on one job that cost as much as encoding the picture.
    ::mallopt(M_TRIM_THRESHOLD, 256 << 20);
    ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
#endif
    std::vector<std::thread> workers;
    for (std::uint64_t t = 0; t < threadCount; ++t) {
        ++running;
        try {
            workers.emplace_back(work);
        } catch (const std::system_error&) {
            --running;
            break;  // go on with the threads there are
        }
    }
    if (workers.empty()) {
        ++running;
        work();
    }

    // This thread alone writes to `err`: the figures' lines in seed order,
    // and the progress line between them.
    BatchResult result;
    std::unique_lock<std::mutex> lock(mutex);
    for (std::uint64_t reported = 0; reported < batch.count;) {
        finished.wait_for(lock, std::chrono::milliseconds(100), [&] { return done.load() == batch.count; });
        // Interrupted: once every worker has ended, what is waiting is all
        // there will be.
        const bool lastRound = running.load() == 0;
        // In seed order; in the last round past the figures a stop left out.
        for (auto it = lastRound ? waiting.begin() : waiting.find(reported);
             it != waiting.end() && (lastRound || it->first == reported);
             it = lastRound ? waiting.begin() : waiting.find(reported)) {
            const std::uint64_t index = it->first;
            FigureOutcome outcome = std::move(it->second);
            waiting.erase(it);
            lock.unlock();
            if (!outcome.lines.empty()) {
                progress.Clear();
                err << outcome.lines << std::flush;
            }
            (outcome.written ? result.written : result.failed) += 1;
            if (outcome.written) result.writtenSeeds.push_back(static_cast<std::uint32_t>(batch.firstSeed + index));
            ++reported;
            lock.lock();
        }
        if (lastRound) break;
        lock.unlock();
        progress.Update(done.load());
        lock.lock();
    }
    lock.unlock();
    result.interrupted = InterruptingSignal() != 0 && result.written + result.failed < batch.count;
    for (std::thread& worker : workers) worker.join();
    progress.Clear();
    result.seconds = progress.Seconds();
    return result;
}

}  // namespace cli
