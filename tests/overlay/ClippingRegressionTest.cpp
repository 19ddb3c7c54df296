// Pins, to the bit, what the clipped drawing hands the canvas: many fixed
// pseudo-random frusta and segments go through ViewFrustum::Build and
// LineSegment::DrawClipped, and every logged ProjectF and DrawLine text (floats
// printed exactly) is folded into one hash, together with the bits of every
// frustum built. Any change to the geometry that is not meant to change what
// is drawn (work on its speed, a tidy-up) must leave that hash unchanged.

#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "RecordingCanvas.h"
#include "overlay/LineSegment.h"
#include "overlay/Quaternion.h"
#include "overlay/VectorMath.h"
#include "overlay/ViewFrustum.h"

namespace {

// Recorded by running this test on the geometry whose drawing it pins. A
// hard-coded expectation is right here and nowhere else: the point is to pin
// existing behaviour, not to state a known answer. If a deliberate change
// of behaviour moves it, record the new figures in the same commit and say why.
//
// One recording per C library: the geometry calls the standard single-precision
// sine, cosine and tangent, and MinGW-w64's sinf, cosf and tanf (its own code,
// tanf through msvcrt's tan) differ from glibc's in the last bit for some
// arguments. Those bits move frustum planes and so a few segments' clipping:
// four fewer of the fixed segments are drawn. Each figure pins its own
// platform; the worked-number tests stay exact on both.
#if defined(_WIN32)
constexpr std::uint64_t kRecordedDigest = 0x18464bad3a151bedull;
constexpr long kRecordedLinesDrawn = 6790;
#else
constexpr std::uint64_t kRecordedDigest = 0x2ff0948cf875f07full;
constexpr long kRecordedLinesDrawn = 6794;
#endif

constexpr int kFrusta = 300;
constexpr float kNear = 50.0f;
constexpr float kFar = 20000.0f;

// 64-bit FNV-1a.
class Digest {
public:
    void Add(std::string_view text) {
        for (unsigned char c : text) {
            value_ = (value_ ^ c) * 1099511628211ull;
        }
        // Line ends keep "ab" + "c" apart from "a" + "bc".
        value_ = (value_ ^ '\n') * 1099511628211ull;
    }
    void Add(float number) { Add(std::to_string(std::bit_cast<std::uint32_t>(number))); }
    void Add(Vector v) {
        Add(v.X);
        Add(v.Y);
        Add(v.Z);
    }
    std::uint64_t Value() const { return value_; }

private:
    std::uint64_t value_ = 14695981039346656037ull;
};

// SplitMix64, with every conversion to float spelled out, so the cases are the
// same with any standard library (the standard distributions are not).
class FixedRandom {
public:
    explicit FixedRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [low, high), in single precision.
    float Uniform(float low, float high) {
        const float unit = static_cast<float>(Next() >> 40) * 0x1.0p-24f;
        return low + (high - low) * unit;
    }
    int Integer(int low, int high) {
        return low + static_cast<int>(Next() % static_cast<std::uint64_t>(high - low + 1));
    }
    bool Chance(int percent) { return Integer(0, 99) < percent; }
    Vector Point(Vector centre, float spread) {
        return centre +
               Vector{Uniform(-spread, spread), Uniform(-spread, spread), Uniform(-spread, spread)};
    }

private:
    std::uint64_t state_;
};

struct Tally {
    std::uint64_t digest = 0;
    long draws = 0;
    long linesDrawn = 0;
    // Drawn lines by how many of the segment's own ends were inside, and
    // segments with no line at all.
    long bothEndsInside = 0;
    long oneEndInside = 0;
    long noEndInside = 0;
    long notDrawn = 0;
    long thinLines = 0;
};

// A segment with both ends beyond one plane of the frustum: each end is a
// point inside the frustum moved out along that plane's normal until it lies
// `beyond` units outside (as far as single precision places it), then the two
// are pushed apart along the plane by up to `spread` units each way, so that
// the segment runs past the frustum's other planes. Within one unit of the
// plane, its crossings with those planes still pass the one-unit margin.
LineSegment BeyondPlane(const ViewFrustum& frustum, int plane, float startBeyond, float endBeyond,
                        float spread, float thickness, FixedRandom& random) {
    const Vector normal = Normalize(frustum.Planes[plane].Normal());
    const auto outside = [&](float beyond) {
        // A convex mix of the corners lies inside.
        Vector inside{};
        float total = 0.0f;
        float weights[8];
        for (float& weight : weights) {
            weight = random.Uniform(0.0f, 1.0f);
            total += weight;
        }
        for (int c = 0; c < 8; ++c) {
            inside = inside + frustum.Corners[c] * (weights[c] / total);
        }
        const float distance = Dot(normal, inside) + frustum.Planes[plane].D;
        return inside - normal * (distance + beyond);
    };
    const Vector start = outside(startBeyond);
    const Vector end = outside(endBeyond);
    // Along the plane: any direction with the normal's part taken out.
    const Vector any = random.Point({}, 1.0f);
    const Vector along = Normalize(any - normal * Dot(any, normal)) * random.Uniform(0.0f, spread);
    return {start + along, end - along, thickness};
}

// The segments tried against one frustum: the overlay's own lines to a ball,
// points anywhere around the camera, lines between the frustum's corners
// (grazing its edges, where several planes are recorded), single points, and
// segments beyond one plane by a few units at most.
std::vector<LineSegment> SegmentsFor(const ViewFrustum& frustum, Vector camera,
                                     FixedRandom& random) {
    std::vector<LineSegment> segments;
    const float thickness = random.Chance(20) ? 1.0f : 3.0f;
    const Vector ball{random.Uniform(-4000.0f, 4000.0f), random.Uniform(-5100.0f, 5100.0f),
                      random.Uniform(93.0f, 1900.0f)};
    for (float y : {5000.0f, -5000.0f}) {
        for (float z : {0.0f, 600.0f}) {
            for (float x : {800.0f, -800.0f}) {
                segments.push_back({{x, y, z}, ball, thickness});
            }
        }
    }
    for (int i = 0; i < 24; ++i) {
        const float spread = random.Chance(50) ? 3000.0f : 25000.0f;
        segments.push_back({random.Point(camera, spread), random.Point(camera, spread), thickness});
    }
    for (int i = 0; i < 16; ++i) {
        const Vector a = frustum.Corners[random.Integer(0, 7)];
        const Vector b = frustum.Corners[random.Integer(0, 7)];
        const float jitter = random.Chance(50) ? 0.5f : 3.0f;
        segments.push_back({random.Point(a, jitter), random.Point(b, jitter), thickness});
    }
    for (int i = 0; i < 4; ++i) {
        const Vector point = random.Chance(50) ? random.Point(camera, 3000.0f)
                                               : (frustum.Corners[0] + frustum.Corners[6]) * 0.5f;
        segments.push_back({point, point, thickness});
    }
    for (int i = 0; i < 12; ++i) {
        const int plane = random.Integer(0, 5);
        const float startBeyond = random.Chance(10) ? 1.0f : random.Uniform(0.0f, 4.0f);
        const float endBeyond = random.Chance(10) ? 1.0f : random.Uniform(0.0f, 4.0f);
        const float spread = random.Chance(25) ? 0.0f : 8000.0f;
        segments.push_back(
            BeyondPlane(frustum, plane, startBeyond, endBeyond, spread, thickness, random));
    }
    return segments;
}

Tally ClipFixedCases() {
    FixedRandom random(20261208);
    Digest digest;
    Tally tally;
    const Vector2 sizes[] = {{1600, 900}, {1920, 1080}, {1280, 720}, {800, 800}, {1024, 768}};
    for (int f = 0; f < kFrusta; ++f) {
        const Vector camera{random.Uniform(-5000.0f, 5000.0f), random.Uniform(-6000.0f, 6000.0f),
                            random.Uniform(20.0f, 2000.0f)};
        const Rotator rotation{random.Integer(-16384, 16384), random.Integer(-70000, 70000),
                               random.Chance(25) ? random.Integer(-8000, 8000) : 0};
        const float fov = random.Chance(30) ? 90.0f : random.Uniform(40.0f, 130.0f);
        RecordingCanvas recording(sizes[random.Integer(0, 4)], camera, rotation, fov);

        const ViewFrustum frustum = ViewFrustum::Build(
            recording.Canvas(), RotatorToQuaternion(rotation), camera, fov, kNear, kFar);
        for (const Vector& corner : frustum.Corners) {
            digest.Add(corner);
        }
        for (const FrustumPlane& plane : frustum.Planes) {
            digest.Add(plane.Normal());
            digest.Add(plane.D);
        }

        for (const LineSegment& segment : SegmentsFor(frustum, camera, random)) {
            recording.Clear();
            segment.DrawClipped(recording.Canvas(), frustum);
            ++tally.draws;
            for (const std::string& line : recording.Log()) {
                digest.Add(line);
            }
            if (recording.host.lines.empty()) {
                ++tally.notDrawn;
                continue;
            }
            tally.linesDrawn += static_cast<long>(recording.host.lines.size());
            tally.thinLines += !recording.host.lines.back().widthGiven;
            const int endsInside = int{frustum.IsInside(segment.Start, 0.0f)} +
                                   int{frustum.IsInside(segment.End, 0.0f)};
            (endsInside == 2   ? tally.bothEndsInside
             : endsInside == 1 ? tally.oneEndInside
                               : tally.noEndInside)++;
        }
    }
    tally.digest = digest.Value();
    return tally;
}

std::string Hex(std::uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%016llxull", static_cast<unsigned long long>(value));
    return text;
}

} // namespace

