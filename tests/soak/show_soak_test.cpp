// A long run of the show as the player gives it: the whole show on the
// manual clock, then a hundred reloads as Control + Shift makes them, each
// followed by a few seconds of show. No frame may leave a GL error behind,
// and memory, open files and textures must not grow from reload to reload.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/native_window.h"
#include "shell/entry.h"
#include "shell/glwindow.h"
#include "tests/soak/process_usage.h"
#include "timeline/demo.h"
#include "tools/swtool/offline_show.h"

namespace {

constexpr int framesPerSecond = 60;
// The whole show at 60 took about 12 minutes on the project's loaded
// two-core machine; a third of the frames still visits every stretch and
// every event, and keeps the test within about ten minutes.
constexpr int wholeShowFramesPerSecond = 20;
constexpr int reloads = 100;
constexpr int64_t showAfterReloadMs = 3000;
// Resident memory after the last reload may exceed that after the first by
// this share: allocators keep some slack, a leak per reload would not fit.
constexpr double residentSlack = 0.05;

std::string describe(GLenum error)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", error);
    const auto* name = reinterpret_cast<const char*>(gluErrorString(error));
    return std::string(code) + " (" + (name != nullptr ? name : "unknown") + ")";
}

// The first GL error a frame left, named with the frame's demo time; empty
// when it left none. Every pending error is taken off the queue.
std::string frameError(int64_t demoTime)
{
    std::string report;
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        if (report.empty())
            report = "GL error " + describe(error) + " after the frame at demo time " + std::to_string(demoTime) + " ms";
    }
    return report;
}

// Control and Shift both pressed (down) or let go, through the event queue
// and the window procedure as the player's loop takes them.
void sendReloadKeys(GLWindow& window, bool down)
{
    for (const char* key : {"Left Ctrl", "Left Shift"})
        ASSERT_TRUE(platform::pushKeyEvent(key, down)) << key;
    platform::Event event;
    while (platform::pollEvent(event))
        window.handleEvent(event);
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string usageText(const ProcessUsage& usage)
{
    return "resident " + std::to_string(usage.residentBytes / 1024) + " KiB, " +
           std::to_string(usage.openDescriptors) + " open descriptors, " + std::to_string(usage.managedTextures) +
           " managed textures, " + std::to_string(usage.liveGlTextures) + " GL textures";
}

class ShowSoak : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string showDir = std::string(SW_BINARY_DIR) + "/show";
        ShowSource source;
        source.dataDir = showDir;
        source.music = showDir + "/soundtrack.ogg";
        ASSERT_TRUE(show_.open(source, "soak"));
        // A reload plays the music stream from the start time, as in the
        // player; headless, the dummy audio driver takes it.
        ASSERT_TRUE(show_.window().initSound());
        ASSERT_TRUE(show_.window().openMusic(source.music.c_str()));
        ASSERT_EQ(frameError(0), "") << "before the first frame";
    }

    // Frames from the current clock reading on, for ms of the timer, at the
    // soak's frame rate; the first GL error ends the run.
    void playFor(int64_t ms)
    {
        const int64_t start = show_.clock().counter();
        for (int64_t frame = 0; frame * 1000 / framesPerSecond <= ms; ++frame) {
            show_.clock().set(start + frame * 1000 / framesPerSecond);
            show_.demo().frame();
            const std::string error = frameError(show_.window().timerNow());
            ASSERT_EQ(error, "");
        }
    }

    void reloadAsTheKeysDo()
    {
        sendReloadKeys(show_.window(), true);
        show_.demo().frame();
        ASSERT_TRUE(show_.demo().reloadRequested());
        sendReloadKeys(show_.window(), false);
        startShow(show_.window(), show_.demo(), show_.registry());
        ASSERT_EQ(frameError(show_.window().timerNow()), "") << "setting the show up again";
    }

    OfflineShow show_;
};

TEST_F(ShowSoak, TheWholeShowThenAHundredReloadsLeaveNoErrorAndNoGrowth)
{
    const auto start = std::chrono::steady_clock::now();
    for (const int time : stepTimes(0, Demo::defaultEndTime, wholeShowFramesPerSecond)) {
        show_.drawFrameAt(time);
        const std::string error = frameError(time);
        ASSERT_EQ(error, "") << "in the whole show";
    }
    ASSERT_TRUE(show_.demo().quitRequested()) << "the show did not reach its end";
    std::printf("the whole show: %.0f s\n", secondsSince(start));

    ProcessUsage first;
    const auto reloadsStart = std::chrono::steady_clock::now();
    for (int reload = 1; reload <= reloads; ++reload) {
        SCOPED_TRACE("reload " + std::to_string(reload));
        reloadAsTheKeysDo();
        if (!HasFatalFailure())
            playFor(showAfterReloadMs);
        if (HasFatalFailure())
            return;
        if (reload == 1)
            first = measureUsage();
    }
    const ProcessUsage last = measureUsage();
    std::printf("%d reloads: %.0f s\n", reloads, secondsSince(reloadsStart));
    std::printf("after the first reload: %s\nafter the last reload:  %s\n", usageText(first).c_str(),
                usageText(last).c_str());
    EXPECT_LE(static_cast<double>(last.residentBytes), static_cast<double>(first.residentBytes) * (1 + residentSlack));
    EXPECT_LE(last.openDescriptors, first.openDescriptors);
    EXPECT_EQ(last.managedTextures, first.managedTextures);
    EXPECT_LE(last.liveGlTextures, first.liveGlTextures);
}

}  // namespace
