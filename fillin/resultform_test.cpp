#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "fillin.h"
#include "program_run.h"

namespace {

using namespace fillin;

const PlatformFlags Other = {false, false};
const PlatformFlags Win9x = {true, false};
const PlatformFlags WinNT = {false, true};

// ParseCommandLine on the platform: the exit code (-1: none) and the output.
std::pair<int, std::string> Parse(const Words& words, const PlatformFlags& platform = Other)
{
    SetCommandLine("fillin", words);
    Platform = platform;
    Settings.MaxLine = MaxLineFor(platform);
    RunOutcome run = RunProgram([] { ParseCommandLine(); });
    return {run.Code, run.Output};
}

TEST(FillinResultForm, Lines)
{
    struct Case {
        std::string Value, Sh, Fish;
    } cases[] = {
        {"abc", "'abc'", "'abc'"},
        {"it's", "'it'\\''s'", "'it\\'s'"},
        {"''", "''\\'''\\'''", "'\\'\\''"},
        {"a\\b\\", "'a\\b\\'", "'a\\\\b\\\\'"},
        {"\\'", "'\\'\\'''", "'\\\\\\''"},
        // Nothing else is special inside single quotes: no carets, no %%.
        {"$HOME `id` \"q\" %P% ^&|<>;*?[]~#!(){}=", "'$HOME `id` \"q\" %P% ^&|<>;*?[]~#!(){}='",
         "'$HOME `id` \"q\" %P% ^&|<>;*?[]~#!(){}='"},
        {"  a b  ", "'  a b  '", "'  a b  '"},
        {"\xc3\xa9\x82\t", "'\xc3\xa9\x82\t'", "'\xc3\xa9\x82\t'"},
        // A line end never gets into the line.
        {"a\r\nb\nc\r", "'abc'", "'abc'"},
        {"\n", "''", "''"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShLine("x_Y1", c.Value), "export x_Y1=" + c.Sh + "\n") << c.Value;
        EXPECT_EQ(FishLine("x_Y1", c.Value), "set -gx x_Y1 " + c.Fish + "\n") << c.Value;
    }
}

// The known names decide; any other gets the system's own form: the SET
// line on Windows, the shell's line on POSIX.
TEST(FillinResultForm, ChosenByTheFileName)
{
    const ResultForm bat = ResultForm::Batch, sh = ResultForm::Sh, fish = ResultForm::Fish;
    struct Case {
        std::string File;
        ResultForm Windows, Posix;
    } cases[] = {
        {"a.sh", sh, sh},         {"/tmp/d.bat/A.SH", sh, sh}, {".sh", sh, sh},
        {"a.bash", sh, sh},       {"a.ZSH", sh, sh},           {"a.ksh", sh, sh},
        {"a.dash", sh, sh},       {"a.Fish", fish, fish},      {"C:\\t\\a.fish", fish, fish},
        {"a.bat", bat, bat},      {"A.CMD", bat, bat},         {"a.sh.Bat", bat, bat},
        {"a.fish.cmd", bat, bat}, {"/tmp/tmp.Xq3bZ9", bat, sh}, {"a", bat, sh},
        {"./-", bat, sh},         {"--", bat, sh},             {"a.csh", bat, sh},
        {"a.shx", bat, sh},       {"a.bat/b", bat, sh},        {"a_bat", bat, sh},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResultFormFor(c.File, ResultForm::Batch), c.Windows) << c.File;
        EXPECT_EQ(ResultFormFor(c.File, ResultForm::Sh), c.Posix) << c.File;
    }
    EXPECT_EQ(ResultFormFor("-"), ResultForm::Plain);
}

TEST(FillinResultForm, ShellNames)
{
    for (const char* name : {"x", "_", "_a1", "Name_2", "PATH"})
        EXPECT_TRUE(IsShellName(name)) << name;
    for (const char* name : {"", "1x", "a-b", "a b", "a;b", "$x", "x;rm -rf ~;y", "a=b", "\xe9", "a.b", "a'b"})
        EXPECT_FALSE(IsShellName(name)) << name;
}

