#include "tools/swtool/frame_writer.h"

#include "tools/common/png_writer.h"

FrameWriter::FrameWriter(int width, int height) : width_(width), height_(height), worker_([this] { work(); }) {}

FrameWriter::~FrameWriter()
{
    finish();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void FrameWriter::submit(std::string path, std::vector<uint8_t> pixels)
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < maxQueued; });
    queue_.push_back({std::move(path), std::move(pixels)});
    changed_.notify_all();
}

bool FrameWriter::finish()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.empty() && !busy_; });
    return allWritten_;
}

void FrameWriter::work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty())
            return;
        Job job = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        const bool written = writePng(job.path, width_, height_, job.pixels, 3, PngCompression::fast);
        lock.lock();
        busy_ = false;
        allWritten_ = allWritten_ && written;
        changed_.notify_all();
    }
}
