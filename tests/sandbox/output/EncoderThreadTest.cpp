// The encoder thread between drawing and encoding: frames arrive in order,
// the queue between the two stays bounded, and a failing output stops the
// run with its own message.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "output/EncoderThread.h"

namespace sandbox {
namespace {

// A frame that carries its number in its first pixel.
Image Numbered(int number) {
    return Image{1, 1, {static_cast<unsigned char>(number), 0, 0, 255}};
}

// Records what it is given; can hold the encoder inside Add until released,
// and can fail at a given frame.
class RecordingOutput : public FrameOutput {
public:
    void Add(const Image& frame) override {
        std::unique_lock lock(mutex);
        released.wait(lock, [this] { return open; });
        if (int(added.size()) + 1 == failAt) {
            throw std::runtime_error("disk full at frame " + std::to_string(failAt));
        }
        added.push_back(frame.rgba[0]);
    }
    void Finish() override { ++finished; }

    void Release() {
        {
            std::lock_guard lock(mutex);
            open = true;
        }
        released.notify_all();
    }

    std::mutex mutex;
    std::condition_variable released;
    bool open = true;
    int failAt = 0;
    std::vector<int> added;
    int finished = 0;
};

TEST(EncoderThreadTest, EveryFrameReachesTheOutputInOrderThenItIsFinishedOnce) {
    RecordingOutput output;
    EncoderThread encoder(output);
    for (int i = 1; i <= 50; ++i) {
        encoder.Push(Numbered(i));
    }
    encoder.Finish();
    ASSERT_EQ(output.added.size(), 50u);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(output.added[i], i + 1) << "position " << i;
    }
    EXPECT_EQ(output.finished, 1);
}

TEST(EncoderThreadTest, ASlowOutputHoldsTheDrawingSideAtTheQueueDepth) {
    RecordingOutput output;
    output.open = false; // the encoder sits in Add with the first frame
    constexpr std::size_t kDepth = 2;
    EncoderThread encoder(output, kDepth);
    std::atomic<int> pushed{0};
    std::thread drawing([&] {
        for (int i = 1; i <= 10; ++i) {
            encoder.Push(Numbered(i));
            ++pushed;
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    // One frame in the encoder's hands, `kDepth` queued; the next Push waits.
    EXPECT_LE(pushed.load(), int(kDepth) + 1) << "the queue grew past its depth";
    output.Release();
    drawing.join();
    encoder.Finish();
    EXPECT_EQ(pushed.load(), 10);
    EXPECT_EQ(output.added.size(), 10u);
}

TEST(EncoderThreadTest, AnOutputFailureIsRethrownAndTheOutputIsNotFinished) {
    RecordingOutput output;
    output.failAt = 3;
    EncoderThread encoder(output);
    std::string message;
    try {
        for (int i = 1; i <= 100; ++i) {
            encoder.Push(Numbered(i));
        }
        encoder.Finish();
    } catch (const std::runtime_error& error) {
        message = error.what();
    }
    EXPECT_EQ(message, "disk full at frame 3");
    EXPECT_EQ(output.added.size(), 2u) << "nothing is encoded after the failure";
    EXPECT_EQ(output.finished, 0);
}

TEST(EncoderThreadTest, DroppedWithoutFinishStopsAndLeavesTheOutputUnfinished) {
    RecordingOutput output;
    {
        EncoderThread encoder(output);
        encoder.Push(Numbered(1));
        encoder.Push(Numbered(2));
    }
    EXPECT_LE(output.added.size(), 2u);
    EXPECT_EQ(output.finished, 0);
}

} // namespace
} // namespace sandbox
