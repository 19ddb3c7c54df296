#include "scenario/ScenarioParser.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <span>

#include "base/InputError.h"
#include "base/ProgramPath.h"
#include "files/FileError.h"
#include "files/InputFile.h"
#include "scenario/JsonEventReader.h"

namespace sandbox {

namespace {

using Json = nlohmann::json;

// Generous bounds: the field is about 8000 by 10000 units; anything far past
// that is a typo, and would only lose float precision in the projection.
constexpr double kMaxCoordinate = 1.0e6;
// With "bounds": "host" a file may hold anything the host can be handed, as
// the validator's failing frames do: any float (and "nan", "inf", "-inf" as
// texts, since JSON has no such numbers), any field of view, canvases from
// empty to 65535 a side. Every number that rounds to a finite float is one:
// up to the largest float and half its last step (2^104), as the writer's
// nine digits of it (3.40282347e+38) lie a little above the float itself.
constexpr double kFloatLimit = double(std::numeric_limits<float>::max()) + 0x1p103;

// What a value is read as; the field it stands in decides. A point is read
// wherever it stands as an array of three numbers; a number as its array or
// field says.
enum Want : int {
    Skip,
    Root,
    Camera,
    Ball,
    Cvars,
    Cvar,
    Path,
    Mode,
    Flag,
    Bounds,
    LookAt,
    Point,
    Rotation,
    Canvas,
    Number
};
constexpr const char* kExpected[] = { // what each must be, as a message says
    "",
    "an object",
    "an object",
    "an object",
    "an object",
    "a text, number or bool value",
    "a non-empty array of points",
    "a mode name",
    "true or false",
    "\"scenario\" or \"host\"",
    "\"ball\" or a point",
    "an array of 3 numbers",
    "an array of 3 numbers",
    "an array of 2 numbers",
    "a number"};

struct Field {
    const char* name;
    Want want;
};
// The root's fields, then a camera's, whose first four are a ball's.
constexpr Field kFields[] = {
    {"bounds", Bounds},  {"mode", Mode},         {"server", Flag},   {"canvas", Canvas},
    {"camera", Camera},  {"ball", Ball},         {"cvars", Cvars},   {"frames", Number},
    {"location", Point}, {"path", Path},         {"speed", Number},  {"loop", Flag},
    {"follow", Point},   {"rotation", Rotation}, {"lookAt", LookAt}, {"fov", Number}};

struct Range {
    double low, high;
    bool whole = false;
    bool host = false; // any float in a file with host bounds
};

// A camera or a ball object, as read so far.
struct Subject {
    CameraSetup setup; // a ball's: only its track
    std::optional<Vector> location;
    std::vector<Vector> path;
    double speed = 0.0;
    bool loop = false;
};

// Reads a scenario as the parser finds it, keeping only what the scenario
// holds: a path of many waypoints costs their points and no more.
class ScenarioReader : public JsonEventReader {
public:
    ScenarioReader(std::string_view text, const std::string& source, bool hostBounds)
        : JsonEventReader(text, source, "scenario"), hostBounds_(hostBounds) {
        scenario_.source = source;
    }

    // "bounds": "host" came after values it decides: read it all again so.
    bool NeedsHostBounds() const { return reread_; }
    Scenario Take() { return std::move(scenario_); }

private:
    int KindIn(const Level* in) override {
        if (in == nullptr || in->array) {
            return in == nullptr ? Root : in->kind == Path ? Point : Number;
        }
        if (in->kind == Cvars) {
            if (in->key.empty() || in->key.find_first_of(" \t\r\n\";") != std::string::npos) {
                Refuse(Here(), "not a console variable name");
            }
            return Cvar;
        }
        const std::span<const Field> fields =
            std::span(kFields).subspan(in->kind == Root ? 0 : 8, in->kind == Ball ? 4 : 8);
        std::string list;
        for (const Field& field : fields) {
            if (in->key == field.name) {
                return field.want;
            }
            list += (list.empty() ? "" : ", ") + std::string(field.name);
        }
        Refuse(Here(), "unknown field (expected one of " + list + ")");
        return Skip;
    }

    int Opened(int kind, bool array) override {
        kind = array && (kind == Ball || kind == LookAt) ? Point : kind;
        const bool read = array ? kind == Path || (kind >= Point && kind < Number)
                                : kind >= Root && kind <= Cvars;
        return read ? kind : Skip;
    }

