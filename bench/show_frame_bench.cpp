// What the show frame costs on the headless context: a grab of a filter's
// corner (resolved first when the frame has samples) and the presentation
// into windows of two sizes. Each pass ends with glFinish, so the time is
// the rasteriser's work, not the queueing of it.
#include <benchmark/benchmark.h>

#include "tests/support/headless_frame.h"

#include <GL/gl.h>

namespace {

// Arguments: samples, corner size.
void grabCorner(benchmark::State& state)
{
    const int samples = static_cast<int>(state.range(0));
    const int size = static_cast<int>(state.range(1));
    HeadlessFrame headless(640, 480, samples);
    if (!headless.made()) {
        state.SkipWithError("no show frame");
        return;
    }
    glClearColor(0.3f, 0.5f, 0.7f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    for (auto _ : state) {
        headless.frame().grabInto(GL_TEXTURE_2D, 0, 0, 0, 0, size, size);
        glFinish();
    }
    glDeleteTextures(1, &texture);
}
BENCHMARK(grabCorner)->Args({0, 256})->Args({4, 256})->Args({0, 512})->Args({4, 512})->Unit(benchmark::kMillisecond);

// Arguments: samples, window width, window height.
void present(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(1));
    const int height = static_cast<int>(state.range(2));
    HeadlessFrame headless(width, height, static_cast<int>(state.range(0)));
    if (!headless.made()) {
        state.SkipWithError("no show frame");
        return;
    }
    for (auto _ : state) {
        headless.frame().present(width, height);
        glFinish();
    }
}
BENCHMARK(present)
    ->Args({0, 640, 480})
    ->Args({4, 640, 480})
    ->Args({0, 1024, 768})
    ->Args({4, 1024, 768})
    ->Args({4, 1920, 1080})
    ->Unit(benchmark::kMillisecond);

}  // namespace
