#include <gtest/gtest.h>

#include "resources/datafile.h"
#include "tests/support/temp_dir.h"
#include "timeline/script.h"

#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

namespace {

class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        clearDataArchive();
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_.path());
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    Script parse(const std::string& text, const std::string& name = "main.scr")
    {
        dir_.write(name, text);
        return Script(name);
    }

    TempDir dir_;
    std::filesystem::path previous_;
};

using ScriptDeathTest = ScriptTest;

TEST_F(ScriptTest, TheSmallExampleScript)
{
    const Script script = parse("DEMOSTART 0\n"
                                "DEFINE FADE 124\n"
                                "SETUP\n"
                                "0 SIGNAL 62 200 255\n"
                                "TIMELINE\n"
                                "1000 START 62\n"
                                "1000 SIGNAL 62 FADE 0 1000 2000\n"
                                "TIMEOFFSETD 60000\n"
                                "500 END 62\n"
                                "LINETIME\n");
    EXPECT_EQ(script.demoStart(), 0);
    ASSERT_EQ(script.setupEvents().size(), 1u);
    const ScriptEvent& setup = *script.setupEvents()[0];
    EXPECT_EQ(setup.time, 0);
    EXPECT_EQ(setup.kind, EventKind::signal);
    EXPECT_EQ(setup.effect, 62);
    EXPECT_EQ(setup.payload.code, 200);
    EXPECT_EQ(setup.payload.args[0], 255);
    EXPECT_EQ(setup.payload.argCount, 1);
    EXPECT_EQ(setup.payload.timeOffset, 0);

    const auto& events = script.timelineEvents();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0]->kind, EventKind::start);
    EXPECT_EQ(events[1]->kind, EventKind::signal);
    EXPECT_EQ(events[1]->payload.code, 124);
    EXPECT_EQ(events[1]->payload.argCount, 3);
    EXPECT_EQ(events[1]->payload.args[0], 0);
    EXPECT_EQ(events[1]->payload.args[1], 1000);
    EXPECT_EQ(events[1]->payload.args[2], 2000);
    EXPECT_EQ(events[1]->payload.first(), 0);
    EXPECT_EQ(events[2]->time, 60500);
    EXPECT_EQ(events[2]->kind, EventKind::end);
}

TEST_F(ScriptTest, WithoutDemostartTheShowStartsAtZero)
{
    EXPECT_EQ(parse("SETUP\nTIMELINE\n5 START 1\n").demoStart(), 0);
    EXPECT_EQ(parse("DEMOSTART 500\nDEMOSTART 7000\nSETUP\nTIMELINE\n").demoStart(), 7000);
}

TEST_F(ScriptTest, EqualTimesKeepTheirReadingOrder)
{
    const Script script = parse("SETUP\nTIMELINE\n"
                                "300 START 3\n100 START 1\n300 END 3\n100 INIT 2\n200 START 9\n100 END 1\n");
    std::vector<std::pair<int, EventKind>> order;
    for (const auto& event : script.timelineEvents())
        order.emplace_back(event->time, event->kind);
    const std::vector<std::pair<int, EventKind>> expected = {
        {100, EventKind::start}, {100, EventKind::init}, {100, EventKind::end},
        {200, EventKind::start}, {300, EventKind::start}, {300, EventKind::end}};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(script.timelineEvents()[1]->effect, 2);
}

TEST_F(ScriptTest, TwelveArgumentsStoreTenAndCountTwelve)
{
    const Script script = parse("SETUP\nTIMELINE\n"
                                "100 SIGNAL 4 7 1 2 3 x 4 5 6 7 8 9 10 11 12\n"
                                "200 SIGNAL 4 8 word 5 6\n");
    const auto& events = script.timelineEvents();
    ASSERT_EQ(events.size(), 2u);
    const Command& numeric = events[0]->payload;
    EXPECT_EQ(numeric.isText, 0);
    EXPECT_EQ(numeric.argCount, 12);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(numeric.args[i], i + 1);
    const Command& text = events[1]->payload;
    EXPECT_EQ(text.isText, 1);
    EXPECT_EQ(text.text, "word");
    EXPECT_EQ(text.argCount, 0);
    EXPECT_EQ(text.args[0], 0);
}

