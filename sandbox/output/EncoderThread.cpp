#include "output/EncoderThread.h"

#include <chrono>

#include "base/ThreadCpuTime.h"

namespace sandbox {

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

EncoderThread::EncoderThread(FrameOutput& output, std::size_t depth)
    : output_(output), depth_(depth < 1 ? 1 : depth), thread_([this] { Run(); }) {}

EncoderThread::~EncoderThread() {
    if (!thread_.joinable()) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
        queue_.clear();
    }
    queued_.notify_one();
    thread_.join();
}

void EncoderThread::Run() {
    for (;;) {
        Image frame;
        {
            std::unique_lock lock(mutex_);
            queued_.wait(lock, [this] { return !queue_.empty() || closing_; });
            if (queue_.empty()) {
                // Read after the join.
                encodingCpuSeconds_ = ThreadCpuSeconds();
                return;
            }
            frame = std::move(queue_.front());
            queue_.pop_front();
        }
        taken_.notify_one();
        const Clock::time_point start = Clock::now();
        try {
            output_.Add(frame);
        } catch (...) {
            std::lock_guard lock(mutex_);
            error_ = std::current_exception();
            queue_.clear();
            taken_.notify_all();
            return;
        }
        // Only this thread writes it, and it is read after the join.
        encodingSeconds_ += SecondsSince(start);
    }
}

void EncoderThread::Push(Image frame) {
    std::unique_lock lock(mutex_);
    const Clock::time_point start = Clock::now();
    taken_.wait(lock, [this] { return queue_.size() < depth_ || error_; });
    waitingSeconds_ += SecondsSince(start);
    if (error_) {
        std::rethrow_exception(error_);
    }
    queue_.push_back(std::move(frame));
    lock.unlock();
    queued_.notify_one();
}

void EncoderThread::Finish() {
    const Clock::time_point start = Clock::now();
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    queued_.notify_one();
    thread_.join();
    waitingSeconds_ += SecondsSince(start);
    if (error_) {
        std::rethrow_exception(error_);
    }
    const Clock::time_point finishing = Clock::now();
    const double cpu = ThreadCpuSeconds();
    output_.Finish();
    encodingSeconds_ += SecondsSince(finishing);
    encodingCpuSeconds_ += ThreadCpuSeconds() - cpu;
}

} // namespace sandbox
