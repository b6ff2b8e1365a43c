// The show at a time is a function of that time: the same frames at 30,
// 50, 60 and 144 frames a second, and the same after a jump as in straight
// playback. Played offscreen on the show's own data with a script of the
// effects whose look builds up over time.
#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "timeline/demo.h"
#include "tools/swtool/offline_show.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// Layers with a picture list, a flash every 937 ms, gliding and flickering
// bars, light trails and then their motion blur, and a fade: no noise, no
// scene.
constexpr const char* timeScript = R"(DEMOSTART 0
SETUP
0 SIGNAL 63 10 180
0 SIGNAL 54 99 1
0 SIGNAL 54 31 data/images/moon.tga
TIMELINE
1 START 0
1 SIGNAL 0 200 0 8 24
1 START 54
1 SIGNAL 54 99 1
1 SIGNAL 54 30 0
1 SIGNAL 54 202 60 6 30 30
1 SIGNAL 54 97 0
1 INIT 63
1 SIGNAL 63 2 937
1 START 63
500 START 46
500 SIGNAL 46 201 40 90 160 120
1500 START 47
1500 SIGNAL 47 93 1
1500 SIGNAL 47 94 0
1500 SIGNAL 47 201 255 255 255 60
2000 START 7
2000 INIT 7
2000 SIGNAL 7 200 255 190 90
2000 SIGNAL 7 91 8
5000 END 7
5000 SIGNAL 42 70 7
5000 INIT 42
5000 START 42
5000 SIGNAL 7 200 255 190 90
7000 INIT 62
7000 SIGNAL 62 6 1500
)";

class ShowTimeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        folder_ = std::make_unique<TempDir>();
        const std::filesystem::path data = std::filesystem::path(SW_BINARY_DIR) / "show" / "data";
        std::filesystem::create_directories(folder_->path() / "data");
        for (const auto& entry : std::filesystem::directory_iterator(data)) {
            if (entry.path().filename() != "script.scr")
                std::filesystem::create_symlink(entry.path(), folder_->path() / "data" / entry.path().filename());
        }
        folder_->write("data/script.scr", timeScript);
        ShowSource source;
        source.dataDir = folder_->path().string();
        show_ = std::make_unique<OfflineShow>();
        ASSERT_TRUE(show_->open(source, "show time test"));
    }
    static void TearDownTestSuite()
    {
        show_.reset();
        std::filesystem::current_path(SW_BINARY_DIR);
        folder_.reset();
    }

    // Plays from the start at fps, keeping the frames at the given times.
    static std::map<int, std::vector<uint8_t>> play(double fps, int until, const std::vector<int>& kept)
    {
        show_->restartAt(0);
        std::map<int, std::vector<uint8_t>> frames;
        const auto keep = [&](int time) {
            std::vector<uint8_t> pixels(640 * 480 * 3);
            readFrameRgb(pixels.data());
            frames[time] = std::move(pixels);
        };
        size_t next = 0;
        for (int i = 0;; ++i) {
            const auto time = static_cast<int>(static_cast<double>(i) * 1000.0 / fps);
            // The kept times are drawn as frames of their own where the rate
            // does not land on them, as a frame of a display would.
            while (next < kept.size() && kept[next] < time) {
                show_->drawFrameAt(kept[next]);
                keep(kept[next++]);
            }
            if (time > until)
                break;
            show_->drawFrameAt(time);
            if (next < kept.size() && kept[next] == time)
                keep(kept[next++]);
        }
        return frames;
    }

    static std::unique_ptr<TempDir> folder_;
    static std::unique_ptr<OfflineShow> show_;
};

std::unique_ptr<TempDir> ShowTimeTest::folder_;
std::unique_ptr<OfflineShow> ShowTimeTest::show_;

struct Difference {
    int pixels = 0;
    int largest = 0;
};

Difference compare(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    Difference d;
    for (size_t i = 0; i < a.size(); i += 3) {
        int most = 0;
        for (size_t c = 0; c < 3; ++c)
            most = std::max(most, std::abs(int(a[i + c]) - int(b[i + c])));
        d.pixels += most > 0;
        d.largest = std::max(d.largest, most);
    }
    return d;
}

std::vector<int> everyTenth(int from, int to)
{
    std::vector<int> times;
    for (int t = from; t <= to; t += 100)
        times.push_back(t);
    return times;
}

TEST_F(ShowTimeTest, TheSameFramesAtAnyFrameRate)
{
    const std::vector<int> times = everyTenth(300, 8000);
    const auto reference = play(60.0, 8000, times);
    for (const double fps : {144.0, 50.0, 30.0}) {
        const auto other = play(fps, 8000, times);
        for (const int time : times) {
            const Difference d = compare(reference.at(time), other.at(time));
            EXPECT_EQ(d.pixels, 0) << fps << " fps at " << time << " ms: " << d.pixels << " pixels differ, by up to "
                                   << d.largest;
        }
    }
}

TEST_F(ShowTimeTest, AJumpShowsWhatStraightPlaybackShows)
{
    for (const int target : {2500, 5600, 8000}) {
        const std::vector<int> times = everyTenth(target, target + 1000);
        const auto straight = play(60.0, target + 1000, times);
        show_->restartAt(target);
        std::map<int, std::vector<uint8_t>> jumped;
        for (int i = 0;; ++i) {
            const int time = target + static_cast<int>(i * 1000 / 60);
            if (time > target + 1000)
                break;
            show_->drawFrameAt(time);
            if ((time - target) % 100 == 0 || std::find(times.begin(), times.end(), time) != times.end()) {
                std::vector<uint8_t> pixels(640 * 480 * 3);
                readFrameRgb(pixels.data());
                jumped[time] = std::move(pixels);
            }
        }
        for (const auto& [time, pixels] : jumped) {
            if (straight.count(time) == 0)
                continue;
            const Difference d = compare(straight.at(time), pixels);
            EXPECT_EQ(d.pixels, 0) << "jump to " << target << ", at " << time << " ms: " << d.pixels
                                   << " pixels differ, by up to " << d.largest;
        }
    }
}

}  // namespace