TEST_F(ScriptTest, ZeroAndLeadingZeroWordsAreNumbers)
{
    const Script script = parse("SETUP\n0 SIGNAL 1 2 0\n0 SIGNAL 1 2 007\n0 SIGNAL 1 2 -0\nTIMELINE\n");
    const auto& setup = script.setupEvents();
    ASSERT_EQ(setup.size(), 3u);
    EXPECT_EQ(setup[0]->payload.isText, 0);
    EXPECT_EQ(setup[1]->payload.isText, 0);
    EXPECT_EQ(setup[1]->payload.args[0], 7);
    // "-0" reads as 0 without beginning with "0": a word.
    EXPECT_EQ(setup[2]->payload.isText, 1);
    EXPECT_EQ(setup[2]->payload.text, "-0");
}

TEST_F(ScriptTest, CommentsOnlyAsTheFirstWordOfALine)
{
    const Script script = parse("SETUP\n// 0 SIGNAL 1 1 1\nTIMELINE\n"
                                "TIMEOFFSET 1000\n"
                                "// 100 START 1\n"
                                "200 START 2 // START 3\n");
    EXPECT_TRUE(script.setupEvents().empty());
    // After other words "//" is no comment: it is read as a time (the
    // offset alone) and the words after it as its event.
    const auto& events = script.timelineEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0]->time, 1000);
    EXPECT_EQ(events[0]->effect, 3);
    EXPECT_EQ(events[1]->time, 1200);
    EXPECT_EQ(events[1]->effect, 2);
}

TEST_F(ScriptTest, DefineOfAKeywordReplacesItEverywhere)
{
    const Script script = parse("DEFINE SHOW START\nDEFINE START END\nSETUP\nTIMELINE\n100 SHOW 1\n200 START 2\n");
    const auto& events = script.timelineEvents();
    ASSERT_EQ(events.size(), 2u);
    // Replacements are not searched again: SHOW becomes START, START becomes END.
    EXPECT_EQ(events[0]->kind, EventKind::start);
    EXPECT_EQ(events[1]->kind, EventKind::end);
}

TEST_F(ScriptTest, FirstDefinitionOfANameWins)
{
    const Script script = parse("DEFINE A 11\nDEFINE A 22\nSETUP\nTIMELINE\n100 START A\n");
    EXPECT_EQ(script.timelineEvents()[0]->effect, 11);
    EXPECT_EQ(script.defines().size(), 2u);
}

TEST_F(ScriptTest, FourHundredDefinesAtMost)
{
    std::string text;
    for (int i = 0; i < 401; ++i)
        text += "DEFINE N" + std::to_string(i) + " " + std::to_string(i + 1) + "\n";
    text += "SETUP\nTIMELINE\n100 START N399\n200 START N400\n";
    const Script script = parse(text);
    EXPECT_EQ(script.defines().size(), 400u);
    EXPECT_EQ(script.timelineEvents()[0]->effect, 400);
    EXPECT_EQ(script.timelineEvents()[1]->effect, 0);  // N400 was dropped and reads as 0
}

TEST_F(ScriptTest, IncludeBeforeSetupComesFirstWithItsDefinitions)
{
    dir_.write("inc.scr", "DEFINE LAYER 2\nSETUP\n0 SIGNAL 5 1 1\nTIMELINE\n50 START 5\n");
    const Script script = parse("INCLUDE inc.scr\nSETUP\n0 SIGNAL LAYER 9 9\nTIMELINE\n40 START LAYER\n");
    const auto& setup = script.setupEvents();
    ASSERT_EQ(setup.size(), 2u);
    EXPECT_EQ(setup[0]->effect, 5);
    EXPECT_EQ(setup[1]->effect, 2);
    const auto& events = script.timelineEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0]->time, 40);
    EXPECT_EQ(events[0]->effect, 2);
    EXPECT_EQ(events[1]->time, 50);
}

