#include "tests/support/gl_test.h"
#include "tests/support/temp_dir.h"

#include "platform/native_window.h"
#include "resources/datafile.h"
#include "timeline/demo.h"
#include "timeline/effect.h"
#include "timeline/registry.h"

#include <GL/gl.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Records every call the player and registry make, in one shared log.
class RecordingEffect : public Effect {
public:
    RecordingEffect(std::vector<std::string>& log, int number) : log_(log), number_(number) {}
    void start(int32_t time) override { note("start " + std::to_string(time)); }
    void render(int32_t time) override
    {
        note("render " + std::to_string(time));
        // Spoil both matrices: the registry must restore them.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glTranslatef(float(number_), 0, 0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0, float(number_), 0);
    }
    void prerender(int32_t time) override { note("prerender " + std::to_string(time)); }
    void command(Command c) override { note("command " + std::to_string(c.code) + " " + std::to_string(c.first())); }

private:
    void note(const std::string& what) { log_.push_back(std::to_string(number_) + " " + what); }
    std::vector<std::string>& log_;
    int number_;
};

class DemoTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        clearDataArchive();
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_.path());
        for (int n : {0, 3, 5}) {
            effects_.push_back(std::make_unique<RecordingEffect>(log_, n));
            registry_.set(n, effects_.back().get());
        }
        window().clearKeys();
        drainEvents();
    }
    void TearDown() override
    {
        window().clearKeys();
        std::filesystem::current_path(previous_);
    }
    static void drainEvents()
    {
        platform::Event event;
        while (platform::pollEvent(event))
            window().handleEvent(event);
    }
    // Sets the demo up and starts the time at the script's start.
    void setup(Demo& demo, const std::string& script)
    {
        dir_.write("data/script.scr", script);
        demo.setup(window(), registry_);
        clock().set(0);
        window().transport(demo.startTime(), false);
        log_.clear();
    }
    // The renders the log holds, by their times.
    std::vector<int> renderTimes(int effect) const
    {
        std::vector<int> times;
        const std::string prefix = std::to_string(effect) + " render ";
        for (const std::string& line : log_)
            if (line.rfind(prefix, 0) == 0)
                times.push_back(std::stoi(line.substr(prefix.size())));
        return times;
    }
    void frameAt(Demo& demo, int time)
    {
        clock().set(time - demo.startTime());
        demo.frame();
    }

    TempDir dir_;
    std::filesystem::path previous_;
    std::vector<std::string> log_;
    std::vector<std::unique_ptr<RecordingEffect>> effects_;
    EffectRegistry registry_;
};

TEST_F(DemoTest, SetupDeliversCommandsBeforeStartingAndBeginShowsTheStartBeforeTimeMoves)
{
    Demo demo("data/script.scr");
    dir_.write("data/script.scr",
               "DEMOSTART 4000\nSETUP\n0 SIGNAL 5 77 1\n0 SIGNAL 9 1 1\n0 SIGNAL 3 78 2\nTIMELINE\n4000 START 3\n");
    clock().set(0);
    demo.setup(window(), registry_);
    const std::vector<std::string> expected = {"5 command 77 1", "3 command 78 2", "0 start 0", "3 start 0",
                                               "5 start 0"};
    EXPECT_EQ(log_, expected);
    EXPECT_EQ(demo.startTime(), 4000);
    EXPECT_EQ(demo.endTime(), 287000);

    // The first frame is drawn at the start while the clock has not moved;
    // the time then starts there.
    log_.clear();
    clock().set(700);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);  // what loading left on the frame
    glClear(GL_COLOR_BUFFER_BIT);
    demo.begin();
    EXPECT_EQ(readPixel(320, 240).r, 0) << "the first frame does not show what loading drew";
    EXPECT_EQ(renderTimes(3), std::vector<int>{4000});
    EXPECT_EQ(window().timerNow(), 4000);
    clock().advance(25);
    demo.frame();
    EXPECT_EQ(window().timerNow(), 4025);
}

TEST_F(DemoTest, EventsFireOnceInOrderWhenDue)
{
    Demo demo("data/script.scr");
    setup(demo, "SETUP\nTIMELINE\n100 START 3\n100 SIGNAL 3 50 7\n200 START 5\n300 INIT 5\n300 SIGNAL 40 1 1\n");
    frameAt(demo, 99);
    EXPECT_TRUE(log_.empty());  // nothing active, nothing due
    frameAt(demo, 100);
    EXPECT_EQ(log_, (std::vector<std::string>{"3 command 50 7", "3 prerender 100", "3 render 100"}));
    log_.clear();
    // A jump in time fires everything passed, in order, with one render time.
    frameAt(demo, 1000);
    EXPECT_EQ(log_, (std::vector<std::string>{"5 start 300", "3 prerender 1000", "5 prerender 1000",
                                              "3 render 1000", "5 render 1000"}));
    log_.clear();
    frameAt(demo, 1001);
    EXPECT_EQ(log_.size(), 4u);  // no event fires twice
}

