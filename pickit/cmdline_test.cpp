#include <gtest/gtest.h>

#include <sstream>

#include "charset.h"
#include "pickit.h"
#include "program_run.h"

namespace {

using namespace pickit;

RunOutcome Parse(const Words& words)
{
    SetCommandLine("pickit", words);
    return RunProgram([] { ParseCommandLine(); });
}

TEST(PickitCommandLine, AcceptedSettings)
{
    struct Case {
        Words Args;
        std::string KeyList;
        std::string Prompt;
        char DefaultKey;
        char TimeoutKey;
        int Timeout;
    } cases[] = {
        {{}, "YN", "[Y,N] ", 0, 0, -1},
        {{"-s"}, "yn", "[y,n] ", 0, 0, -1},
        {{"-k", ""}, "YN", "[Y,N] ", 0, 0, -1},
        {{"-k", "", "-s"}, "YN", "[Y,N] ", 0, 0, -1},
        {{"-k", "abc", "-d", "b"}, "ABC", "[A,B,C] ", 'B', 0, -1},
        {{"-k", "YNY"}, "YNY", "[Y,N,Y] ", 0, 0, -1},
        {{"-p", "Continue?"}, "YN", "Continue? [Y,N] ", 0, 0, -1},
        {{"-n", "-p", "Go"}, "YN", "Go", 0, 0, -1},
        {{"-n"}, "YN", "", 0, 0, -1},
        {{"-t", "Y,10"}, "YN", "[Y,N] ", 0, 'Y', 10},
        {{"-t", "y,10"}, "YN", "[Y,N] ", 0, 'Y', 10},
        {{"-t", "Y, 5"}, "YN", "[Y,N] ", 0, 'Y', 5},
        {{"-t", "Y,$10"}, "YN", "[Y,N] ", 0, 'Y', 16},
        {{"-t", "Y,32767"}, "YN", "[Y,N] ", 0, 'Y', 32767},
        {{"-t", "N", "-t", "Y,5"}, "YN", "[Y,N] ", 0, 'Y', 5},
        {{"-t", "Y,10", "-d", "N"}, "YN", "[Y,N] ", 0, 'Y', 10},
        {{"-t", "Y,10", "-d", "Y"}, "YN", "[Y,N] ", 'Y', 'Y', 10},
        {{"-x"}, "YN", "[Y,N] ", 0, 0, -1},
        {{"-k"}, "YN", "[Y,N] ", 0, 0, -1},
        {{"-k", "A", "/?"}, "A", "[A] ", 0, 0, -1},
        {{"-?"}, "YN", "[Y,N] ", 0, 0, -1},
        {{"-k", "-n"}, "-N", "[-,N] ", 0, 0, -1},
        {{"-tY,5"}, "YN", "[Y,N] ", 0, 'Y', 5},
        {{"-d", "nope"}, "YN", "[Y,N] ", 'N', 0, -1},
        {{"-d", ""}, "YN", "[Y,N] ", 0, 0, -1},
        {{"-K", "xy", "-P", "Pick", "-S"}, "xy", "Pick [x,y] ", 0, 0, -1},
        {{"-k", "\xe9\xe8"}, "\xe9\xe8", "[\xe9,\xe8] ", 0, 0, -1},
    };
    for (const Case& c : cases) {
        RunOutcome outcome = Parse(c.Args);
        ASSERT_FALSE(outcome.Exited) << ShowWords(c.Args) << outcome.Output;
        EXPECT_EQ(outcome.Output, "") << ShowWords(c.Args);
        EXPECT_EQ(Settings.KeyList, c.KeyList) << ShowWords(c.Args);
        EXPECT_EQ(Settings.Prompt, c.Prompt) << ShowWords(c.Args);
        EXPECT_EQ(Settings.DefaultKey, std::string(c.DefaultKey != 0, c.DefaultKey)) << ShowWords(c.Args);
        EXPECT_EQ(Settings.TimeoutKey, std::string(c.TimeoutKey != 0, c.TimeoutKey)) << ShowWords(c.Args);
        EXPECT_EQ(Settings.Timeout, c.Timeout) << ShowWords(c.Args);
    }
}

TEST(PickitCommandLine, Flags)
{
    Parse({"-lqs"});
    EXPECT_TRUE(Settings.LineMode);
    EXPECT_TRUE(Settings.Quiet);
    EXPECT_TRUE(Settings.CaseSensitive);
    EXPECT_TRUE(Settings.ShowKeys);
    Parse({});
    EXPECT_FALSE(Settings.LineMode || Settings.Quiet || Settings.CaseSensitive);
}

TEST(PickitCommandLine, Errors)
{
    const char* timeoutError = "Invalid timeout or no timeout keystroke specified\r\nUse -h for help\r\n";
    const char* defaultError = "Default keystroke not in list of valid keys\r\nUse -h for help\r\n";
    const char* timeoutKeyError = "Timeout keystroke not in list of valid keys\r\nUse -h for help\r\n";
    struct Case {
        Words Args;
        const char* Output;
    } cases[] = {
        {{"-s", "-d", "Y"}, defaultError},
        {{"-d", "X"}, defaultError},
        {{"-t", "Y"}, timeoutError},
        {{"-t", "Y,"}, timeoutError},
        {{"-t", "Y5"}, timeoutError},
        {{"-t", "Y,0"}, timeoutError},
        {{"-t", "Y,-3"}, timeoutError},
        {{"-t", "Y,5s"}, timeoutError},
        {{"-t", "Y,40000"}, timeoutError},
        {{"-t", "Y,5 "}, timeoutError},
        {{"-t", "Y,5", "-t", "N"}, timeoutError},
        {{"-t", "X,5"}, timeoutKeyError},
        {{"-d", "X", "-t", "Y"}, timeoutError},
        {{"-d", "X", "-t", "Z,5"}, defaultError},
        {{"-s", "-t", "Y,5"}, timeoutKeyError},
    };
    for (const Case& c : cases) {
        RunOutcome outcome = Parse(c.Args);
        EXPECT_TRUE(outcome.Exited) << ShowWords(c.Args);
        EXPECT_EQ(outcome.Code, 0) << ShowWords(c.Args);
        EXPECT_EQ(outcome.Output, c.Output) << ShowWords(c.Args);
    }
}

TEST(PickitCommandLine, Usage)
{
    const Words usageLines[] = {{"-h"}, {"-H"}, {"/?"}, {"/?", "-t", "X"}, {"-d", "X", "-h"}, {"--help", "-t", "bad"}};
    for (const Words& args : usageLines) {
        RunOutcome outcome = Parse(args);
        EXPECT_TRUE(outcome.Exited) << ShowWords(args);
        EXPECT_EQ(outcome.Code, 0);
        EXPECT_EQ(outcome.Output.rfind("Pickit * Version 9 * ", 0), 0u) << ShowWords(args);
    }
    // The descriptions, and the line that goes on from one, start in column
    // 14; the usage line's second line under its options.
    std::istringstream usage(Parse({"-h"}).Output);
    for (std::string line; std::getline(usage, line);) {
        if (line.rfind("              [", 0) == 0) {
            EXPECT_EQ(line.find_first_not_of(' '), std::string("Usage: pickit ").size()) << line;
        } else if (line.rfind("  -", 0) == 0 || line.rfind("     ", 0) == 0) {
            EXPECT_EQ(line.find_first_not_of(' ', line.find("  ", 3)), 13u) << line;
        }
    }
    // "/?" anywhere but first is an unknown option, not a request for help.
    EXPECT_FALSE(Parse({"-k", "A", "/?"}).Exited);
}

// "/" opens switches on Windows alone; an unknown long option on POSIX is
// a command-line error, pickit's exit code 0.
TEST(PickitCommandLine, WordsBySyntax)
{
    SetCommandLine("pickit", {"/k", "abc", "/n", "/t", "bad"}, WindowsSyntax);
    ASSERT_TRUE(RunProgram([] { ParseCommandLine(); }).Output.rfind("Invalid timeout", 0) == 0);
    SetCommandLine("pickit", {"/k", "abc", "/n", "/t", "bad"}, PosixSyntax);
    ASSERT_FALSE(RunProgram([] { ParseCommandLine(); }).Exited);
    EXPECT_EQ(Settings.Prompt, "[Y,N] ");
    SetCommandLine("pickit", {"-k", "abc", "--keys", "-h"}, PosixSyntax);
    RunOutcome outcome = RunProgram([] { ParseCommandLine(); });
    EXPECT_EQ(outcome.Code, 0);
    EXPECT_EQ(outcome.Output, "Unknown option --keys\r\nUse -h for help\r\n");
}

TEST(PickitCommandLine, LongPromptIsCutAt255)
{
    Parse({"-p", std::string(250, 'p')});
    EXPECT_EQ(Settings.Prompt, std::string(250, 'p') + " [Y,N");
    Parse({"-k", std::string(255, 'a')});
    EXPECT_EQ(Settings.Prompt.size(), 255u);
    EXPECT_EQ(Settings.Prompt.substr(0, 4), "[A,A");
}

TEST(PickitCommandLine, JoinKeys)
{
    EXPECT_EQ(JoinKeys("YN"), "Y,N");
    EXPECT_EQ(JoinKeys("Y"), "Y");
}

}  // namespace
