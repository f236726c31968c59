#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pickit.h"
#include "program_run.h"

namespace {

using namespace pickit;

// Parses the words, lets `typing` queue keys on the fresh console (after the
// typed-ahead ones), then prompts.
RunOutcome Pick(const Words& words, const std::function<void()>& typing, const std::string& typedAhead = "")
{
    SetCommandLine("pickit", words);
    PushKeys(typedAhead);
    return RunProgram([&] {
        ParseCommandLine();
        // Typed-ahead keys are queued before the prompt; the rest come later.
        typing();
        PromptForKey();
    });
}

std::function<void()> Keys(std::string keys, double at = 0.5)
{
    return [=] { PushTyped(keys, at); };
}

TEST(PromptForKey, SingleKey)
{
    struct Case {
        Words Args;
        std::string Keys;
        int Code;
        std::string Output;
    } cases[] = {
        {{}, "y", 1, "[Y,N] Y\r\n"},
        {{}, "n", 2, "[Y,N] N\r\n"},
        {{}, "xqY", 1, "[Y,N] Y\r\n"},
        {{"-s"}, "Yy", 1, "[y,n] y\r\n"},
        {{"-s", "-k", "YN"}, "yN", 2, "[Y,N] N\r\n"},
        {{}, "\r\rn", 2, "[Y,N] N\r\n"},
        {{"-d", "n"}, "\r", 2, "[Y,N] N\r\n"},
        {{"-k", "YNY"}, "Y", 1, "[Y,N,Y] Y\r\n"},
        {{"-q"}, "n", 2, "[Y,N] "},
        {{}, "\x03", 255, "[Y,N] ^C\r\n"},
        {{"-q"}, "\x03", 255, "[Y,N] ^C\r\n"},
        {{"-n", "-p", "Go? "}, "y", 1, "Go? Y\r\n"},
        {{"-k", "1234"}, "3", 3, "[1,2,3,4] 3\r\n"},
    };
    for (const Case& c : cases) {
        RunOutcome run = Pick(c.Args, Keys(c.Keys));
        EXPECT_EQ(run.Code, c.Code) << c.Keys;
        EXPECT_EQ(run.Output, c.Output) << c.Keys;
    }
}

// The first key of a burst that is in the list answers and the rest is
// dropped; a key typed after the program ended is left for the next reader.
TEST(PromptForKey, Bursts)
{
    const struct { Words Args; const char* Burst; int Code; } cases[] = {
        {{"-k", "abc"}, "abc\rdef\r", 1}, {{}, "xyn", 1}, {{"-d", "n"}, "\ryz", 2}};
    for (const auto& c : cases) {
        RunOutcome run = Pick(c.Args, [&] {
            PushKeys(c.Burst, 0.5);
            PushKeys("z", 1);
        });
        EXPECT_EQ(run.Code, c.Code) << c.Burst;
        EXPECT_EQ(QueuedEvents(), 1) << c.Burst;
    }
}

TEST(PromptForKey, TypedAheadKeysAreDiscarded)
{
    RunOutcome run = Pick({}, Keys("n", 5), "yyy");
    EXPECT_EQ(run.Code, 2);
    EXPECT_EQ(run.Output, "[Y,N] N\r\n");
}

TEST(PromptForKey, ExtendedKeysAreIgnoredWhole)
{
    // Code 21 after the 0 would be "Y"'s neighbour Ctrl+U; 0x15 must not leak.
    RunOutcome run = Pick({"-k", "H\x15"}, [] {
        PushExtended(72, 0.1);   // Up: 0, then 'H'
        PushExtended(0x15, 0.2);
        PushKeys("\x15", 0.3);
    });
    EXPECT_EQ(run.Code, 2);
}

TEST(PromptForKey, TimeOut)
{
    // Nothing typed: the time-out key after the time, echoed as if pressed.
    RunOutcome run = Pick({"-t", "n,5"}, [] {});
    EXPECT_EQ(run.Code, 2);
    EXPECT_EQ(run.Output, "[Y,N] N\r\n");
    EXPECT_GE(run.Seconds, 5.0);
    EXPECT_LT(run.Seconds, 5.5);

    run = Pick({"-q", "-t", "Y,5"}, [] {});
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Output, "[Y,N] ");

    // Any early keystroke, even an unacceptable one, ends the time limit.
    run = Pick({"-t", "Y,5"}, [] {
        PushKeys("x", 2);
        PushKeys("n", 60);
    });
    EXPECT_EQ(run.Code, 2);
    EXPECT_GE(run.Seconds, 60.0);

    // A key that is ready at the limit wins.
    run = Pick({"-t", "Y,5"}, [] { PushKeys("n", 5); });
    EXPECT_EQ(run.Code, 2);
}

