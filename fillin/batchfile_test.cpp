#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "fillin.h"
#include "program_run.h"

namespace {

using namespace fillin;

const char* const OutName = "fillin_unit_out.bat";

struct Outcome {
    int Code = 0;  // 0: EditAndWrite returned
    std::string Output;
    std::string File;
};

// EditAndWrite for -v x, the value already fetched, over an old batch file.
// Once the keys run out the console goes away, so a run that waits for more
// ends as on Ctrl+C instead of hanging.
Outcome EditRun(const std::string& value, const std::string& keys, const PlatformFlags& platform,
                std::int32_t limit = 2040, const char* outFile = OutName,
                const std::vector<std::uint8_t>& extendedFirst = {})
{
    SetCommandLine("fillin", {});
    VirtualConsoleSetPresent(false);
    double at = 0;
    for (std::uint8_t key : extendedFirst) {
        PushExtended(key, at);
        at += 0.01;
    }
    PushTyped(keys, at);
    Platform = platform;
    Settings = FillinSettings();
    Settings.VarName = "X";
    Settings.OutFile = outFile;
    Settings.Prompt = "V: ";
    Settings.Value = value;
    Settings.InputLimit = limit;
    std::ofstream(OutName, std::ios::binary) << "old\r\n";
    RunOutcome run = RunProgram([] { EditAndWrite(); });
    Outcome outcome;
    outcome.Code = run.Exited ? run.Code : 0;
    outcome.Output = run.Output;
    std::ifstream file(OutName, std::ios::binary);
    outcome.File.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    file.close();
    std::remove(OutName);
    return outcome;
}

const PlatformFlags Other = {false, false};
const PlatformFlags Win9x = {true, false};
const PlatformFlags WinNT = {false, true};

std::string Repeat(const std::string& text, int times)
{
    std::string result;
    while (times-- > 0)
        result += text;
    return result;
}

TEST(FillinEditAndWrite, Outcomes)
{
    struct Case {
        std::string Value, Keys;
        PlatformFlags Platform;
        int Limit;
        int Code;
        std::string File;
    } cases[] = {
        {"abc", "\bd\r", Other, 2040, 0, "SET X=abd\r\n"},
        {"a&b", "\r", WinNT, 2040, 0, "SET X=a^^^&b\r\n"},
        {"a&b", "\r", Win9x, 2040, 0, "SET X=a&b\r\n"},
        {"a<b>", "\r", Other, 2040, 0, "SET X=a<b>\r\n"},
        // A value that fills the limit is written whole, escapes and all.
        {"a&bc", "\r", WinNT, 4, 0, "SET X=a^^^&bc\r\n"},
        {"%%%", "\r", Other, 3, 0, "SET X=%%%%%%\r\n"},
        // Past the editor's 2047 characters, written whole.
        {std::string(2000, '|'), "\r", WinNT, 2040, 0, "SET X=" + Repeat("^^^|", 2000) + "\r\n"},
        {std::string(2040, '&'), "\r", WinNT, 2040, 0, "SET X=" + Repeat("^^^&", 2040) + "\r\n"},
        // The old file stays.
        {"abc", "x\x03", Other, 2040, 1, "old\r\n"},
        {"", "\r", Other, 2040, 2, "old\r\n"},
        {"abc", "\x1b\r", WinNT, 2040, 2, "old\r\n"},
    };
    for (const Case& c : cases) {
        Outcome outcome = EditRun(c.Value, c.Keys, c.Platform, c.Limit);
        EXPECT_EQ(outcome.Code, c.Code) << c.Value.substr(0, 10);
        EXPECT_EQ(outcome.File, c.File) << c.Value.substr(0, 10);
    }
}

// The editor takes no key that would make the line longer than cmd reads
// whole: typed, or a deleted quote that leaves its text to be escaped.
TEST(FillinEditAndWrite, KeepsALineThatCmdReadsWhole)
{
    const std::string Carets = "!" + std::string(679, '^') + "aaa";  // 8190 characters; one "a" more is two
    const std::string Quoted = "!\"" + std::string(816, '&') + "\"";
    struct Case {
        std::string Value;
        std::vector<std::uint8_t> Extended;  // before Keys
        std::string Keys, Written;
    } cases[] = {
        {Carets, {}, "a\r", Carets},
        {Carets, {}, "\b\bb\r", "!" + std::string(679, '^') + "ab"},
        {Quoted, {71, 77, 83}, "\r", Quoted},  // Home, Right, Del
        {Quoted, {}, "\b\r", Quoted.substr(0, Quoted.size() - 1)},
    };
    for (const Case& c : cases) {
        Outcome outcome = EditRun(c.Value, c.Keys, WinNT, 2040, OutName, c.Extended);
        EXPECT_EQ(outcome.Code, 0);
        EXPECT_EQ(outcome.File, BatchLine("X", c.Written, false)) << c.Written.substr(0, 10);
        EXPECT_TRUE(LineFits(outcome.File));
    }
}

TEST(FillinEditAndWrite, Win9xRefusesRedirectionCharacters)
{
    // Enter on a|b is refused; the editor comes back with a|b.
    Outcome outcome = EditRun("a|b", "\r\b\b\r", Win9x);
    EXPECT_EQ(outcome.File, "SET X=a\r\n");
    EXPECT_EQ(outcome.Output.rfind("V: a|b\r\nIllegal characters specified: <, |, or >\r\nV: a|b", 0), 0u)
        << outcome.Output;
}

// Refused before the prompt: nothing to type in vain.
TEST(FillinEditAndWrite, CannotOpenTheFile)
{
    for (const char* name : {"no_such_folder_fillin/out.bat", ".", "fillin_unit_out.bat/x.bat"}) {
        Outcome outcome = EditRun("abc", "\r", Other, 2040, name);
        EXPECT_EQ(outcome.Code, 3) << name;
        EXPECT_EQ(outcome.Output, "Cannot open file for output\r\nUse -h for help\r\n") << name;
        EXPECT_EQ(outcome.File, "old\r\n") << name;
    }
}

}  // namespace
