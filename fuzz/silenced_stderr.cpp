#include "fuzz/silenced_stderr.h"

#include <cstdlib>

namespace {

std::FILE* nowhere()
{
    static std::FILE* const sink = std::fopen("/dev/null", "w");
    return sink;
}

bool verbose()
{
    static const bool on = std::getenv("SW_FUZZ_VERBOSE") != nullptr;
    return on;
}

}  // namespace

SilencedStderr::SilencedStderr()
{
    if (verbose() || nowhere() == nullptr)
        return;
    saved_ = stderr;
    stderr = nowhere();
}

SilencedStderr::~SilencedStderr()
{
    if (saved_ != nullptr)
        stderr = saved_;
}
