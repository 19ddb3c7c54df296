#include "ScenarioParser.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <sstream>

#include <nlohmann/json.hpp>

#include "InputError.h"

namespace sandbox {

namespace {

using Json = nlohmann::ordered_json;

// Generous bounds: the field is about 8000 by 10000 units; anything far past
// that is a typo, and would only lose float precision in the projection.
constexpr double kMaxCoordinate = 1.0e6;
constexpr double kMaxSpeed = 1.0e6;
constexpr int kMaxCanvas = 8192;
constexpr int kMaxFrames = 100000;

std::string Shown(const Json& value) {
    std::string text = value.dump();
    if (text.size() > 40) {
        text = text.substr(0, 37) + "...";
    }
    return text;
}

std::string Index(const std::string& path, std::size_t i) {
    return path + "[" + std::to_string(i) + "]";
}

std::string Member(const std::string& path, const std::string& key) {
    return path.empty() ? key : path + "." + key;
}

// Reads JSON values into scenario fields, naming the field in every complaint.
class Reader {
public:
    explicit Reader(const std::string& source) : source_(source) {}

    [[noreturn]] void Fail(const std::string& path, const std::string& what) const {
        throw InputError(source_ + ": " + (path.empty() ? "" : path + ": ") + what);
    }

    void OnlyKnownFields(const Json& object, const std::string& path,
                         std::initializer_list<const char*> known) const {
        for (const auto& [key, value] : object.items()) {
            bool found = false;
            std::string list;
            for (const char* name : known) {
                found = found || key == name;
                list += list.empty() ? name : std::string(", ") + name;
            }
            if (!found) {
                Fail(Member(path, key), "unknown field (expected one of " + list + ")");
            }
        }
    }

    const Json& Object(const Json& value, const std::string& path) const {
        if (!value.is_object()) {
            Fail(path, "expected an object, got " + Shown(value));
        }
        return value;
    }

    double Number(const Json& value, const std::string& path, double low, double high) const {
        if (!value.is_number()) {
            Fail(path, "expected a number, got " + Shown(value));
        }
        const double number = value.get<double>();
        if (!std::isfinite(number)) {
            Fail(path, "not a finite number");
        }
        if (number < low || number > high) {
            std::ostringstream range;
            range << Shown(value) << " is out of range (" << low << " to " << high << ")";
            Fail(path, range.str());
        }
        return number;
    }

    int Integer(const Json& value, const std::string& path, double low, double high) const {
        const double number = Number(value, path, low, high);
        if (number != std::floor(number)) {
            Fail(path, "expected a whole number, got " + Shown(value));
        }
        return static_cast<int>(number);
    }

    bool Bool(const Json& value, const std::string& path) const {
        if (!value.is_boolean()) {
            Fail(path, "expected true or false, got " + Shown(value));
        }
        return value.get<bool>();
    }

    const Json& Array(const Json& value, const std::string& path, std::size_t size) const {
        if (!value.is_array() || value.size() != size) {
            Fail(path,
                 "expected an array of " + std::to_string(size) + " numbers, got " + Shown(value));
        }
        return value;
    }

    Vector Point(const Json& value, const std::string& path) const {
        const Json& array = Array(value, path, 3);
        float c[3];
        for (std::size_t i = 0; i < 3; ++i) {
            c[i] = static_cast<float>(
                Number(array[i], Index(path, i), -kMaxCoordinate, kMaxCoordinate));
        }
        return {c[0], c[1], c[2]};
    }

    Rotator Rotation(const Json& value, const std::string& path) const {
        const Json& array = Array(value, path, 3);
        constexpr double low = std::numeric_limits<int>::min();
        constexpr double high = std::numeric_limits<int>::max();
        return {Integer(array[0], Index(path, 0), low, high),
                Integer(array[1], Index(path, 1), low, high),
                Integer(array[2], Index(path, 2), low, high)};
    }

    sim::GameMode Mode(const Json& value, const std::string& path) const {
        if (!value.is_string()) {
            Fail(path, "expected a mode name, got " + Shown(value));
        }
        const std::string name = value.get<std::string>();
        if (name == "freeplay") {
            return sim::GameMode::Freeplay;
        }
        if (name == "training") {
            return sim::GameMode::CustomTraining;
        }
        if (name == "replay") {
            return sim::GameMode::Replay;
        }
        if (name == "none") {
            return sim::GameMode::None;
        }
        Fail(path, "unknown mode \"" + name + "\" (expected freeplay, training, replay or none)");
    }

    // A path with its speed and looping, from the members of `object`.
    Track MovingTrack(const Json& object, const std::string& path) const {
        const Json& points = object.at("path");
        if (!points.is_array() || points.empty()) {
            Fail(Member(path, "path"), "expected a non-empty array of points");
        }
        Track track;
        for (std::size_t i = 0; i < points.size(); ++i) {
            track.waypoints.push_back(Point(points[i], Index(Member(path, "path"), i)));
        }
        if (!object.contains("speed")) {
            Fail(Member(path, "speed"), "missing (a path needs a speed in units per frame)");
        }
        track.speed = Number(object.at("speed"), Member(path, "speed"), 0.0, kMaxSpeed);
        if (track.speed <= 0.0) {
            Fail(Member(path, "speed"), "must be greater than 0");
        }
        if (object.contains("loop")) {
            track.loop = Bool(object.at("loop"), Member(path, "loop"));
        }
        return track;
    }