TEST(FillinResultForm, CommandLine)
{
    const std::string invalid = "Environment variable name not valid for a shell script\r\nUse -h for help\r\n";
    struct Case {
        Words Args;
        int Code;
        std::string VarName;  // with Code -1
    } cases[] = {
        {{"-v", "name", "-f", "a.sh"}, -1, "name"},
        {{"-v", "Name_1", "-f", "a.FISH"}, -1, "Name_1"},
        {{"-v", "name", "-f", "a.bat"}, -1, "NAME"},
        {{"-v", "a-b", "-f", "a.cmd"}, -1, "A-B"},
        {{"-v", "x;rm", "-f", "a.BAT"}, -1, "X;RM"},
        {{"-v", "x;rm", "-f", "a.sh"}, 3, ""},
        {{"-v", "x;rm", "-f", "a.fish"}, 3, ""},
        {{"-v", "a-b", "-f", "a.sh"}, 3, ""},
        {{"-v", "$x", "-f", "a.sh"}, 3, ""},
        {{"-v", "1x", "-f", "a.sh"}, 3, ""},
        {{"-v", "\xe9", "-f", "a.sh"}, 3, ""},
        {{"-v", "a-b", "-f", "a.bash"}, 3, ""},
        // Standard output holds no name: any is looked up as typed.
        {{"-v", "a-b", "-f", "-"}, -1, "a-b"},
        {{"-v", "name", "-f", "-"}, -1, "name"},
    };
    for (const PlatformFlags& platform : {Other, Win9x, WinNT}) {
        for (const Case& c : cases) {
            auto [code, output] = Parse(c.Args, platform);
            EXPECT_EQ(code, c.Code) << c.Args[1] << " " << c.Args[3];
            if (c.Code == 3)
                EXPECT_EQ(output, invalid);
            else
                EXPECT_EQ(Settings.VarName, c.VarName);
        }
    }
    // A blank in the name is refused before the form is looked at.
    EXPECT_EQ(Parse({"-v", "a b", "-f", "a.sh"}).second,
              "Environment variable name contains illegal characters\r\nUse -h for help\r\n");
    // The room to type is the SET line's.
    Parse({"-v", "x", "-f", "a.sh"});
    EXPECT_EQ(Settings.InputLimit, 2040);
    EXPECT_EQ(Parse({"-v", "x", "-f", "a.fish", "-l", "2041"}).first, 3);
}

TEST(FillinResultForm, CurrentValue)
{
    SetEnvironment("fillin_rf_lower", "low");
    SetEnvironment("FILLIN_RF_CARETS", "a^&b");
    SetEnvironment("FILLIN_RF_LF", "a\nb");
    SetEnvironment("fillin_rf_case", "low");
    SetEnvironment("FILLIN_RF_CASE", "HIGH");  // on Windows the same variable
    SetEnvironment("FILLIN_RF_QUOTED", "^(\"^&\"^)");
    // Unescaped, its line would be longer than cmd reads.
    SetEnvironment("FILLIN_RF_LONG", ("!" + std::string(1360, '^')).c_str());
    DetectPlatform();
    bool windows = Platform.IsWin9x || Platform.IsWinNT;
    struct Case {
        std::string Name, File;
        PlatformFlags Platform;
        std::string Value;
        std::string OnWindows = {};  // empty: the same
        bool Exact = false;
    } cases[] = {
        {"fillin_rf_lower", "a.sh", Other, "low"},
        {"fillin_rf_lower", "a.fish", Other, "low"},
        // Elsewhere names are case-sensitive: a shell form looks the value up
        // under the name as typed, the SET form under the upper-cased one.
        {"fillin_rf_case", "a.sh", Other, "low", "HIGH"},
        {"fillin_rf_case", "a.fish", Other, "low", "HIGH"},
        {"fillin_rf_case", "a.bat", Other, "HIGH"},
        {"fillin_rf_case", "a.cmd", Other, "HIGH"},
        // Carets are only removed from what the SET form wrote, and only
        // outside quotes; with -e it wrote the value itself.
        {"FILLIN_RF_CARETS", "a.sh", WinNT, "a^&b"},
        {"FILLIN_RF_CARETS", "a.bat", WinNT, "a&b"},
        {"FILLIN_RF_CARETS", "a.bat", WinNT, "a^&b", {}, true},
        {"FILLIN_RF_CARETS", "a.bat", Other, "a^&b"},
        {"FILLIN_RF_QUOTED", "a.bat", WinNT, "(\"^&\")"},
        // A line end has no place in the one line of any form: start empty.
        {"FILLIN_RF_LF", "a.sh", Other, ""},
        {"FILLIN_RF_LF", "a.bat", WinNT, ""},
        {"FILLIN_RF_LONG", "a.bat", WinNT, ""},
        {"FILLIN_RF_LONG", "a.bat", WinNT, "", {}, true},
    };
    for (const Case& c : cases) {
        Words args = {"-v", c.Name, "-f", c.File};
        if (c.Exact)
            args.push_back("-e");
        Parse(args, c.Platform);
        EXPECT_EQ(Settings.Value, windows && !c.OnWindows.empty() ? c.OnWindows : c.Value)
            << c.Name << " " << c.File;
    }
}