TEST(DrawClippedRegressionTest, FixedSegmentsDrawTheRecordedCanvasCallsToTheBit) {
    const Tally tally = ClipFixedCases();
    EXPECT_EQ(tally.linesDrawn, kRecordedLinesDrawn)
        << "a different number of the " << tally.draws << " fixed segments is drawn now: the "
        << "clipping now keeps or drops segments it did not before";
    EXPECT_EQ(tally.digest, kRecordedDigest)
        << "the frusta built, or the ProjectF/DrawLine calls of the fixed segments, differ from "
           "the recording in some bit (digest now "
        << Hex(tally.digest)
        << "): a frustum plane, a clipped end or the order of the canvas calls moved. A change "
           "that is not meant to change what is drawn must keep every bit; one that is meant "
           "to records the new digest in the same commit, saying why.";
}

// The digest only pins what the cases reach: they must take every path
// through DrawClipped, or a change on a missed path would go unseen.
TEST(DrawClippedRegressionTest, FixedCasesReachEveryOutcome) {
    const Tally tally = ClipFixedCases();
    EXPECT_GT(tally.bothEndsInside, 100) << "too few segments drawn whole";
    EXPECT_GT(tally.oneEndInside, 100) << "too few segments cut at one end";
    EXPECT_GT(tally.noEndInside, 100) << "too few segments cut at both ends";
    EXPECT_GT(tally.notDrawn, 100) << "too few segments missing the view";
    EXPECT_GT(tally.thinLines, 100) << "too few lines of width 1 (the two-point DrawLine)";
}