    std::optional<Track> Ball(const Json& value, const std::string& path) const {
        if (value.is_null()) {
            return std::nullopt;
        }
        if (value.is_array()) {
            return Track{{Point(value, path)}, 0.0, false};
        }
        const Json& object = Object(value, path);
        OnlyKnownFields(object, path, {"location", "path", "speed", "loop"});
        if (object.contains("location") == object.contains("path")) {
            Fail(path, "give exactly one of \"location\" and \"path\"");
        }
        if (object.contains("location")) {
            for (const char* motionOnly : {"speed", "loop"}) {
                if (object.contains(motionOnly)) {
                    Fail(Member(path, motionOnly), "only applies to a \"path\"");
                }
            }
            return Track{{Point(object.at("location"), Member(path, "location"))}, 0.0, false};
        }
        return MovingTrack(object, path);
    }

    std::optional<CameraSetup> Camera(const Json& value, const std::string& path) const {
        if (value.is_null()) {
            return std::nullopt;
        }
        const Json& object = Object(value, path);
        OnlyKnownFields(
            object, path,
            {"location", "path", "speed", "loop", "follow", "rotation", "lookAt", "fov"});
        CameraSetup camera;
        const int placements = int(object.contains("location")) + int(object.contains("path")) +
                               int(object.contains("follow"));
        if (placements != 1) {
            Fail(path, "give exactly one of \"location\", \"path\" and \"follow\"");
        }
        if (object.contains("rotation") == object.contains("lookAt")) {
            Fail(path, "give exactly one of \"rotation\" and \"lookAt\"");
        }
        if (!object.contains("path")) {
            for (const char* motionOnly : {"speed", "loop"}) {
                if (object.contains(motionOnly)) {
                    Fail(Member(path, motionOnly), "only applies to a \"path\"");
                }
            }
        }
        if (object.contains("location")) {
            camera.track =
                Track{{Point(object.at("location"), Member(path, "location"))}, 0.0, false};
        } else if (object.contains("path")) {
            camera.track = MovingTrack(object, path);
        } else {
            camera.followOffset = Point(object.at("follow"), Member(path, "follow"));
        }
        if (object.contains("rotation")) {
            camera.rotation = Rotation(object.at("rotation"), Member(path, "rotation"));
        } else {
            const Json& target = object.at("lookAt");
            if (target.is_string() && target.get<std::string>() == "ball") {
                camera.lookAtBall = true;
            } else if (target.is_array()) {
                camera.lookAtPoint = Point(target, Member(path, "lookAt"));
            } else {
                Fail(Member(path, "lookAt"), "expected \"ball\" or a point, got " + Shown(target));
            }
        }
        if (object.contains("fov")) {
            const std::string fovPath = Member(path, "fov");
            const double fov = Number(object.at("fov"), fovPath, 0.0, 180.0);
            if (fov <= 0.0 || fov >= 180.0) {
                Fail(fovPath, Shown(object.at("fov")) +
                                  " is out of range (a field of view between 0 and 180 degrees, "
                                  "both excluded)");
            }
            camera.fov = static_cast<float>(fov);
        }
        return camera;
    }

    std::vector<std::pair<std::string, std::string>> Cvars(const Json& value,
                                                           const std::string& path) const {
        const Json& object = Object(value, path);
        std::vector<std::pair<std::string, std::string>> cvars;
        for (const auto& [name, setting] : object.items()) {
            const std::string field = Member(path, name);
            if (name.empty() || name.find_first_of(" \t\r\n\";") != std::string::npos) {
                Fail(field, "not a console variable name");
            }
            std::string text;
            if (setting.is_string()) {
                text = setting.get<std::string>();
            } else if (setting.is_boolean()) {
                text = setting.get<bool>() ? "1" : "0";
            } else if (setting.is_number()) {
                Number(setting, field, -std::numeric_limits<double>::max(),
                       std::numeric_limits<double>::max());
                text = setting.dump();
            } else {
                Fail(field, "expected a text, number or bool value, got " + Shown(setting));
            }
            cvars.emplace_back(name, std::move(text));
        }
        return cvars;
    }