TEST_F(ScriptTest, IncludeInTheTimelineNeedsItsOwnSections)
{
    dir_.write("bare.scr", "300 START 7\n");
    dir_.write("full.scr", "SETUP\nTIMELINE\n400 START 8\n");
    // A file may be included more than once, as long as it does not include
    // itself.
    const Script script =
        parse("SETUP\nTIMELINE\n100 START 1\nINCLUDE bare.scr\nINCLUDE full.scr\n200 START 2\nINCLUDE full.scr\n");
    std::vector<int> effects;
    for (const auto& event : script.timelineEvents())
        effects.push_back(event->effect);
    EXPECT_EQ(effects, (std::vector<int>{1, 2, 8, 8}));
}

TEST_F(ScriptTest, TimeOffsetsAndTerms)
{
    const Script script = parse("SETUP\nTIMELINE\n"
                                "TIMEOFFSET 1000 + 500 - 100\n"
                                "100 START 1\n"
                                "100 + 50 START 2\n"
                                "1000 +500 START 3\n"
                                "TIMEOFFSETD 2000\n"
                                "100 SIGNAL 4 5 6\n");
    const auto& events = script.timelineEvents();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0]->time, 1500);
    EXPECT_EQ(events[1]->time, 1550);
    // "1000 +500 START 3": the word "+500" is taken as the sign and "START"
    // as the number, so "3" is an unknown event word and no event is made.
    EXPECT_EQ(events[2]->time, 3500);
    EXPECT_EQ(events[2]->payload.timeOffset, 3400);
}

TEST_F(ScriptTest, SignedLineAfterTimeOffsetIsAnOffsetTerm)
{
    const Script script = parse("SETUP\nTIMELINE\nTIMEOFFSET 1000\n- 200 START 1\n300 START 2\n");
    const auto& events = script.timelineEvents();
    // "- 200" became a term of the offset; "START" is then read as a time
    // word and "1" as an unknown event.
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0]->time, 1100);
    EXPECT_EQ(events[0]->effect, 2);
}

TEST_F(ScriptTest, NegativeTimesAndWordTimesAreAccepted)
{
    const Script script = parse("SETUP\nTIMELINE\n-500 START 1\nTIMEOFFSET 700\nlater START 2\n");
    const auto& events = script.timelineEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0]->time, -500);
    EXPECT_EQ(events[1]->time, 700);
}

TEST_F(ScriptTest, TimesBeyondThirtyTwoBitsAreFatalErrorsNotWrappedTimes)
{
    // Each of the four sums: time plus offset, an offset term of a time,
    // of TIMEOFFSET, and TIMEOFFSETD.
    // The word named is the one whose addition overflows.
    const std::vector<std::pair<std::string, std::string>> sums = {
        {"TIMEOFFSET 2147483647\n5 START 0\n", "main.scr:4: \"5\""},
        {"2147483647 + 1 START 0\n", "main.scr:3: \"1\""},
        {"-2147483647 - 2 START 0\n", "main.scr:3: \"2\""},
        {"TIMEOFFSET 2147483647 + 1\n5 START 0\n", "main.scr:3: \"1\""},
        {"TIMEOFFSET 2147483647\nTIMEOFFSETD 1\n5 START 0\n", "main.scr:4: \"1\""},
    };
    for (const auto& [timeline, place] : sums) {
        dir_.write("main.scr", "SETUP\nTIMELINE\n" + timeline);
        std::string failure;
        EXPECT_EQ(Script::tryLoad("main.scr", failure), nullptr) << timeline;
        EXPECT_EQ(failure, "script: time out of range in timeline line # 1\n" + place) << timeline;
    }
    // Up to the last millisecond a time is kept as written.
    const Script script = parse("SETUP\nTIMELINE\nTIMEOFFSET 2147483640\nTIMEOFFSETD 2\n5 START 1\n");
    ASSERT_EQ(script.timelineEvents().size(), 1u);
    EXPECT_EQ(script.timelineEvents()[0]->time, 2147483647);
}