// -c: the seconds left one cell right of the key's echo cell (of the
// field's text in line mode), rewritten as they change and blanked at the
// first key or the time-out; the output and the row left are as without it.
TEST(PromptForKey, Countdown)
{
    const std::string longPrompt(70, 'p');
    const struct {
        Words Args;
        double KeyAt;  // 0: no key
        std::vector<std::string> Writes;
        std::string Row;
    } cases[] = {
        {{"-c", "-t", "N,3", "-p", "Continue"}, 0,
         {"17,1:(N in 3s)", "17,1:(N in 2s)", "17,1:(N in 1s)", "17,1:         "}, "Continue [Y,N] N"},
        {{"-C", "-t", "N,10"}, 1.5, {"8,1:(N in 10s)", "8,1:(N in 9s) ", "8,1:          "}, "[Y,N] Y"},
        {{"-lc", "-t", "N,2", "-p", "Continue"}, 0, {"18,1:(2s)", "18,1:(1s)", "18,1:    "}, "Continue [Y,N] N"},
        {{"-c"}, 1.5, {}, "[Y,N] Y"},
        {{"-c", "-t", "N,3", "-p", longPrompt}, 0, {}, longPrompt + " [Y,N] N"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ShowWords(c.Args));
        RunOutcome run = Pick(c.Args, [&] {
            if (c.KeyAt > 0)
                PushKeys("y", c.KeyAt);
        });
        EXPECT_EQ(CellWrites, c.Writes);
        EXPECT_EQ(run.Output, c.Row + "\r\n");
        EXPECT_EQ(ScreenRow(1), c.Row + std::string(80 - c.Row.size(), ' '));
    }
}

TEST(PromptForKey, LastKeyOfALongList)
{
    std::string keys;
    for (int i = 0; i < 255; i++)
        keys += static_cast<char>(i < 200 ? 'A' : '0' + (i - 200) % 10);
    keys[254] = '#';
    RunOutcome run = Pick({"-n", "-k", keys}, Keys("#"));
    EXPECT_EQ(run.Code, 255);
    EXPECT_EQ(run.Output, "#\r\n");
}

TEST(PromptForKey, LineMode)
{
    struct Case {
        Words Args;
        std::string Keys;
        int Code;
        std::string Row;  // the first row of the screen afterwards
    } cases[] = {
        {{"-l"}, "y\r", 1, "[Y,N] Y "},
        {{"-l", "-d", "N"}, "\r", 2, "[Y,N] N "},
        {{"-l", "-d", "N"}, "y\r", 1, "[Y,N] Y "},
        {{"-l", "-q"}, "n\r", 2, "[Y,N] N "},
        {{"-l", "-s", "-k", "Yy"}, "y\r", 2, "[Y,y] y "},
        {{"-l"}, "\x03", 255, "[Y,N] ^C"},
    };
    for (const Case& c : cases) {
        RunOutcome run = Pick(c.Args, Keys(c.Keys));
        EXPECT_EQ(run.Code, c.Code) << c.Keys;
        EXPECT_EQ(ScreenRow(1).substr(0, c.Row.size()), c.Row) << c.Keys;
        EXPECT_EQ(WhereY(), 2) << "the editor ends the line";
        EXPECT_EQ(ScreenRow(2), std::string(80, ' ')) << "nothing more is written";
    }
}

TEST(PromptForKey, LineModeRejectsAndAsksAgain)
{
    RunOutcome run = Pick({"-l", "-t", "N,3"}, [] {
        PushTyped("x\r", 1);
        PushKeys("\r", 10);   // an empty entry: asked again, no time-out now
        PushTyped("y\r", 20);
    });
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(ScreenRow(1).substr(0, 8), "[Y,N] X ");
    EXPECT_EQ(ScreenRow(2).substr(0, 29), "Acceptable keystrokes: Y,N   ");
    EXPECT_EQ(ScreenRow(3).substr(0, 7), "[Y,N]  ");
    EXPECT_EQ(ScreenRow(4).substr(0, 27), "Acceptable keystrokes: Y,N ");
    EXPECT_EQ(ScreenRow(5).substr(0, 8), "[Y,N] Y ");
    EXPECT_GE(run.Seconds, 20.0);
}

TEST(PromptForKey, LineModeTimeOutTakesTheTimeoutKey)
{
    RunOutcome run = Pick({"-l", "-t", "N,3"}, [] {});
    EXPECT_EQ(run.Code, 2);
    EXPECT_EQ(ScreenRow(1).substr(0, 8), "[Y,N] N ");
    EXPECT_GE(run.Seconds, 3.0);
    EXPECT_LT(run.Seconds, 3.5);
}

TEST(PromptForKey, NoConsoleEndsAsCtrlC)
{
    RunOutcome run = Pick({}, [] { VirtualConsoleSetPresent(false); });
    EXPECT_EQ(run.Code, 255);
    EXPECT_EQ(run.Output, "[Y,N] ^C\r\n");

    // A time-out still runs out normally.
    run = Pick({"-t", "Y,2"}, [] { VirtualConsoleSetPresent(false); });
    EXPECT_EQ(run.Code, 1);
}

}  // namespace
