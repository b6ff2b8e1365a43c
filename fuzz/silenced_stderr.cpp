#include "fuzz/silenced_stderr.h"

#include <cstdlib>

#ifdef __GLIBC__
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
#endif

SilencedStderr::SilencedStderr()
{
#ifdef __GLIBC__
    if (verbose() || nowhere() == nullptr)
        return;
    saved_ = stderr;
    stderr = nowhere();
#endif
}

SilencedStderr::~SilencedStderr()
{
#ifdef __GLIBC__
    if (saved_ != nullptr)
        stderr = saved_;
#endif
}
