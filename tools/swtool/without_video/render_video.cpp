// swtool render --video in a build without FFmpeg's libraries (the Windows
// package): the option is known, and refused with a reason.
#include "tools/swtool/render_video.h"
#include "tools/swtool/video_writer.h"

#include <cstdio>

// Every name passes, so that the one reason that matters is given: this
// build writes no video at all, whatever the container.
bool videoFormatKnown(const std::string&) { return true; }

int renderVideo(OfflineShow&, const VideoJob& job)
{
    std::fprintf(stderr,
                 "swtool render: cannot write %s: this swtool was built without video output "
                 "(render PNG frames with --out DIR instead)\n",
                 job.path.c_str());
    return 1;
}
