#include <gtest/gtest.h>

#include <sstream>

#include "charset.h"
#include "fillin.h"
#include "program_run.h"

namespace {

using namespace fillin;

const PlatformFlags Other = {false, false};
const PlatformFlags Win9x = {true, false};
const PlatformFlags WinNT = {false, true};

// The main body up to the editing, on the given platform.
RunOutcome Parse(const Words& words, const PlatformFlags& platform = Other)
{
    SetCommandLine("fillin", words);
    Platform = platform;
    Settings.MaxLine = MaxLineFor(platform);
    return RunProgram([] { ParseCommandLine(); });
}

TEST(FillinCommandLine, Accepted)
{
    struct Case {
        Words Args;
        std::string VarName;
        int Limit, LimitWin9x;
        int Timeout;
    } cases[] = {
        {{"-v", "x", "-f", "a.bat", "/?"}, "X", 2040, 1017, 0},
        {{"-v", "ab\xe9z1_", "-f", "a.bat"}, "AB\xe9Z1_", 2035, 1012, 0},
        {{"-v", "a,c;d.e/", "-f", "a.bat"}, "A,C;D.E/", 2033, 1010, 0},
        {{"-v", "x", "-f", "a.bat", "-t", "-5"}, "X", 2040, 1017, -5},
        {{"-v", "x", "-f", "a.bat", "-t", " 10"}, "X", 2040, 1017, 10},
        {{"-v", "x", "-f", "a.bat", "-t", "$10"}, "X", 2040, 1017, 16},
        {{"-v", "x", "-f", "a.bat", "-l", "32767"}, "X", 2040, 1017, 0},
        {{"-v", "x", "-f", "a.bat", "-l", "1017"}, "X", 1017, 1017, 0},
        {{"-vx", "-fa.bat", "-q", "loose", "-f"}, "X", 2040, 1017, 0},
        {{"-v", std::string(300, 'n'), "-f", "a.bat"}, std::string(255, 'N'), 1786, 763, 0},
    };
    for (const PlatformFlags& platform : {Other, Win9x, WinNT}) {
        for (const Case& c : cases) {
            RunOutcome outcome = Parse(c.Args, platform);
            ASSERT_FALSE(outcome.Exited) << ShowWords(c.Args) << outcome.Output;
            EXPECT_EQ(Settings.VarName, c.VarName) << ShowWords(c.Args);
            EXPECT_EQ(Settings.InputLimit, platform.IsWin9x ? c.LimitWin9x : c.Limit) << ShowWords(c.Args);
            EXPECT_EQ(Settings.Timeout, c.Timeout) << ShowWords(c.Args);
            EXPECT_EQ(Settings.OutFile, "a.bat") << ShowWords(c.Args);
        }
    }
    // Only "a" to "z" are upper-cased, in UTF-8 too: é (which the code
    // page that Wine's tests run in holds as well).
    for (const PlatformFlags& platform : {Other, WinNT}) {
        SetCommandLine("fillin", {"-v", "\xc3\xa9t\xc3\xa9", "-f", "a.bat"});
        VirtualConsoleSetUtf8(true);
        Platform = platform;
        Settings.MaxLine = MaxLineFor(platform);
        ASSERT_FALSE(RunProgram([] { ParseCommandLine(); }).Exited);
        EXPECT_EQ(Settings.VarName, "\xc3\xa9T\xc3\xa9");
    }
    SetLocaleIsUtf8(-1);
    Parse({"-v", "x", "-f", "a.bat", "-bmnou", "-p", "V?"});
    const EditFlags& edit = Settings.Edit;
    EXPECT_TRUE(edit.CursorAtStart && edit.MaskInput && edit.Overtype && edit.UpperCase);
    EXPECT_FALSE(edit.NumericOnly);  // -m cancels -n
    EXPECT_EQ(Settings.Prompt, "V?");
}

TEST(FillinCommandLine, Errors)
{
    const std::string noName = "Environment variable name not specified";
    const std::string illegal = "Environment variable name contains illegal characters";
    const std::string noFile = "Output file name not specified";
    const std::string badTimeout = "Invalid timeout specified";
    const std::string length = "Length must be from 1 to ";
    struct Case {
        Words Args;
        std::string Message;       // empty: accepted
        std::string MessageWin9x;  // empty: the same
    } cases[] = {
        {{"-f", "a.bat"}, noName, ""},
        {{"-v"}, noName, ""},
        {{"-v", "a b", "-f", "a.bat"}, illegal, ""},
        {{"-v", "a\tb"}, illegal, ""},
        {{"-v", "<"}, illegal, ""},
        {{"-v", ">"}, illegal, ""},
        {{"-v", "|"}, illegal, ""},
        // Each would run a command, expand a variable or open a quote.
        {{"-v", "X&echo", "-f", "a.bat"}, illegal, ""},
        {{"-v", "x^", "-f", "a.bat"}, illegal, ""},
        {{"-v", "P%", "-f", "a.bat"}, illegal, ""},
        {{"-v", "a\"b", "-f", "a.bat"}, illegal, ""},
        {{"-v", "(x", "-f", "a.bat"}, illegal, ""},
        {{"-v", "x)", "-f", "a.bat"}, illegal, ""},
        {{"-v", "x!", "-f", "-"}, illegal, ""},
        {{"-v", "x", "-f"}, noFile, ""},
        {{"-v", "-f", "a.bat"}, noFile, ""},  // the name is "-F"
        {{"-v", "x", "-f", "a.bat", "-t", "abc", "-l", "0"}, badTimeout, ""},
        {{"-v", "x", "-f", "a.bat", "-t", "-1"}, badTimeout, ""},
        {{"-v", "x", "-f", "a.bat", "-t", "$FFFFFFFF"}, badTimeout, ""},
        {{"-v", "x", "-f", "a.bat", "-t", "10 "}, badTimeout, ""},
        {{"-v", "x", "-f", "a.bat", "-l", "0"}, length + "2040", length + "1017"},
        {{"-v", "x", "-f", "a.bat", "-l", "-3"}, length + "2040", length + "1017"},
        {{"-v", "x", "-f", "a.bat", "-l", "abc"}, length + "2040", length + "1017"},
        {{"-v", "x", "-f", "a.bat", "-l", "2041"}, length + "2040", length + "1017"},
        {{"-v", "x", "-f", "a.bat", "-l", "2040"}, "", length + "1017"},
        {{"-v", "path", "-f", "a.bat", "-l", "0"}, length + "2037", length + "1014"},
    };
    for (const PlatformFlags& platform : {Other, Win9x, WinNT}) {
        for (const Case& c : cases) {
            std::string message = platform.IsWin9x && !c.MessageWin9x.empty() ? c.MessageWin9x : c.Message;
            RunOutcome outcome = Parse(c.Args, platform);
            EXPECT_EQ(outcome.Code, message.empty() ? -1 : 3) << ShowWords(c.Args);
            EXPECT_EQ(outcome.Output, message.empty() ? "" : message + "\r\nUse -h for help\r\n") << ShowWords(c.Args);
        }
    }
}

TEST(FillinCommandLine, Usage)
{
    for (const Words& args : {Words{}, Words{"/?", "-v", "a b"}, Words{"-H", "-t", "abc"},
                              Words{"-V", "x", "-F", "a.bat", "-h"}}) {
        RunOutcome outcome = Parse(args);
        EXPECT_EQ(outcome.Code, 0) << ShowWords(args);
        EXPECT_EQ(outcome.Output.rfind("Fillin * Version 9 * ", 0), 0u) << ShowWords(args);
    }
    // The columns line up: options under options, descriptions in column 16.
    std::istringstream usage(Parse({"-h"}).Output);
    for (std::string line; std::getline(usage, line);) {
        if (line.rfind("  -", 0) == 0) {
            EXPECT_EQ(line.find_first_not_of(' ', line.find("  ", 3)), 15u) << line;
        } else if (line.rfind("     ", 0) == 0) {
            EXPECT_EQ(line.find_first_not_of(' '), std::string("Usage: fillin ").size()) << line;
        }
    }
}

// Names that cmd would misread are refused in every form: with "=" SET
// sets another variable, and "/" first makes the name a switch of SET's.
TEST(FillinCommandLine, Names)
{
    const std::string illegal = "Environment variable name contains illegal characters\r\nUse -h for help\r\n";
    struct Case {
        std::string Name;
        bool Refused;
    } cases[] = {
        {"a=b", true}, {"=", true}, {"x=", true}, {"=x", true}, {"/p", true}, {"/a", true},
        {"/?", true},  {"/", true}, {"/x_1", true}, {"x", false}, {"x_/", false}, {"a/b", false},
    };
    for (const PlatformFlags& platform : {Other, Win9x, WinNT}) {
        for (const char* file : {"a.bat", "a.sh", "a.fish", "-"}) {
            for (const Case& c : cases) {
                RunOutcome outcome = Parse({"-v", c.Name, "-f", file}, platform);
                EXPECT_EQ(outcome.Output == illegal, c.Refused) << c.Name << " " << file;
                EXPECT_EQ(outcome.Code == 3, c.Refused || outcome.Output != "") << c.Name << " " << file;
            }
        }
    }
}

// Windows reads "/" as a switch and "--x" as a cluster; POSIX "/" as a
// path and "--name" as a long option, only --help and --version known.
TEST(FillinCommandLine, WordsBySyntax)
{
    const OptionSyntax windows = WindowsSyntax, posix = PosixSyntax;
    const std::string usage = "Fillin * Version 9 * a line of input for your scripts";
    struct Case {
        OptionSyntax Syntax;
        Words Args;
        int Code;
        std::string Start;  // of the output
    } cases[] = {
        {windows, {"/V", "x", "/F", "a.bat", "/T", "3"}, -1, ""},
        {posix, {"/V", "x", "/F", "a.bat", "/T", "3"}, 3, "Environment variable name not specified"},
        {windows, {"-v", "x", "-f", "a.bat", "/usr/share"}, 0, usage},
        {posix, {"-v", "x", "-f", "a.bat", "/usr/share"}, -1, ""},
        {windows, {"-v", "x", "--file", "o.sh"}, -1, ""},
        {posix, {"-v", "x", "--file", "o.sh"}, 3, "Unknown option --file"},
        {posix, {"--verbose", "-v", "x", "-f", "a.bat"}, 3, "Unknown option --verbose"},
        {posix, {"--a\nb\x1b"}, 3, "Unknown option --a?b?\r\n"},
        {posix, {"-v", "x", "-f", "a.bat", "--", "--file"}, -1, ""},
        {posix, {"-v", "x", "--help"}, 0, usage},
        {posix, {"-t", "bad", "--version"}, 0, "fillin 9."},
    };
    for (const Case& c : cases) {
        SetCommandLine("fillin", c.Args, c.Syntax);
        RunOutcome outcome = RunProgram([] { ParseCommandLine(); });
        EXPECT_EQ(outcome.Code, c.Code) << ShowWords(c.Args);
        EXPECT_EQ(outcome.Output.substr(0, c.Start.size()), c.Start) << ShowWords(c.Args);
        EXPECT_EQ(outcome.Output.empty(), c.Start.empty()) << ShowWords(c.Args);
    }
}

// Without -l a value the line has no room for starts empty: cut and
// written back it would lose its end. With -l the editor cuts it.
TEST(FillinCommandLine, CurrentValueLongerThanTheRoom)
{
    struct Case {
        std::size_t Length;
        Words More;
        PlatformFlags Platform;
        std::size_t Kept;
    } cases[] = {
        {2040, {}, Other, 2040},
        {2041, {}, Other, 0},
        {2045, {}, Other, 0},
        {2045, {"-l", "5"}, Other, 2045},
        {2045, {"-l", "32767"}, Other, 0},
        {1017, {}, Win9x, 1017},
        {1018, {}, Win9x, 0},
    };
    for (const Case& c : cases) {
        SetEnvironment("Q", std::string(c.Length, '7').c_str());
        Words args = {"-v", "q", "-f", "a.bat"};
        args.insert(args.end(), c.More.begin(), c.More.end());
        ASSERT_FALSE(Parse(args, c.Platform).Exited);
        EXPECT_EQ(Settings.Value.size(), c.Kept) << c.Length << ShowWords(c.More);
    }
}

TEST(FillinCommandLine, RemoveCarets)
{
    struct Case {
        std::string In, Out;
    } cases[] = {
        {"", ""}, {"plain", "plain"}, {"^&", "&"}, {"a^^^&b", "a^&b"}, {"^^", "^"},
        {"^^^^", "^^"}, {"^", ""}, {"ab^", "ab"}, {"^^^(x^^^)", "^(x^)"}, {"^a^b", "ab"},
    };
    for (const Case& c : cases) {
        std::string text = c.In;
        RemoveCarets(text);
        EXPECT_EQ(text, c.Out) << c.In;
    }
}

}  // namespace