TEST_F(ScriptTest, NothingAfterLinetimeIsRead)
{
    const Script script = parse("SETUP\nTIMELINE\n100 START 1\nLINETIME\n200 START 2\n0 garbage\n");
    EXPECT_EQ(script.timelineEvents().size(), 1u);
}

TEST_F(ScriptTest, LongLinesAndWordsAreReadWhole)
{
    const std::string longWord(300, 'w');
    const std::string longText(250, 't');
    std::string args;
    for (int i = 1; i <= 60; ++i)
        args += " " + std::to_string(i);
    const Script script = parse("DEFINE " + longWord + " 42\nSETUP\nTIMELINE\n100 SIGNAL " + longWord + " 7" +
                                args + "\n200 SIGNAL 3 4 " + longText + "\n");
    const auto& events = script.timelineEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0]->effect, 42);
    EXPECT_EQ(events[0]->payload.argCount, 60);
    EXPECT_EQ(events[0]->payload.args[9], 10);
    EXPECT_EQ(events[1]->payload.text, longText);
}

TEST_F(ScriptTest, UnknownTimelineEventWarnsWithItsLineAndGoesOn)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const Script script = parse("SETUP\nTIMELINE\n100 START 1\n200 BOGUS\n300 START 3\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "error!\n");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("script: event not recognized in timeline line # 2"),
              std::string::npos);
    const auto& events = script.timelineEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1]->time, 300);
}

TEST_F(ScriptDeathTest, FatalErrorsNameTheirLine)
{
    EXPECT_EXIT(parse("SETUP\n0 SIGNAL 1 1 1\n5 SIGNAL 1 1 1\nTIMELINE\n"), testing::ExitedWithCode(1),
                "script: not a valid time \\(should be 0\\) in setup line # 2");
    EXPECT_EXIT(parse("SETUP\n0 START 1\nTIMELINE\n"), testing::ExitedWithCode(1),
                "script: event not recognized in setup line # 1");
    EXPECT_EXIT(parse("SETUP\nTIMEOFFSET 100\nTIMELINE\n"), testing::ExitedWithCode(1),
                "script: event not recognized in setup line # 1");
    EXPECT_EXIT(parse("SETUP\nTIMELINE\nTIMEOFFSET 50\n100 START 1\n-50 START 2\n"), testing::ExitedWithCode(1),
                "script: not a valid\\(1-maxtime\\) time in timeline line # 2");
    EXPECT_EXIT(Script("does-not-exist.scr"), testing::ExitedWithCode(1),
                "script: could not open file for parsing");
}

TEST_F(ScriptDeathTest, AFileThatIncludesItselfIsFatalWithItsFileAndLine)
{
    // Directly, from the timeline: the line is the file's own line 4.
    EXPECT_EXIT(parse("SETUP\nTIMELINE\n100 START 1\nINCLUDE main.scr\n"), testing::ExitedWithCode(1),
                "script: INCLUDE of a file already being read \\(main.scr\\) in main.scr line # 4");
    // Through another file ahead of the setup section; comments, definitions
    // and empty lines count as lines of the file.
    dir_.write("b.scr", "// back to the start\nDEFINE X 1\n\nINCLUDE ./loop.scr\n");
    EXPECT_EXIT(parse("INCLUDE b.scr\nSETUP\nTIMELINE\n", "loop.scr"), testing::ExitedWithCode(1),
                "script: INCLUDE of a file already being read \\(./loop.scr\\) in b.scr line # 4");
}

