// Work the player does at start-up (extracting and parsing) and per frame
// (deforming grids, building sprite batches).
#include <benchmark/benchmark.h>

#include "resources/archive/pack_archive.h"
#include "resources/draw/grid_mesh.h"
#include "resources/draw/quad_batch.h"
#include "timeline/script.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Every RAR 2.0 method on the same 16 KiB file; the player extracts every
// data file whole at start-up.
void extractMember(benchmark::State& state, const char* member)
{
    const std::string archive = std::string(SW_TESTDATA_DIR) + "/rar/test_v2.rar";
    for (auto _ : state) {
        uint8_t* data = nullptr;
        uint32_t size = 0;
        if (extractFile(&data, &size, member, archive.c_str(), "") == 0) {
            state.SkipWithError("extraction failed");
            break;
        }
        delete[] data;
        state.SetBytesProcessed(state.bytes_processed() + size);
    }
}
BENCHMARK_CAPTURE(extractMember, stored, "p0.bin");
BENCHMARK_CAPTURE(extractMember, best, "p5.bin");
BENCHMARK_CAPTURE(extractMember, multimedia, "pMM.bin");

// A show-sized script: a few thousand timeline lines with definitions.
void parseScript(benchmark::State& state)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "stillwater-bench.scr";
    {
        std::ofstream out(path);
        out << "DEMOSTART 0\n";
        for (int i = 0; i < 100; ++i)
            out << "DEFINE NAME" << i << " " << i << "\n";
        out << "SETUP\n0 SIGNAL 2 200 255\nTIMELINE\n";
        for (int i = 1; i <= state.range(0); ++i)
            out << i * 10 << " SIGNAL NAME" << i % 100 << " 206 255 128 64 32 " << i * 10 << " 500 3 0 100\n";
    }
    for (auto _ : state) {
        Script script(path.string());
        benchmark::DoNotOptimize(script.timelineEvents().size());
    }
    std::filesystem::remove(path);
}
BENCHMARK(parseScript)->Arg(5000);

// The warp filter deforms a 128 x 128 grid on the CPU every frame.
void deformGrid(benchmark::State& state)
{
    GridMesh grid(128, 2.0f, 2.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    float phase = 0.0f;
    for (auto _ : state) {
        for (GridVertex& v : grid.vertices()) {
            v.u = v.restU + 0.01f * std::sin(v.restY * 10.0f + phase);
            v.v = v.restV + 0.01f * std::cos(v.restX * 10.0f + phase);
        }
        phase += 0.1f;
        benchmark::DoNotOptimize(grid.vertices().data());
    }
}
BENCHMARK(deformGrid);

void buildSprites(benchmark::State& state)
{
    const auto count = static_cast<int>(state.range(0));
    std::vector<Particle> particles(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        particles[static_cast<size_t>(i)].position.set(static_cast<float>(i % 100), static_cast<float>(i / 100), 0);
    QuadBatch batch(count);
    Matrix4 m;
    for (auto _ : state) {
        batch.build(m, count, particles.data());
        benchmark::DoNotOptimize(batch.vertex(0));
    }
}
BENCHMARK(buildSprites)->Arg(16000);

}  // namespace