TEST_F(DemoTest, StartAndEndAtTheSameTimeLeaveTheEffectHidden)
{
    Demo demo("data/script.scr");
    setup(demo, "SETUP\nTIMELINE\n100 START 3\n100 END 3\n");
    frameAt(demo, 150);
    EXPECT_TRUE(log_.empty());
}

TEST_F(DemoTest, BackgroundRendersFirstAndMatricesAreIsolated)
{
    Demo demo("data/script.scr");
    setup(demo, "SETUP\nTIMELINE\n10 START 5\n10 START 0\n10 START 3\n");
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    frameAt(demo, 10);
    EXPECT_EQ(log_, (std::vector<std::string>{"0 render 10", "0 prerender 10", "3 prerender 10",
                                              "5 prerender 10", "3 render 10", "5 render 10"}));
    // Effect 0 renders without a save: its matrices remain; 3 and 5 are undone.
    GLfloat projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_FLOAT_EQ(projection[12], 0.0f);
    EXPECT_FLOAT_EQ(modelview[13], 0.0f);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLint depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

TEST_F(DemoTest, EscapeQuitsWithoutRenderingButNotWhileMinimised)
{
    Demo demo("data/script.scr");
    setup(demo, "SETUP\nTIMELINE\n10 START 3\n");
    platform::pushWindowEvent(platform::EventKind::minimised);
    platform::pushKeyEvent("Escape", true);
    drainEvents();
    frameAt(demo, 50);
    EXPECT_FALSE(demo.quitRequested());
    EXPECT_TRUE(log_.empty());  // minimised: nothing fired or rendered
    platform::pushWindowEvent(platform::EventKind::restored);
    drainEvents();
    frameAt(demo, 60);
    EXPECT_TRUE(demo.quitRequested());
    EXPECT_TRUE(log_.empty());
    window().clearKeys();
    // After restoring, the timeline catches up in one frame.
    frameAt(demo, 70);
    EXPECT_EQ(log_, (std::vector<std::string>{"3 prerender 70", "3 render 70"}));
}

TEST_F(DemoTest, AKeyTappedBetweenTwoFramesCountsForTheNextFrame)
{
    // Down and up both arrive while a frame draws: the next frame sees them.
    Demo demo("data/script.scr");
    setup(demo, "SETUP\nTIMELINE\n10 START 3\n");
    platform::pushKeyEvent("Escape", true);
    platform::pushKeyEvent("Escape", false);
    drainEvents();
    frameAt(demo, 50);
    EXPECT_TRUE(demo.quitRequested());
    window().clearKeys();

    setup(demo, "SETUP\nTIMELINE\n10 START 3\n");
    for (const char* key : {"Left Ctrl", "Left Shift"})
        platform::pushKeyEvent(key, true);
    for (const char* key : {"Left Shift", "Left Ctrl"})
        platform::pushKeyEvent(key, false);
    drainEvents();
    frameAt(demo, 60);
    EXPECT_TRUE(demo.reloadRequested());
    window().clearKeys();

    // A tap counts once: Shift seen by one frame and Control by a later one
    // are no Control + Shift.
    setup(demo, "SETUP\nTIMELINE\n10 START 3\n");
    platform::pushKeyEvent("Left Shift", true);
    platform::pushKeyEvent("Left Shift", false);
    drainEvents();
    frameAt(demo, 70);
    platform::pushKeyEvent("Left Ctrl", true);
    platform::pushKeyEvent("Left Ctrl", false);
    drainEvents();
    frameAt(demo, 80);
    EXPECT_FALSE(demo.reloadRequested());
    EXPECT_FALSE(demo.quitRequested());
    EXPECT_EQ(log_.back(), "3 render 80");
}

TEST_F(DemoTest, ControlShiftReloadsTheCurrentFile)
{
    Demo demo("data/script.scr");
    setup(demo, "DEMOSTART 100\nSETUP\nTIMELINE\n150 START 3\n");
    frameAt(demo, 200);
    EXPECT_TRUE(effects_[1]->isActive());
    platform::pushKeyEvent("Left Ctrl", true);
    platform::pushKeyEvent("Left Shift", true);
    drainEvents();
    log_.clear();
    frameAt(demo, 250);
    EXPECT_TRUE(demo.reloadRequested());
    EXPECT_EQ(demo.script(), nullptr);
    EXPECT_FALSE(effects_[1]->isActive());
    EXPECT_TRUE(log_.empty());
    window().clearKeys();

    setup(demo, "DEMOSTART 900\nSETUP\nTIMELINE\n1000 START 5\n");
    EXPECT_FALSE(demo.reloadRequested());
    EXPECT_EQ(demo.startTime(), 900);
    EXPECT_EQ(window().timerNow(), 900);
    frameAt(demo, 1000);
    EXPECT_EQ(log_, (std::vector<std::string>{"5 prerender 1000", "5 render 1000"}));
}

// With loose data being worked on, Control + Shift reads the script first:
// a broken one is reported and the show plays on; a good one restarts.
TEST_F(DemoTest, LenientControlShiftKeepsTheLastGoodScript)
{
    Demo demo("data/script.scr");
    demo.setLenientReload(true);
    setup(demo, "SETUP\nTIMELINE\n100 START 3\n");
    frameAt(demo, 200);
    dir_.write("data/script.scr", "SETUP\n0 START 3\nTIMELINE\n");
    platform::pushKeyEvent("Left Ctrl", true);
    platform::pushKeyEvent("Left Shift", true);
    drainEvents();
    log_.clear();
    testing::internal::CaptureStderr();
    frameAt(demo, 250);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(demo.reloadRequested());
    EXPECT_NE(said.find("script: the last good script plays on"), std::string::npos) << said;
    EXPECT_EQ(log_.back(), "3 render 250");
    frameAt(demo, 260);  // keys still held: no second message, the show goes on
    EXPECT_EQ(log_.back(), "3 render 260");

    dir_.write("data/script.scr", "DEMOSTART 900\nSETUP\nTIMELINE\n1000 START 5\n");
    platform::pushKeyEvent("Left Ctrl", true);
    platform::pushKeyEvent("Left Shift", true);
    drainEvents();
    frameAt(demo, 300);
    EXPECT_TRUE(demo.reloadRequested());
    window().clearKeys();
    demo.setup(window(), registry_);
    EXPECT_EQ(demo.startTime(), 900) << "the script read for the reload is the one set up";
}

TEST_F(DemoTest, TheFrameReachingTheEndStillRenders)
{
    Demo demo("data/script.scr");
    demo.setEndTime(500);
    setup(demo, "SETUP\nTIMELINE\n100 START 3\n500 START 5\n");
    frameAt(demo, 499);
    EXPECT_FALSE(demo.quitRequested());
    log_.clear();
    frameAt(demo, 500);
    EXPECT_TRUE(demo.quitRequested());
    EXPECT_EQ(log_.back(), "5 render 500");
}

// Taps a key as the keyboard would, between two frames.
void tap(const char* key)
{
    platform::pushKeyEvent(key, true);
    platform::pushKeyEvent(key, false);
}

TEST_F(DemoTest, JumpsSetTheShowUpAgainAndFireEveryEventUpToTheTarget)
{
    Demo demo("data/script.scr");
    demo.setEndTime(40000);
    setup(demo, "SETUP\n0 SIGNAL 3 11 1\nTIMELINE\n100 START 3\n6000 START 5\n6000 SIGNAL 5 22 6\n"
                "9000 SIGNAL 5 33 9\n");
    frameAt(demo, 1000);
    log_.clear();
    const auto jumpWith = [&](const char* key) {
        tap(key);
        drainEvents();
        log_.clear();
        demo.frame();
    };
    jumpWith("Right");  // 1000 + 5000: set up, the second before stepped through, then every event up to 6000
    const std::vector<std::string> setupLines = {"3 command 11 1", "0 start 0", "3 start 0", "5 start 0"};
    ASSERT_GE(log_.size(), setupLines.size());
    EXPECT_EQ(std::vector<std::string>(log_.begin(), log_.begin() + 4), setupLines);
    EXPECT_EQ(std::count(log_.begin(), log_.end(), "5 command 22 6"), 1);
    const std::vector<int> past = renderTimes(3);
    ASSERT_EQ(past.size(), 61u) << "60 steps of the second before, then the frame";
    EXPECT_EQ(past.front(), 5000);
    EXPECT_EQ(past[59], 5983);
    EXPECT_EQ(past.back(), 6000);
    EXPECT_EQ(renderTimes(5), std::vector<int>{6000}) << "effect 5 starts at 6000";
    const std::vector<std::string> frame = {"5 command 22 6", "3 prerender 6000", "5 prerender 6000",
                                            "3 render 6000", "5 render 6000"};
    EXPECT_EQ(std::vector<std::string>(log_.end() - 5, log_.end()), frame);
    EXPECT_EQ(window().timerNow(), 6000);
    clock().advance(500);
    jumpWith("Left");  // 6500 - 5000: effect 5 has not started there
    EXPECT_FALSE(effects_[2]->isActive());
    EXPECT_TRUE(effects_[1]->isActive());
    EXPECT_EQ(log_.back(), "3 render 1500");
    jumpWith("PageDown");  // 1500 + 30000, past the signal at 9000
    EXPECT_EQ(std::count(log_.begin(), log_.end(), "5 command 33 9"), 1);
    EXPECT_EQ(window().timerNow(), 31500);
    jumpWith("PageUp");  // 30 s back
    EXPECT_EQ(log_.back(), "3 render 1500");
    jumpWith("Left");  // not before 0
    EXPECT_EQ(window().timerNow(), 0);
    EXPECT_FALSE(effects_[1]->isActive());
    clock().advance(2000);
    jumpWith("Home");
    EXPECT_EQ(window().timerNow(), demo.startTime());
    EXPECT_FALSE(demo.quitRequested());
    for (int i = 0; i < 2; ++i)
        jumpWith("PageDown");  // not past the end, which ends the show
    EXPECT_EQ(window().timerNow(), 40000);
    EXPECT_TRUE(demo.quitRequested());
}

TEST_F(DemoTest, SpacePausesTheTimeAndResumesWhereItStood)
{
    Demo demo("data/script.scr");
    setup(demo, "SETUP\nTIMELINE\n100 START 3\n2000 START 5\n");
    frameAt(demo, 1000);
    tap("Space");
    drainEvents();
    demo.frame();
    EXPECT_TRUE(window().paused());
    clock().advance(5000);
    log_.clear();
    demo.frame();  // paused: the same time, nothing new fires
    EXPECT_EQ(log_, (std::vector<std::string>{"3 prerender 1000", "3 render 1000"}));
    // Holding Space down does not toggle again: the keyboard's repeats are
    // no new presses.
    platform::pushKeyEvent("Space", true);
    drainEvents();
    demo.frame();
    EXPECT_FALSE(window().paused());
    platform::Event repeat;
    repeat.kind = platform::EventKind::keyDown;
    repeat.virtualKey = 0x20;
    repeat.repeat = true;
    window().handleEvent(repeat);
    demo.frame();
    EXPECT_FALSE(window().paused());
    platform::pushKeyEvent("Space", false);
    drainEvents();
    clock().advance(1000);
    log_.clear();
    demo.frame();
    EXPECT_EQ(log_.back(), "5 render 2000");
    // A jump while paused stays paused at the target.
    tap("Space");
    tap("Right");
    drainEvents();
    demo.frame();
    clock().advance(3000);
    demo.frame();
    EXPECT_TRUE(window().paused());
    EXPECT_EQ(window().timerNow(), 7000);
    window().pause(false);
}

TEST_F(DemoTest, ReloadKeepingTimeChangesTheNextFramesAndABrokenScriptKeepsTheLastGoodOne)
{
    Demo demo("data/script.scr");
    setup(demo, "SETUP\nTIMELINE\n100 START 3\n");
    frameAt(demo, 1500);
    EXPECT_EQ(log_.back(), "3 render 1500");

    dir_.write("data/script.scr", "SETUP\n0 SIGNAL 5 44 1\nTIMELINE\n100 START 5\n2000 START 3\n");
    std::string failure;
    log_.clear();
    ASSERT_TRUE(demo.reloadKeepingTime(failure)) << failure;
    EXPECT_EQ(window().timerNow(), 1500);  // the same time
    demo.frame();
    EXPECT_EQ(std::vector<std::string>(log_.begin(), log_.begin() + 4),
              (std::vector<std::string>{"5 command 44 1", "0 start 0", "3 start 0", "5 start 0"}));
    EXPECT_EQ(renderTimes(5).size(), 61u) << "the second before stepped through, then the frame";
    EXPECT_EQ(log_.back(), "5 render 1500");
    EXPECT_FALSE(effects_[1]->isActive());

    dir_.write("data/script.scr", "SETUP\n0 START 3\nTIMELINE\n");
    log_.clear();
    EXPECT_FALSE(demo.reloadKeepingTime(failure));
    EXPECT_EQ(failure, "script: event not recognized in setup line # 1\ndata/script.scr:2: \"START\"");
    EXPECT_FALSE(demo.quitRequested());
    clock().advance(600);
    demo.frame();  // the last good script plays on: effect 3 starts at 2000
    EXPECT_EQ(log_, (std::vector<std::string>{"3 prerender 2100", "5 prerender 2100", "3 render 2100",
                                              "5 render 2100"}));
}

TEST(RegistryTest, PlacesOutsideTheRangeAreNone)
{
    EffectRegistry registry;
    EXPECT_EQ(registry.get(-1), nullptr);
    EXPECT_EQ(registry.get(64), nullptr);
    EXPECT_EQ(registry.get(10), nullptr);
    registry.set(64, reinterpret_cast<Effect*>(0x10));
    registry.set(-1, reinterpret_cast<Effect*>(0x10));
    for (int n = -1; n <= 64; ++n)
        EXPECT_EQ(registry.get(n), nullptr) << n;
}

}  // namespace