    Scenario Read(const Json& root) const {
        Object(root, "");
        OnlyKnownFields(root, "",
                        {"mode", "server", "canvas", "camera", "ball", "cvars", "frames"});
        for (const char* required : {"camera", "ball"}) {
            if (!root.contains(required)) {
                Fail(required, "missing (use null for none)");
            }
        }
        Scenario scenario;
        scenario.source = source_;
        if (root.contains("mode")) {
            scenario.mode = Mode(root.at("mode"), "mode");
        }
        if (root.contains("server")) {
            scenario.serverPresent = Bool(root.at("server"), "server");
        }
        if (root.contains("canvas")) {
            const Json& canvas = Array(root.at("canvas"), "canvas", 2);
            scenario.canvas = {Integer(canvas[0], "canvas[0]", 1, kMaxCanvas),
                               Integer(canvas[1], "canvas[1]", 1, kMaxCanvas)};
        }
        scenario.ball = Ball(root.at("ball"), "ball");
        scenario.camera = Camera(root.at("camera"), "camera");
        if (scenario.camera && !scenario.ball) {
            if (scenario.camera->followOffset) {
                Fail("camera.follow", "the scenario has no ball to follow");
            }
            if (scenario.camera->lookAtBall) {
                Fail("camera.lookAt", "the scenario has no ball to look at");
            }
        }
        if (root.contains("cvars")) {
            scenario.cvars = Cvars(root.at("cvars"), "cvars");
        }
        if (root.contains("frames")) {
            scenario.frames = Integer(root.at("frames"), "frames", 1, kMaxFrames);
        }
        return scenario;
    }

private:
    const std::string& source_;
};

// "FILE:LINE:COLUMN: what", for the character at `offset`.
std::string Located(std::string_view text, const std::string& source, std::size_t offset,
                    const std::string& what) {
    const std::size_t end = std::min(offset, text.size());
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i < end; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return source + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + what;
}

// The parser's message without its "[json.exception...] " tag and "parse
// error at line L, column C: " preamble, which Located says in the usual form.
std::string Plain(const Json::exception& error) {
    std::string what = error.what();
    if (what.rfind("[json", 0) != 0) {
        return what;
    }
    const std::size_t tag = what.find("] ");
    what = what.substr(tag == std::string::npos ? 0 : tag + 2);
    if (what.rfind("parse error", 0) == 0) {
        if (auto at = what.find(": "); at != std::string::npos) {
            what = what.substr(at + 2);
        }
    }
    return what;
}

// Follows the parser through the document so that, when it fails, the message
// can name the field it was reading.
class FieldTracker {
public:
    bool Step(Json::parse_event_t event, const Json& parsed) {
        switch (event) {
        case Json::parse_event_t::object_start:
            frames_.push_back({false, {}, 0});
            break;
        case Json::parse_event_t::array_start:
            frames_.push_back({true, {}, 0});
            break;
        case Json::parse_event_t::key:
            frames_.back().key = parsed.get<std::string>();
            break;
        case Json::parse_event_t::object_end:
        case Json::parse_event_t::array_end:
            frames_.pop_back();
            Completed();
            break;
        case Json::parse_event_t::value:
            Completed();
            break;
        }
        return true;
    }

    // "camera.location[2]: ", or nothing at the top level.
    std::string Prefix() const {
        std::string path;
        for (const Frame& frame : frames_) {
            if (frame.array) {
                path = Index(path, frame.count);
            } else if (!frame.key.empty()) {
                path = Member(path, frame.key);
            }
        }
        return path.empty() ? path : path + ": ";
    }

private:
    struct Frame {
        bool array;
        std::string key;
        std::size_t count; // elements of an array read so far
    };

    void Completed() {
        if (!frames_.empty() && frames_.back().array) {
            ++frames_.back().count;
        }
    }

    std::vector<Frame> frames_;
};

} // namespace

Scenario ParseScenario(std::string_view text, const std::string& source) {
    Json root;
    FieldTracker field;
    try {
        root = Json::parse(text.begin(), text.end(),
                           [&field](int, Json::parse_event_t event, Json& parsed) {
                               return field.Step(event, parsed);
                           });
    } catch (const Json::parse_error& error) {
        throw InputError(Located(text, source, error.byte == 0 ? 0 : error.byte - 1,
                                 field.Prefix() + Plain(error)));
    } catch (const Json::out_of_range& error) {
        // A number too large for a double ("number overflow parsing '1e999'"):
        // the parser gives no position, but it quotes the literal.
        const std::string what = field.Prefix() + Plain(error) + ": not a finite number";
        const std::size_t open = what.find('\'');
        const std::size_t close = what.find('\'', open + 1);
        if (open != std::string::npos && close != std::string::npos && close > open + 1) {
            const std::size_t at = text.find(what.substr(open + 1, close - open - 1));
            if (at != std::string_view::npos) {
                throw InputError(Located(text, source, at, what));
            }
        }
        throw InputError(source + ": " + what);
    }
    return Reader(source).Read(root);
}

Scenario LoadScenarioFile(const std::string& path) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        throw InputError("cannot read scenario '" + path + "': it is a directory");
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw InputError("cannot read scenario '" + path + "': " + std::strerror(errno));
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        throw InputError("cannot read scenario '" + path + "': read error");
    }
    return ParseScenario(text.str(), path);
}

} // namespace sandbox
