#include "scenario/ScenarioParser.h"

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <sstream>
#include <unordered_set>

#include <nlohmann/json.hpp>

#include "base/InputError.h"
#include "base/ProgramPath.h"
#include "files/FileError.h"
#include "files/InputFile.h"

namespace sandbox {

namespace {

using Json = nlohmann::ordered_json;

// Generous bounds: the field is about 8000 by 10000 units; anything far past
// that is a typo, and would only lose float precision in the projection.
constexpr double kMaxCoordinate = 1.0e6;
constexpr double kMaxSpeed = 1.0e6;
constexpr int kMaxCanvas = kMaxPictureSide;
constexpr int kMaxFrames = 100000;
// With "bounds": "host" a file may hold anything the host can be handed, as
// the validator's failing frames do: any float (and "nan", "inf", "-inf" as
// texts, since JSON has no such numbers), any field of view, canvases from
// empty to this size.
constexpr int kMaxHostCanvas = 65535;

// Deeper than any scenario needs by far, and shallow enough that nothing
// that walks the document recursively comes near the stack's end.
constexpr std::size_t kMaxDepth = 256;

// What a message quotes of a value, a key or a path, at most.
constexpr std::size_t kShownLength = 40;
constexpr std::size_t kShownPathLength = 100;

// Appends the start of `value` as JSON to `out`, stopping once `out` is
// kShownLength long: a message quotes the beginning of a huge array without
// writing all of it out first.
void AppendShown(const Json& value, std::string& out) {
    if (out.size() > kShownLength) {
        return;
    }
    if (value.is_array() || value.is_object()) {
        out += value.is_array() ? '[' : '{';
        bool first = true;
        for (const auto& [key, element] : value.items()) {
            if (out.size() > kShownLength) {
                return;
            }
            out += first ? "" : ",";
            first = false;
            if (value.is_object()) {
                AppendShown(Json(std::string(key.substr(0, kShownLength))), out);
                out += ':';
            }
            AppendShown(element, out);
        }
        out += value.is_array() ? ']' : '}';
    } else if (value.is_string()) {
        const std::string& text = value.get_ref<const std::string&>();
        out += Json(text.substr(0, kShownLength + 1))
                   .dump(-1, ' ', false, Json::error_handler_t::replace);
    } else {
        out += value.dump();
    }
}

std::string Shown(const Json& value) {
    std::string text;
    AppendShown(value, text);
    if (text.size() > kShownLength) {
        text = text.substr(0, kShownLength - 3) + "...";
    }
    return text;
}

std::string Index(const std::string& path, std::size_t i) {
    return path + "[" + std::to_string(i) + "]";
}

// A key as a field path shows it: as it is, unless it is empty or holds a
// quote or a control character (a line break would break the message), then
// quoted with escapes; cut short when long.
std::string KeyShown(const std::string& key) {
    bool plain = !key.empty();
    for (char c : key) {
        const auto byte = static_cast<unsigned char>(c);
        plain = plain && byte >= 0x20 && byte != 0x7f && c != '"';
    }
    std::string shown =
        plain ? key : Json(key).dump(-1, ' ', false, Json::error_handler_t::replace);
    if (shown.size() > kShownLength) {
        shown = shown.substr(0, kShownLength - 3) + "...";
    }
    return shown;
}

std::string Member(const std::string& path, const std::string& key) {
    return path.empty() ? KeyShown(key) : path + "." + KeyShown(key);
}

// A field path as a message shows it: deep paths keep their start and end.
std::string PathShown(const std::string& path) {
    if (path.size() <= kShownPathLength) {
        return path;
    }
    return path.substr(0, kShownPathLength / 2) + "..." +
           path.substr(path.size() - kShownPathLength / 2 + 3);
}

// Reads JSON values into scenario fields, naming the field in every complaint.
class Reader {
public:
    explicit Reader(const std::string& source) : source_(source) {}

