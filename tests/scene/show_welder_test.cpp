// The default show's welding robot, played by the show's own script: in
// every weld the torch throws sparks that fly out over the bench, clearly
// visible, and bounce on it.
#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "resources/datafile.h"
#include "scene/welder_scene.h"
#include "tests/scene/scene_builders.h"
#include "timeline/script.h"

namespace {

const std::filesystem::path showDir = std::filesystem::path(SW_BINARY_DIR) / "show";

class ShowWelderTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        clearDataArchive();
        previous_ = std::filesystem::current_path();
        // The welder finds its textures under "data/textures/" of the show.
        std::error_code error;
        std::filesystem::current_path(showDir, error);
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    std::filesystem::path previous_;
};

// The number the script's definitions give a name; -1 without one.
int definedNumber(const Script& script, const std::string& name)
{
    for (const Define& define : script.defines())
        if (define.name == name)
            return std::atoi(define.replacement.c_str());
    return -1;
}

// Pixels that differ by more than a faint glimmer between two frames.
int differingPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    int count = 0;
    for (size_t i = 0; i + 2 < a.size(); i += 3) {
        int most = 0;
        for (size_t c = 0; c < 3; ++c)
            most = std::max(most, std::abs(int(a[i + c]) - int(b[i + c])));
        count += most > 40 ? 1 : 0;
    }
    return count;
}

// What one weld looked like: from the first frame its sparks were thrown to
// 0.6 s later or the next weld.
struct Weld {
    int32_t start = 0;
    float widest = 0.0f;    // across the sparks, in the camera's units
    bool bounced = false;   // a spark below the torch on its way up again
    int sparkPixels = 0;    // where the sparks alone change the picture
};

TEST_F(ShowWelderTest, SparksFlyAndBounceInEveryWeld)
{
    if (!std::filesystem::exists("data/welderscene4.scn"))
        GTEST_SKIP() << "the show has not been built at " << showDir;
    const Script script(std::string(SW_SOURCE_DIR) + "/content/data/script.scr");
    const int number = definedNumber(script, "WELDER");
    ASSERT_GE(number, 0) << "the script names no WELDER";
    WelderScene welder("data/welderscene4.scn");
    SparkEmitter* emitter = welder.emitter();
    ASSERT_NE(emitter, nullptr);
    std::vector<const ScriptEvent*> events;
    for (const auto& event : script.timelineEvents())
        if (event->effect == number)
            events.push_back(event.get());
    ASSERT_FALSE(events.empty());

    // The player's frames at 60 a second over the welder's stretch.
    welder.start(0);
    size_t next = 0;
    std::vector<Weld> welds;
    const int32_t first = events.front()->time;
    const int32_t last = events.back()->time;
    for (int frame = 0;; ++frame) {
        const int32_t time = first + frame * 1000 / 60;
        if (time > last)
            break;
        for (; next < events.size() && events[next]->time <= time; ++next) {
            const ScriptEvent& e = *events[next];
            switch (e.kind) {
            case EventKind::start: welder.activate(); break;
            case EventKind::end: welder.deactivate(); break;
            case EventKind::init: welder.start(e.time); break;
            case EventKind::signal: welder.command(e.payload); break;
            }
        }
        if (!welder.isActive())
            continue;
        clearFrame();
        const bool wasEmitting = emitter->emitting();
        welder.render(time);
        if (emitter->emitting() && !wasEmitting)
            welds.push_back({time});
        if (welds.empty() || time - welds.back().start > 600)
            continue;
        Weld& weld = welds.back();
        const Vec3 torch = emitter->origin();
        float left = torch.x, right = torch.x;
        for (int i = 0; i < emitter->activeCount(); ++i) {
            const Spark& s = emitter->activeSpark(i);
            left = std::min(left, s.position.x);
            right = std::max(right, s.position.x);
            // Thrown upwards or level and pulled down: rising below the
            // torch only after a bounce.
            weld.bounced = weld.bounced || (s.velocity.y > 0.0f && s.position.y < torch.y - 0.5f);
        }
        weld.widest = std::max(weld.widest, right - left);
        if (time - weld.start >= 250 && weld.sparkPixels == 0) {
            // The same frame again without the sparks (and, in both, without
            // the glow, whose flicker differs from frame to frame).
            welder.glow()->setVisible(false, false);
            clearFrame();
            welder.render(time);
            const std::vector<uint8_t> with = readFrameRgb();
            emitter->setVisible(false, false);
            clearFrame();
            welder.render(time);
            weld.sparkPixels = differingPixels(with, readFrameRgb());
            emitter->setVisible(true, false);
            welder.glow()->setVisible(true, false);
        }
    }

    ASSERT_GE(welds.size(), 3u) << "too few welds in the welder's stretch";
    for (const Weld& weld : welds) {
        SCOPED_TRACE(weld.start);
        EXPECT_GE(weld.widest, 15.0f) << "the sparks stay at the torch";
        EXPECT_TRUE(weld.bounced);
        EXPECT_GE(weld.sparkPixels, 250) << "the sparks are hard to see";
    }
}

}  // namespace
