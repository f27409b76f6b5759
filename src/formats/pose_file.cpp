#include "formats/pose_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <new>

#include <nlohmann/json.hpp>

#include "formats/regular_file.h"
#include "model/pose.h"
#include "text/list_order.h"

namespace formats {

namespace {

using Json = nlohmann::json;

// Deeper than any pose file goes; a file nested deeper is refused while it
// is parsed, before it costs memory.
constexpr int kMaxDepth = 8;

struct TooDeep {};

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// What a value is, for a message: its JSON text, cut short.
std::string Shown(const Json& value) {
    std::string text = value.dump(-1, ' ', false, Json::error_handler_t::replace);
    constexpr std::size_t kLongest = 24;
    if (text.size() > kLongest) text = text.substr(0, kLongest) + "...";
    return text;
}

// Every joint's name, as a pose file spells it, in the order of the lists.
std::string JointNames() {
    std::string names;
    for (std::string_view name : model::panelOrder) names += (names.empty() ? "" : ", ") + Quoted(name);
    return names;
}

// nlohmann's message without its "[json.exception...] " tag, on one line.
std::string ParseMessage(const std::exception& e) {
    std::string text = e.what();
    if (!text.empty() && text.front() == '[') {
        const std::size_t end = text.find("] ");
        if (end != std::string::npos) text.erase(0, end + 2);
    }
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// `count` finite numbers of a "rotate" or "quat" array into `numbers`.
bool ReadNumbers(const Json& value, const std::string& where, std::size_t count, const char* meaning,
                 std::array<double, 4>& numbers, std::string& why) {
    if (!value.is_array() || value.size() != count) {
        why = where + " takes " + std::to_string(count) + " numbers [" + meaning + "], not " +
              (value.is_array() ? std::to_string(value.size()) : Shown(value));
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const Json& item = value[i];
        if (!item.is_number()) {
            why = where + ": item " + std::to_string(i + 1) + " is not a number: " + Shown(item);
            return false;
        }
        numbers[i] = item.get<double>();
        // The parser itself refuses 1e999; this holds whatever it lets through.
        if (!std::isfinite(numbers[i])) {
            why = where + ": item " + std::to_string(i + 1) + " is not a finite number";
            return false;
        }
    }
    return true;
}

// One joint's entry: {"rotate": [x, y, z]} or {"quat": [x, y, z, w]}.
bool ReadJoint(const std::string& name, const Json& entry, model::Quaternion& rotation, std::string& why) {
    const std::string where = "joint " + Quoted(name);
    if (!entry.is_object()) {
        why = where + ": give {\"rotate\": [x, y, z]} or {\"quat\": [x, y, z, w]}, not " + Shown(entry);
        return false;
    }
    for (const auto& [key, value] : entry.items()) {
        if (key != "rotate" && key != "quat") {
            why = where + ": unknown key " + Quoted(key) + " (a joint takes \"rotate\" or \"quat\")";
            return false;
        }
    }
    const bool rotate = entry.contains("rotate");
    if (rotate == entry.contains("quat")) {
        why = where + (rotate ? ": give \"rotate\" or \"quat\", not both" : ": give \"rotate\" or \"quat\"");
        return false;
    }
    std::array<double, 4> n{};
    if (rotate) {
        if (!ReadNumbers(entry.at("rotate"), where + ": \"rotate\"", 3, "degrees about X, Y, Z", n, why)) return false;
        rotation = model::QuaternionFromDegrees(n[0], n[1], n[2]);
        return true;
    }
    if (!ReadNumbers(entry.at("quat"), where + ": \"quat\"", 4, "x, y, z, w", n, why)) return false;
    // Scaled by the largest first, so that neither tiny nor huge numbers
    // lose the length on the way.
    double largest = 0;
    for (double c : n) largest = std::max(largest, std::abs(c));
    if (largest == 0) {
        why = where + ": \"quat\" has no length (all four numbers are 0)";
        return false;
    }
    rotation = model::Normalised({n[0] / largest, n[1] / largest, n[2] / largest, n[3] / largest});
    return true;
}

bool ReadJoints(const Json& document, model::Pose& pose, std::string& why) {
    if (!document.is_object() || !document.contains("joints") || !document.at("joints").is_object()) {
        why = "no \"joints\" object: write {\"joints\": {\"Left forearm\": {\"rotate\": [0, 0, 90]}}}";
        return false;
    }
    for (const auto& [key, value] : document.items()) {
        if (key != "joints") {
            why = "unknown key " + Quoted(key) + " (a pose file holds \"joints\" alone)";
            return false;
        }
    }
    model::Pose read;
    for (const auto& [name, entry] : document.at("joints").items()) {
        const int typeId = model::TypeIdOfName(name);
        if (typeId < 0) {
            why = "unknown joint " + Quoted(name) + " (the joints: " + JointNames() + ")";
            return false;
        }
        model::Quaternion rotation;
        if (!ReadJoint(name, entry, rotation, why)) return false;
        read.rotations[static_cast<std::size_t>(typeId)] = rotation;
    }
    pose = read;
    return true;
}

}  // namespace

std::string_view BuiltInPoseName(std::string_view name) {
    for (std::string_view builtIn : model::kBuiltInPoses) {
        if (text::CompareIgnoringCase(name, builtIn) == 0) return builtIn;
    }
    return {};
}

bool ParsePose(std::string_view text, model::Pose& pose, std::string& why) {
    // nlohmann reports every problem by throwing; none leaves this function.
    try {
        const Json::parser_callback_t depthLimit = [](int depth, Json::parse_event_t, Json&) {
            if (depth > kMaxDepth) throw TooDeep{};
            return true;
        };
        const Json document = Json::parse(text.begin(), text.end(), depthLimit);
        return ReadJoints(document, pose, why);
    } catch (const Json::parse_error& e) {
        why = "not JSON: " + ParseMessage(e);
    } catch (const TooDeep&) {
        why = "not a pose: nested more than " + std::to_string(kMaxDepth) + " deep";
    } catch (const Json::exception& e) {
        why = "not a pose: " + ParseMessage(e);
    } catch (const std::bad_alloc&) {
        why = "not enough memory to read it";
    }
    return false;
}

bool ReadPoseFile(const std::string& path, model::Pose& pose, std::string& why) {
    std::uint64_t size = 0;
    if (!CheckRegularFile(path, why, &size)) return false;
    if (size > kMaxPoseFileBytes) {
        why = "larger than " + std::to_string(kMaxPoseFileBytes >> 20) + " MiB, too large for a pose file";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    std::string contents(static_cast<std::size_t>(size), '\0');
    if (!file || !file.read(contents.data(), static_cast<std::streamsize>(contents.size()))) {
        why = "cannot be read";
        return false;
    }
    return ParsePose(contents, pose, why);
}

}  // namespace formats