    void Closed(const Level& done, std::string_view text) override {
        const bool numbers = done.kind >= Point && done.kind < Number;
        if (numbers && done.count != (done.kind == Canvas ? 2u : 3u)) {
            Mismatch(Want(done.kind), Excerpt(text));
        } else if (numbers && !Refused()) {
            Numbers(Want(done.kind));
        } else if (done.kind == Path && done.count == 0) {
            Mismatch(Path, "");
        } else if (done.kind == Camera || done.kind == Ball) {
            SubjectRead(done);
        } else if (done.kind == Root) {
            RootRead(done);
        }
    }

    // The value `shown` is not what `want` must be.
    void Mismatch(Want want, const std::string& shown) {
        Refuse(Here(),
               std::string("expected ") + kExpected[want] + (want == Path ? "" : ", got " + shown));
    }

    Subject& Of() { return Levels().size() > 1 && Levels()[1].kind == Camera ? camera_ : ball_; }

    // The array of numbers just read, where it stands.
    void Numbers(Want want) {
        const double* n = numbers_;
        const Vector point{float(n[0]), float(n[1]), float(n[2])};
        const Level& in = Levels().back();
        Subject& subject = Of();
        if (want == Rotation) {
            subject.setup.rotation = Rotator{int(n[0]), int(n[1]), int(n[2])};
        } else if (want == Canvas) {
            scenario_.canvas = {int(n[0]), int(n[1])};
        } else if (in.array) {
            subject.path.push_back(point);
        } else if (in.key == "ball") {
            scenario_.ball = Track(std::vector<Vector>{point});
        } else {
            (in.key == "location" ? subject.location
             : in.key == "follow" ? subject.setup.followOffset
                                  : subject.setup.lookAtPoint) = point;
        }
    }

    // Of `keys`, `object` must hold exactly one.
    void ExactlyOne(const Level& object, const std::string& path,
                    std::initializer_list<const char*> keys) {
        std::string list;
        std::size_t given = 0;
        for (const char* key : keys) {
            given += object.keys.count(key);
            list += (list.empty()            ? "\""
                     : key == keys.end()[-1] ? " and \""
                                             : ", \"") +
                    std::string(key) + "\"";
        }
        if (given != 1) {
            Refuse(path, "give exactly one of " + list);
        }
    }

    void SubjectRead(const Level& done) {
        const std::string path = Here();
        const bool camera = done.kind == Camera;
        const bool moving = done.keys.count("path");
        if (camera) {
            ExactlyOne(done, path, {"location", "path", "follow"});
            ExactlyOne(done, path, {"rotation", "lookAt"});
        } else {
            ExactlyOne(done, path, {"location", "path"});
        }
        for (const char* motion : {"speed", "loop"}) {
            if (done.keys.count(motion) && !moving) {
                Refuse(Member(path, motion), "only applies to a \"path\"");
            }
        }
        if (moving && !done.keys.count("speed")) {
            Refuse(Member(path, "speed"), "missing (a path needs a speed in units per frame)");
        }
        Subject& subject = camera ? camera_ : ball_;
        if (subject.location || moving) {
            subject.setup.track.emplace(moving ? std::move(subject.path)
                                               : std::vector<Vector>{*subject.location},
                                        subject.speed, subject.loop);
        }
        if (camera) {
            scenario_.camera = std::move(subject.setup);
        } else {
            scenario_.ball = std::move(subject.setup.track);
        }
    }

    void RootRead(const Level& done) {
        for (const char* required : {"camera", "ball"}) {
            if (!done.keys.count(required)) {
                Refuse(required, "missing (use null for none)");
            }
        }
        if (scenario_.camera && !scenario_.ball && scenario_.camera->followOffset) {
            Refuse("camera.follow", "the scenario has no ball to follow");
        }
        if (scenario_.camera && !scenario_.ball && scenario_.camera->lookAtBall) {
            Refuse("camera.lookAt", "the scenario has no ball to look at");
        }
    }

