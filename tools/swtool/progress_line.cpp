#include "tools/swtool/progress_line.h"

#include "platform/process.h"

#include <cstdio>

namespace {

constexpr auto redrawInterval = std::chrono::milliseconds(250);

}  // namespace

ProgressLine::ProgressLine(size_t total, bool quiet)
    : total_(total), shown_(!quiet && platform::standardErrorIsTerminal()), started_(Clock::now()),
      lastDrawn_(started_)
{
}

ProgressLine::~ProgressLine()
{
    if (drawn_)
        std::fputc('\n', stderr);
}

void ProgressLine::update(size_t done)
{
    if (!shown_)
        return;
    const Clock::time_point now = Clock::now();
    if (done < total_ && now - lastDrawn_ < redrawInterval)
        return;
    lastDrawn_ = now;
    draw(done);
}

void ProgressLine::draw(size_t done)
{
    const double seconds = std::chrono::duration<double>(Clock::now() - started_).count();
    const double rate = seconds > 0.0 ? static_cast<double>(done) / seconds : 0.0;
    const double left = rate > 0.0 ? static_cast<double>(total_ - done) / rate : 0.0;
    const auto leftSeconds = static_cast<long>(left + 0.5);
    std::fprintf(stderr, "\r%zu of %zu frames, %.1f frames/s, %ld:%02ld left   ", done, total_, rate,
                 leftSeconds / 60, leftSeconds % 60);
    std::fflush(stderr);
    drawn_ = true;
}