TEST_F(ScriptDeathTest, AFatalErrorIsPrecededByTheFileItIsIn)
{
    // An included file at fault is the one named, not the one including it.
    dir_.write("part.scr", "SETUP\n0 START 1\nTIMELINE\n");
    EXPECT_EXIT(parse("INCLUDE part.scr\n"), testing::ExitedWithCode(1),
                "script: error in part.scr\nerror: script: event not recognized in setup line # 1");
    EXPECT_EXIT(parse("INCLUDE absent.scr\n"), testing::ExitedWithCode(1),
                "script: error in absent.scr\nerror: script: could not open file for parsing");
}

TEST_F(ScriptTest, TryLoadKeepsTheFatalErrorInsteadOfEnding)
{
    const std::vector<std::pair<std::string, std::string>> broken = {
        {"SETUP\n0 SIGNAL 1 1 1\n5 SIGNAL 1 1 1\nTIMELINE\n",
         "script: not a valid time (should be 0) in setup line # 2\nmain.scr:3: \"5\""},
        {"SETUP\n0 START 1\nTIMELINE\n", "script: event not recognized in setup line # 1\nmain.scr:2: \"START\""},
        {"SETUP\nTIMELINE\n100 START 1\nINCLUDE main.scr\n",
         "script: INCLUDE of a file already being read (main.scr) in main.scr line # 4\nmain.scr:4: \"main.scr\""},
        {"SETUP\nTIMELINE\nINCLUDE missing.scr\n", "script: could not open file for parsing\nmain.scr:3: \"missing.scr\""},
    };
    testing::internal::CaptureStdout();
    for (const auto& [text, message] : broken) {
        dir_.write("main.scr", text);
        std::string failure;
        EXPECT_EQ(Script::tryLoad("main.scr", failure), nullptr) << text;
        EXPECT_EQ(failure, message);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // no "error!" line, no box

    // Lesser errors go to standard error and the script loads.
    dir_.write("part.scr", "SETUP\nTIMELINE\n200 BOGUS\n300 START 3\n");
    dir_.write("main.scr", "SETUP\nTIMELINE\n100 START 1\nINCLUDE part.scr\n");
    testing::internal::CaptureStderr();
    std::string failure;
    const std::unique_ptr<Script> script = Script::tryLoad("main.scr", failure);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("script: event not recognized in timeline line # 1"),
              std::string::npos);
    ASSERT_NE(script, nullptr);
    EXPECT_TRUE(failure.empty());
    EXPECT_EQ(script->timelineEvents().size(), 2u);
    EXPECT_EQ(script->files(), (std::vector<std::string>{"main.scr", "part.scr"}));
}

// Each message is followed by the place an editor opens: the file that holds
// the word (an included file names itself), the file's own line counting
// comments, definitions and empty lines, and the word quoted.
TEST_F(ScriptTest, WarningsNameTheFileTheEditorsLineAndTheWord)
{
    dir_.write("part.scr", "// part\n\nSETUP\nTIMELINE\n200 BOGUS\n");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const Script script = parse("// a show\n"
                                "DEFINE KICK 1\n"
                                "INCLUDE part.scr\n"
                                "SETUP\n"
                                "0 SIGNAL KICK 1 1\n"
                                "TIMELINE\n"
                                "\n"
                                "// the mistake: START misspelt, its line read no further\n"
                                "2000 STRAT SIGNAL 5 1 2\n"
                                "3000 START KICK\n");
    const std::string said = testing::internal::GetCapturedStderr();
    // Two warnings, nothing else: no follow-on message from the rest of line 9.
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "error!\nerror!\n");
    EXPECT_NE(said.find("script: event not recognized in timeline line # 1\npart.scr:5: \"BOGUS\"\n"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("script: event not recognized in timeline line # 1\nmain.scr:9: \"STRAT\"\n"),
              std::string::npos)
        << said;
    ASSERT_EQ(script.timelineEvents().size(), 1u);
    EXPECT_EQ(script.timelineEvents()[0]->time, 3000);
    EXPECT_EQ(script.timelineEvents()[0]->effect, 1);
}