    void Scalar(int kind, const Json& value) override {
        const Want want = Want(kind);
        Subject& subject = Of();
        if (value.is_null() && (want == Camera || want == Ball)) {
            return;
        }
        if (want == LookAt && value == "ball") {
            subject.setup.lookAtBall = true;
        } else if (want == Mode && value.is_string()) {
            ModeNamed(value);
        } else if (want == Bounds && (value == "host" || value == "scenario")) {
            reread_ = value == "host" && !hostBounds_ && Levels().front().count > 0;
            hostBounds_ = hostBounds_ || value == "host";
        } else if (want == Cvar && (value.is_string() || value.is_boolean() || value.is_number())) {
            scenario_.cvars.emplace_back(Levels().back().key,
                                         value.is_string() ? value.get<std::string>()
                                         : value.is_boolean()
                                             ? std::string(value.get<bool>() ? "1" : "0")
                                             : value.dump());
        } else if (want == Flag && value.is_boolean()) {
            (Levels().size() == 1 ? scenario_.serverPresent : subject.loop) = value.get<bool>();
        } else if (want == Number) {
            NumberRead(value, subject);
        } else {
            Mismatch(want, Shown(value));
        }
    }

    void NumberRead(const Json& value, Subject& subject) {
        const Level& in = Levels().back();
        const std::string& key = in.key; // an array's: none
        constexpr double kInt = std::numeric_limits<int>::max();
        Range range = {-kMaxCoordinate, kMaxCoordinate, false, true};
        if (in.kind == Rotation) {
            range = {-kInt - 1, kInt, true};
        } else if (in.kind == Canvas) {
            range = {hostBounds_ ? 0.0 : 1.0, hostBounds_ ? 65535.0 : kMaxPictureSide, true};
        } else if (!in.array) {
            range = key == "speed" ? Range{0.0, 1.0e6}
                    : key == "fov" ? Range{0.0, 180.0, false, true}
                                   : Range{1, 100000, true};
        }
        const std::optional<double> number = Checked(value, range);
        if (!number) {
            return;
        }
        if (in.array) {
            numbers_[std::min<std::size_t>(in.count, 2)] = *number;
        } else if (key == "speed" && *number <= 0.0) {
            Refuse(Here(), "must be greater than 0");
        } else if (key == "fov" && !hostBounds_ && (*number <= 0.0 || *number >= 180.0)) {
            Refuse(Here(), Shown(value) + " is out of range (a field of view between 0 and 180 "
                                          "degrees, both excluded)");
        } else if (key == "speed") {
            subject.speed = *number;
        } else if (key == "fov") {
            subject.setup.fov = static_cast<float>(*number);
        } else {
            scenario_.frames = static_cast<int>(*number);
        }
    }

    std::optional<double> Checked(const Json& value, Range range) {
        if (range.host && hostBounds_) {
            if (value == "nan" || value == "inf" || value == "-inf") {
                const double infinity = std::numeric_limits<double>::infinity();
                return value == "nan" ? std::numeric_limits<double>::quiet_NaN()
                                      : (value == "inf" ? infinity : -infinity);
            }
            range = {-kFloatLimit, kFloatLimit};
        }
        // Finite: the parser refuses other numbers.
        const double number = value.is_number() ? value.get<double>() : 0.0;
        std::string fault;
        if (!value.is_number()) {
            fault = "expected a number, got " + Shown(value);
        } else if (number < range.low || number > range.high) {
            char bounds[64];
            std::snprintf(bounds, sizeof bounds, " is out of range (%g to %g)", range.low,
                          range.high);
            fault = Shown(value) + bounds;
        } else if (range.whole && number != std::floor(number)) {
            fault = "expected a whole number, got " + Shown(value);
        } else if (std::fabs(number) == kFloatLimit) {
            fault = Shown(value) + " is past the largest float";
        } else {
            return number;
        }
        Refuse(Here(), fault);
        return std::nullopt;
    }

    void ModeNamed(const Json& value) {
        static constexpr std::pair<const char*, sim::GameMode> kModes[] = {
            {"freeplay", sim::GameMode::Freeplay},
            {"training", sim::GameMode::CustomTraining},
            {"replay", sim::GameMode::Replay},
            {"none", sim::GameMode::None}};
        for (const auto& [name, mode] : kModes) {
            if (value == name) {
                scenario_.mode = mode;
                return;
            }
        }
        Refuse(Here(),
               "unknown mode " + Shown(value) + " (expected freeplay, training, replay or none)");
    }

    bool hostBounds_;
    bool reread_ = false;
    double numbers_[3] = {}; // of the array of numbers being read
    Subject camera_;
    Subject ball_;
    Scenario scenario_;
};

} // namespace

Scenario ParseScenario(std::string_view text, const std::string& source) {
    for (bool hostBounds = false;; hostBounds = true) {
        ScenarioReader reader(text, source, hostBounds);
        if (!reader.Read() || !reader.NeedsHostBounds()) {
            reader.ThrowFault();
            return reader.Take();
        }
    }
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
