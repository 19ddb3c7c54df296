#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "output/FrameOutput.h"

namespace sandbox {

// Encodes frames on a thread of its own while the caller draws the next one,
// so a render uses the second core. At most `depth` frames wait between the
// two: memory stays a few frames however long the run, and a caller faster
// than the encoder waits for it.
class EncoderThread {
public:
    explicit EncoderThread(FrameOutput& output, std::size_t depth = 2);
    // Stops without finishing the output: after a failure elsewhere.
    ~EncoderThread();
    EncoderThread(const EncoderThread&) = delete;
    EncoderThread& operator=(const EncoderThread&) = delete;

    // Queues a frame, waiting while the queue is full. Rethrows what the
    // output threw for an earlier frame; nothing is queued after a failure.
    void Push(Image frame);
    // Encodes what is queued, then finishes the output. Rethrows the output's
    // failure.
    void Finish();

    // Seconds the encoder spent in the output (encoding and writing), and
    // the caller spent waiting in Push and Finish. Read after Finish.
    double EncodingSeconds() const { return encodingSeconds_; }
    double WaitingSeconds() const { return waitingSeconds_; }
    // CPU seconds the encoder thread used, Finish's work included.
    double EncodingCpuSeconds() const { return encodingCpuSeconds_; }

private:
    void Run();

    FrameOutput& output_;
    const std::size_t depth_;
    std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable taken_;
    std::deque<Image> queue_;
    bool closing_ = false;
    std::exception_ptr error_;
    double encodingSeconds_ = 0.0;
    double waitingSeconds_ = 0.0;
    double encodingCpuSeconds_ = 0.0;
    std::thread thread_; // last: starts once everything above exists
};

} // namespace sandbox