std::string Repeat(const std::string& text, int times)
{
    std::string result;
    while (times-- > 0)
        result += text;
    return result;
}

TEST(FillinResultForm, Written)
{
    const char* const outName = "fillin_unit_out.sh";
    struct Case {
        std::string Value;
        PlatformFlags Platform;
        std::string Keys, File;
    } cases[] = {
        {"a&b%", WinNT, "\r", "export X='a&b%'\n"},
        // Refused by COMMAND.COM's SET line only.
        {"a|b", Win9x, "\r", "export X='a|b'\n"},
        // A full value is written whole, however the quoting grows it.
        {std::string(2040, '\''), Other, "\r", "export X='" + Repeat("'\\''", 2040) + "'\n"},
    };
    for (const Case& c : cases) {
        SetCommandLine("fillin", {});
        VirtualConsoleSetPresent(false);
        PushTyped(c.Keys);
        Platform = c.Platform;
        Settings = FillinSettings();
        Settings.VarName = "X";
        Settings.OutFile = outName;
        Settings.Form = ResultForm::Sh;
        Settings.Value = c.Value;
        Settings.InputLimit = 2040;
        RunOutcome run = RunProgram([] { EditAndWrite(); });
        EXPECT_FALSE(run.Exited) << run.Code << ": " << run.Output;
        std::ifstream file(outName, std::ios::binary);
        std::string written((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        file.close();
        std::remove(outName);
        EXPECT_EQ(written, c.File) << c.Value.substr(0, 10);
    }
}

}  // namespace

namespace {

// -f -: the value alone on standard output, the dialogue on the terminal.
TEST(FillinResultForm, StandardOutput)
{
    struct Case {
        Words Args;
        std::string Keys;
        int Code;
        std::string Result, Dialogue;  // the dialogue's start
    } cases[] = {
        {{"-v", "x", "-f", "-", "-p", "V: "}, " it's $x\r", -1, "ab it's $x\r\n", "V: ab"},
        {{"-v", "x", "-f", "-"}, "\b\ba&b%\r", -1, "a&b%\r\n", "ab"},
        // Nothing for Ctrl+C or an empty value.
        {{"-v", "x", "-f", "-"}, "c\x03", 1, "", "ab"},
        {{"-v", "x", "-f", "-"}, "\x1b\r", 2, "", "ab"},
        // Messages go to the terminal too.
        {{"-f", "-"}, "", 3, "", "Environment variable name not specified\r\nUse -h for help\r\n"},
    };
    SetEnvironment("x", "ab");
    for (const PlatformFlags& platform : {Other, WinNT}) {
        for (const Case& c : cases) {
            SetCommandLine("fillin", c.Args);
            VirtualConsoleSetPresent(false);
            PushTyped(c.Keys);
            Platform = platform;
            Settings.MaxLine = MaxLineFor(platform);
            RunOutcome run = RunProgram([] {
                ParseCommandLine();
                EditAndWrite();
            });
            EXPECT_EQ(run.Code, c.Code) << c.Keys;
            EXPECT_TRUE(DialogueOnTerminal);
            EXPECT_EQ(ResultBytes, c.Result) << c.Keys;
            EXPECT_EQ(run.Output.substr(0, c.Dialogue.size()), c.Dialogue) << c.Keys;
        }
    }
}

}  // namespace