    [[noreturn]] void Fail(const std::string& path, const std::string& what) const {
        throw InputError(source_ + ": " + (path.empty() ? "" : PathShown(path) + ": ") + what);
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

    // A number the host is handed: within [low, high], or, in a file marked
    // "bounds": "host", any float, non-finite ones written as texts.
    double HostNumber(const Json& value, const std::string& path, double low, double high) const {
        if (!hostBounds_) {
            return Number(value, path, low, high);
        }
        if (value.is_string()) {
            const std::string& text = value.get_ref<const std::string&>();
            if (text == "nan") {
                return std::numeric_limits<double>::quiet_NaN();
            }
            if (text == "inf" || text == "-inf") {
                const double infinity = std::numeric_limits<double>::infinity();
                return text == "inf" ? infinity : -infinity;
            }
        }
        // Every number that rounds to a finite float: up to the largest
        // float and half its last step, as the writer's nine digits of it
        // (3.40282347e+38) lie a little above the float itself.
        constexpr double kFloatMax = std::numeric_limits<float>::max();
        const double kLimit = kFloatMax + (kFloatMax - std::nextafter(float(kFloatMax), 0.0f)) / 2;
        const double number = Number(value, path, -kLimit, kLimit);
        if (std::fabs(number) == kLimit) {
            Fail(path, Shown(value) + " is past the largest float");
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
                HostNumber(array[i], Index(path, i), -kMaxCoordinate, kMaxCoordinate));
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
        Fail(path,
             "unknown mode " + Shown(value) + " (expected freeplay, training, replay or none)");
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
            const double fov = HostNumber(object.at("fov"), fovPath, 0.0, 180.0);
            if (!hostBounds_ && (fov <= 0.0 || fov >= 180.0)) {
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

    Scenario Read(const Json& root) {
        Object(root, "");
        OnlyKnownFields(
            root, "", {"bounds", "mode", "server", "canvas", "camera", "ball", "cvars", "frames"});
        if (root.contains("bounds")) {
            const Json& bounds = root.at("bounds");
            if (bounds != "host" && bounds != "scenario") {
                Fail("bounds", "expected \"scenario\" or \"host\", got " + Shown(bounds));
            }
            hostBounds_ = bounds == "host";
        }
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
            const int low = hostBounds_ ? 0 : 1;
            const int high = hostBounds_ ? kMaxHostCanvas : kMaxCanvas;
            scenario.canvas = {Integer(canvas[0], "canvas[0]", low, high),
                               Integer(canvas[1], "canvas[1]", low, high)};
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
    bool hostBounds_ = false;
};

// "FILE:LINE:COLUMN: what", for the byte at `offset`.
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

// The start of a text a message quotes.
std::string Cut(const std::string& text) {
    return text.size() > kShownLength ? text.substr(0, kShownLength - 3) + "..." : text;
}

// The parser's message without its "[json.exception...] " tag and "parse
// error at line L, column C: " preamble, which Located says in the usual form,
// and with the token it stopped at (`token`, which may be a whole unterminated
// string, or hold quotes of its own) cut short.
std::string Plain(const Json::exception& error, const std::string& token) {
    std::string what = error.what();
    const std::size_t tag = what.rfind("[json", 0) == 0 ? what.find("] ") : std::string::npos;
    if (tag != std::string::npos) {
        what = what.substr(tag + 2);
        if (what.rfind("parse error", 0) == 0) {
            if (auto at = what.find(": "); at != std::string::npos) {
                what = what.substr(at + 2);
            }
        }
    }
    const std::string quoted = "'" + token + "'";
    if (const std::size_t at = what.find(quoted); at != std::string::npos) {
        what.replace(at, quoted.size(), "'" + Cut(token) + "'");
    }
    return what;
}

// Walks the text for the parser and keeps, in a place the builder reads, how
// far the parser has read: the parser tells its handler what it found but not
// where, and a complaint should say where.
class ReadingIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    ReadingIterator(const char* at, const char*& furthest) : at_(at), furthest_(&furthest) {}

    reference operator*() const { return *at_; }
    ReadingIterator& operator++() {
        *furthest_ = ++at_;
        return *this;
    }
    ReadingIterator operator++(int) {
        ReadingIterator before = *this;
        ++*this;
        return before;
    }
    friend bool operator==(const ReadingIterator& a, const ReadingIterator& b) {
        return a.at_ == b.at_;
    }

private:
    const char* at_;
    const char** furthest_;
};

// Builds the document from the parser's events (nlohmann's SAX interface),
// refusing what JSON allows but a scenario never has: nesting deeper than
// kMaxDepth and a key given twice in one object. It keeps the field being
// read, so that every complaint, its own or the parser's, names the field and
// the place. Nothing here recurses, and the field's name is made only when
// something is wrong.
class DocumentBuilder {
public:
    DocumentBuilder(const char* text, const char*& furthest) : text_(text), furthest_(furthest) {}

    bool null() { return Put(Json(nullptr)); }
    bool boolean(bool value) { return Put(Json(value)); }
    bool number_integer(Json::number_integer_t value) { return Put(Json(value)); }
    bool number_unsigned(Json::number_unsigned_t value) { return Put(Json(value)); }
    bool number_float(Json::number_float_t value, const Json::string_t&) {
        return Put(Json(value));
    }
    bool string(Json::string_t& value) { return Put(Json(std::move(value))); }
    bool binary(Json::binary_t& value) { return Put(Json::binary(std::move(value))); }

    bool start_object(std::size_t) { return Open(Json::object()); }
    bool start_array(std::size_t) { return Open(Json::array()); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }

    bool key(Json::string_t& key) {
        Level& level = levels_.back();
        if (!level.keys.insert(key).second) {
            // The key's own place: back from its closing quote to the opening one.
            std::size_t close = Offset() - 1;
            std::size_t open = close;
            while (open > 0) {
                --open;
                std::size_t backslashes = 0;
                while (backslashes < open && text_[open - 1 - backslashes] == '\\') {
                    ++backslashes;
                }
                if (text_[open] == '"' && backslashes % 2 == 0) {
                    break;
                }
            }
            return Refuse(open, PathShown(Member(PathOf(levels_.size() - 1), key)) +
                                    ": given twice (a key may appear once in an object)");
        }
        level.key = std::move(key);
        level.hasKey = true;
        return true;
    }

    bool parse_error(std::size_t position, const std::string& token, const Json::exception& error) {
        // A number too large for a double: the parser has read past it, and
        // names the number; the fault is where the number starts.
        if (error.id == 406) {
            const std::size_t start = position >= token.size() ? position - token.size() : 0;
            return Refuse(start,
                          Prefix(levels_.size()) + "'" + Cut(token) + "' is not a finite number");
        }
        return Refuse(position == 0 ? 0 : position - 1,
                      Prefix(levels_.size()) + Plain(error, token));
    }

    bool Failed() const { return failed_; }
    const std::string& Fault() const { return fault_; }
    std::size_t FaultOffset() const { return faultOffset_; }
    const Json& Root() const { return root_; }

private:
    struct Level {
        Json* value;
        std::size_t count = 0; // an array's elements read so far
        std::string key;       // an object's member being read
        bool hasKey = false;
        std::unordered_set<std::string> keys;
    };

    std::size_t Offset() const { return static_cast<std::size_t>(furthest_ - text_); }

    bool Refuse(std::size_t offset, std::string what) {
        failed_ = true;
        faultOffset_ = offset;
        fault_ = std::move(what);
        return false;
    }

    // The field being read at the outermost `depth` levels: "camera.location[2]".
    std::string PathOf(std::size_t depth) const {
        std::string path;
        for (std::size_t i = 0; i < depth; ++i) {
            const Level& level = levels_[i];
            if (level.value->is_array()) {
                path = Index(path, level.count);
            } else if (level.hasKey) {
                path = Member(path, level.key);
            }
        }
        return path;
    }

    // "camera.location[2]: ", or nothing at the top level.
    std::string Prefix(std::size_t depth) const {
        const std::string path = PathOf(depth);
        return path.empty() ? path : PathShown(path) + ": ";
    }

    // Stores a value where the parser is, returning where it now lives.
    Json* Store(Json value) {
        if (levels_.empty()) {
            root_ = std::move(value);
            return &root_;
        }
        Level& level = levels_.back();
        if (level.value->is_array()) {
            auto& array = level.value->get_ref<Json::array_t&>();
            array.push_back(std::move(value));
            return &array.back();
        }
        // Appended without a search: the key is known to be new, and a
        // search per key would make an object of many keys quadratic.
        auto& members =
            static_cast<Json::object_t::Container&>(level.value->get_ref<Json::object_t&>());
        members.emplace_back(level.key, std::move(value));
        return &members.back().second;
    }

    // The value at the innermost level is complete.
    void Completed() {
        if (levels_.empty()) {
            return;
        }
        Level& level = levels_.back();
        ++level.count;
        level.hasKey = false;
    }

    bool Put(Json value) {
        Store(std::move(value));
        Completed();
        return true;
    }

    bool Open(Json container) {
        if (levels_.size() >= kMaxDepth) {
            return Refuse(Offset() - 1, Prefix(levels_.size()) + "nested deeper than " +
                                            std::to_string(kMaxDepth) + " levels");
        }
        Json* stored = Store(std::move(container));
        levels_.push_back(Level{stored, 0, {}, false, {}});
        return true;
    }

    bool Close() {
        levels_.pop_back();
        Completed();
        return true;
    }

    const char* text_;
    const char*& furthest_;
    Json root_;
    std::vector<Level> levels_;
    bool failed_ = false;
    std::string fault_;
    std::size_t faultOffset_ = 0;
};

} // namespace

Scenario ParseScenario(std::string_view text, const std::string& source) {
    // JSON text never holds a NUL byte; the parser would take one for the
    // end of the text and accept what came before.
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
        throw InputError(Located(text, source, nul, "a NUL byte; a scenario is text"));
    }
    const char* furthest = text.data();
    DocumentBuilder builder(text.data(), furthest);
    const bool parsed =
        Json::sax_parse(ReadingIterator(text.data(), furthest),
                        ReadingIterator(text.data() + text.size(), furthest), &builder);
    if (!parsed || builder.Failed()) {
        throw InputError(Located(text, source, builder.FaultOffset(), builder.Fault()));
    }
    return Reader(source).Read(builder.Root());
}

Scenario LoadScenarioFile(const std::string& path) {
    try {
        return ParseScenario(
            files::ReadFile(PathFromText(path), {"scenario", kMaxScenarioBytes, true}),
            path == "-" ? "standard input" : path);
    } catch (const files::Error& error) {
        throw InputError(error.what());
    }
}

} // namespace sandbox
