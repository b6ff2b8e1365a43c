// What a jump costs: the show rebuilt at a time as straight playback has it
// there (every effect rewound and set up, the events up to a second before
// delivered, that second stepped through off-screen at 60 Hz), on the show
// the build makes, headless.
#include <benchmark/benchmark.h>

#include "tools/swtool/offline_show.h"

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

OfflineShow* theShow()
{
    static std::unique_ptr<OfflineShow> show;
    if (show == nullptr) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ShowSource source;
        source.dataDir = SW_SHOW_DIR;
        show = std::make_unique<OfflineShow>();
        if (!show->open(source, "jump bench"))
            show.reset();
    }
    return show.get();
}

void jump(benchmark::State& state)
{
    OfflineShow* show = theShow();
    if (show == nullptr) {
        state.SkipWithError("the show did not open");
        return;
    }
    const auto target = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        show->restartAt(target);
        show->drawFrameAt(target);
    }
}
// The title over the lake, the trails under motion blur, the welder, the coda.
BENCHMARK(jump)->Arg(20000)->Arg(90000)->Arg(165000)->Arg(250000)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