// What lets the clipping skip its search when both ends lie beyond one plane:
// a crossing point must be inside within the one-unit margin, so a segment
// wholly more than a unit beyond a plane is never drawn, while one within the
// margin still can be.
TEST(DrawClippedRegressionTest, SegmentsBeyondOnePlaneAreDrawnOnlyWithinTheMargin) {
    FixedRandom random(7);
    int drawnWithinMargin = 0;
    for (int f = 0; f < 40; ++f) {
        const Vector camera{random.Uniform(-5000.0f, 5000.0f), random.Uniform(-6000.0f, 6000.0f),
                            random.Uniform(20.0f, 2000.0f)};
        const Rotator rotation{random.Integer(-8000, 8000), random.Integer(-40000, 40000), 0};
        RecordingCanvas recording({1600, 900}, camera, rotation);
        const ViewFrustum frustum = ViewFrustum::Build(
            recording.Canvas(), RotatorToQuaternion(rotation), camera, 90.0f, kNear, kFar);
        for (int i = 0; i < 60; ++i) {
            const int plane = random.Integer(0, 5);
            const bool withinMargin = random.Chance(50);
            const float low = withinMargin ? 0.0f : 1.01f;
            const float high = withinMargin ? 0.9f : 4.0f;
            const LineSegment segment =
                BeyondPlane(frustum, plane, random.Uniform(low, high), random.Uniform(low, high),
                            8000.0f, 3.0f, random);
            recording.Clear();
            segment.DrawClipped(recording.Canvas(), frustum);
            if (withinMargin) {
                drawnWithinMargin += !recording.host.lines.empty();
            } else {
                EXPECT_TRUE(recording.host.lines.empty())
                    << "frustum " << f << ", plane " << plane << ": a segment more than a unit "
                    << "beyond it was drawn";
            }
        }
    }
    EXPECT_GT(drawnWithinMargin, 50) << "segments just beyond a plane should often be drawn";
}