TEST_F(ScriptTest, FatalErrorsNameTheWordAtFaultAndStopTheParse)
{
    const std::vector<std::pair<std::string, std::string>> broken = {
        // The time word itself, on the editor's line.
        {"SETUP\nTIMELINE\n100 START 1\n\nSIGN 5 1 2\n", "timeline line # 2\nmain.scr:5: \"SIGN\""},
        // An offset term that leaves the range of a time is the word named.
        {"SETUP\nTIMELINE\n100 + 2147483647 START 1\n", "timeline line # 1\nmain.scr:3: \"2147483647\""},
        {"SETUP\nTIMELINE\nTIMEOFFSETD 2147483647\nTIMEOFFSETD 5\n", "timeline line # 1\nmain.scr:4: \"5\""},
        // A bare INCLUDE never takes the first word of the next line.
        {"SETUP\nTIMELINE\n100 START 1 INCLUDE\n19000 START 2\n",
         "script: INCLUDE without a file name\nmain.scr:3: \"INCLUDE\""},
        {"INCLUDE\nSETUP\nTIMELINE\n", "script: INCLUDE without a file name\nmain.scr:1: \"INCLUDE\""},
    };
    testing::internal::CaptureStderr();
    for (const auto& [text, ending] : broken) {
        dir_.write("main.scr", text);
        std::string failure;
        EXPECT_EQ(Script::tryLoad("main.scr", failure), nullptr) << text;
        EXPECT_TRUE(failure.size() >= ending.size() &&
                    failure.compare(failure.size() - ending.size(), ending.size(), ending) == 0)
            << failure;
    }
    // After the first fatal error nothing more is read: no warnings follow.
    dir_.write("main.scr", "SETUP\nTIMELINE\nSIGN 5\n300 BOGUS\n");
    std::string failure;
    EXPECT_EQ(Script::tryLoad("main.scr", failure), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(ScriptDeathTest, AMissingIncludeNamesTheIncludingFileAndLine)
{
    dir_.write("part.scr", "SETUP\nTIMELINE\n\nINCLUDE gone.scr\n");
    EXPECT_EXIT(parse("INCLUDE part.scr\n"), testing::ExitedWithCode(1),
                "script: error in gone.scr\nerror: script: could not open file for parsing\npart.scr:4: \"gone.scr\"");
}

}  // namespace

// Line numbers are counted on as the reader moves, not from the start of
// the text for every word: a long script parses in time proportional to its
// length, and its far lines still get their own numbers.
TEST_F(ScriptTest, ALongScriptNamesTheLineOfAFarError)
{
    const auto lineOfTheBadEvent = [this](int eventsBefore) {
        std::string text = "SETUP\nTIMELINE\nTIMEOFFSET 50\n";
        for (int i = 0; i < eventsBefore; ++i)
            text += "// a note\n100 START 1\n";
        text += "-50 START 2\n";
        dir_.write("long.scr", text);
        std::string failure;
        EXPECT_EQ(Script::tryLoad("long.scr", failure), nullptr);
        const std::string marker = "line # ";
        const size_t at = failure.find(marker);
        EXPECT_NE(at, std::string::npos) << failure;
        return at == std::string::npos ? -1 : std::stoi(failure.substr(at + marker.size()));
    };
    const int nearLine = lineOfTheBadEvent(3);
    const int farLine = lineOfTheBadEvent(50000);
    ASSERT_GT(nearLine, 0);
    // Notes are not counted: each event before the bad one moves it by one.
    EXPECT_EQ(farLine - nearLine, 50000 - 3);
}
