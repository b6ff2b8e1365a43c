#pragma once
// Writes rendered frames as PNG files on a worker thread, so that encoding
// one frame overlaps drawing the next.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FrameWriter {
public:
    // Starts the worker. Frames are width x height RGB, top row first.
    FrameWriter(int width, int height);
    // Writes what is queued, then stops the worker.
    ~FrameWriter();
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // Queues one frame for `path`; waits while a few frames are already
    // queued, so memory stays bounded when encoding is the slower side.
    void submit(std::string path, std::vector<uint8_t> pixels);
    // Waits until every queued frame is written; false when any could not be.
    bool finish();

private:
    struct Job {
        std::string path;
        std::vector<uint8_t> pixels;
    };
    void work();

    static constexpr size_t maxQueued = 3;
    const int width_;
    const int height_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queue_;
    bool busy_ = false;
    bool stopping_ = false;
    bool allWritten_ = true;
    std::thread worker_;
};
