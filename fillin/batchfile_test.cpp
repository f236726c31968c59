#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "charset.h"
#include "fillin.h"
#include "virtual_console.h"

namespace {

const char* const OutName = "fillin_unit_out.bat";

std::string FileBytes(const char* name)
{
    std::ifstream file(name, std::ios::binary);
    if (!file)
        return "(missing)";
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void PutFile(const char* name, const std::string& bytes)
{
    std::ofstream(name, std::ios::binary) << bytes;
}

struct Outcome {
    bool Exited = false;
    int Code = -1;
    std::string Output;
    std::string File;
};

// Settings as ParseCommandLine leaves them for -v x -f OutName, the value
// already fetched; the keys are typed at once. Once they run out the
// console goes away, so a test that waits for more keys ends as on Ctrl+C.
Outcome EditRun(const std::string& value, const std::string& keys, const PlatformFlags& platform = {},
            std::int32_t limit = 2040, std::int32_t timeout = 0)
{
    VirtualConsoleReset();
    VirtualConsoleSetPresent(false);
    PushKeys(keys);
    Platform = platform;
    Settings = FillinSettings();
    Settings.VarName = "X";
    Settings.OutFile = OutName;
    Settings.Prompt = "Name: ";
    Settings.Value = value;
    Settings.InputLimit = limit;
    Settings.Timeout = timeout;
    PutFile(OutName, "old\r\n");
    Outcome outcome;
    try {
        EditAndWrite();
    } catch (const ProgramExit& exit) {
        outcome.Exited = true;
        outcome.Code = exit.Code;
    }
    outcome.Output = OutputBytes;
    outcome.File = FileBytes(OutName);
    std::remove(OutName);
    Platform = PlatformFlags();
    return outcome;
}

const PlatformFlags Win9x = {true, false};
const PlatformFlags WinNT = {false, true};

TEST(FillinEditAndWrite, WritesTheOneLine)
{
    struct Case {
        std::string Value, Keys;
        PlatformFlags Platform;
        std::string File;
    } cases[] = {
        {"abc", "\r", {}, "SET X=abc\r\n"},
        {"abc", "\bd\r", {}, "SET X=abd\r\n"},
        {"", "new value\r", {}, "SET X=new value\r\n"},
        {"a&b", "\r", WinNT, "SET X=a^^^&b\r\n"},
        {"a&b", "\r", Win9x, "SET X=a&b\r\n"},
        {"a&b", "\r", {}, "SET X=a&b\r\n"},
        {"50%", "\r", {}, "SET X=50%%\r\n"},
        {"^", "\r", WinNT, "SET X=^^^^\r\n"},
        // The terminal's encoding, one byte a character on the console.
        {"\xe9t\xe9", "\r", {}, LocaleIsUtf8() ? "SET X=\xc3\xa9t\xc3\xa9\r\n" : "SET X=\xe9t\xe9\r\n"},
    };
    for (const Case& c : cases) {
        Outcome outcome = EditRun(c.Value, c.Keys, c.Platform);
        EXPECT_FALSE(outcome.Exited) << c.Value << " code " << outcome.Code;
        EXPECT_EQ(outcome.File, c.File) << c.Value;
        EXPECT_EQ(outcome.Output.rfind("Name: ", 0), 0u) << c.Value;
    }
}

TEST(FillinEditAndWrite, KeepsTheOldFile)
{
    struct Case {
        std::string Value, Keys;
        int Code;
    } cases[] = {
        {"abc", "\x03", 1},    // Ctrl+C
        {"abc", "x\x03", 1},
        {"", "\r", 2},         // nothing entered
        {"abc", "\x1b\r", 2},  // Esc clears the line
    };
    for (const Case& c : cases) {
        Outcome outcome = EditRun(c.Value, c.Keys);
        EXPECT_TRUE(outcome.Exited) << c.Keys;
        EXPECT_EQ(outcome.Code, c.Code) << c.Keys;
        EXPECT_EQ(outcome.File, "old\r\n") << c.Keys;
    }
}

TEST(FillinEditAndWrite, TimeOutAcceptsTheStartingText)
{
    Outcome outcome = EditRun("abc", "", {}, 2040, 5);
    EXPECT_FALSE(outcome.Exited);
    EXPECT_EQ(outcome.File, "SET X=abc\r\n");
    EXPECT_GE(VirtualClock() - 45296.789, 5.0);
    outcome = EditRun("", "", {}, 2040, 5);
    EXPECT_EQ(outcome.Code, 2);
    EXPECT_EQ(outcome.File, "old\r\n");
}

TEST(FillinEditAndWrite, Win9xRefusesRedirectionCharacters)
{
    // Enter on a|b is refused; the editor comes back with a|b, two
    // Backspaces leave "a".
    Outcome outcome = EditRun("a|b", "\r\b\b\r", Win9x);
    EXPECT_FALSE(outcome.Exited);
    EXPECT_EQ(outcome.File, "SET X=a\r\n");
    EXPECT_EQ(outcome.Output.rfind("Name: a|b\r\nIllegal characters specified: <, |, or >\r\nName: a|b", 0), 0u)
        << outcome.Output;
    // Elsewhere the value is taken as it is.
    EXPECT_EQ(EditRun("a|b", "\r", WinNT).File, "SET X=a^^^|b\r\n");
    EXPECT_EQ(EditRun("a<b>", "\r").File, "SET X=a<b>\r\n");
}

TEST(FillinEditAndWrite, LimitCutsTheEscapedValue)
{
    EXPECT_EQ(EditRun("50%ab", "\r", {}, 5).File, "SET X=50%%a\r\n");
    EXPECT_EQ(EditRun("%%%", "\r", {}, 3).File, "SET X=\r\n");
    EXPECT_EQ(EditRun("a&bc", "\r", WinNT, 4).File, "SET X=a\r\n");
}

TEST(FillinEditAndWrite, EscapedValueIsWrittenWhole)
{
    // 2040 fills the limit, but t is negative: no cut.
    Outcome outcome = EditRun(std::string(2040, '&'), "\r", WinNT, 2040);
    EXPECT_EQ(outcome.File.size(), 6 + 2040u * 4 + 2);
    std::string escaped;
    for (int i = 0; i < 2000; i++)
        escaped += "^^^|";
    EXPECT_EQ(EditRun(std::string(2000, '|'), "\r", WinNT).File, "SET X=" + escaped + "\r\n");
}

TEST(FillinEditAndWrite, CannotOpenTheFile)
{
    VirtualConsoleReset();
    VirtualConsoleSetPresent(false);
    PushKeys("\r");
    Settings = FillinSettings();
    Settings.VarName = "X";
    Settings.OutFile = "no_such_folder_fillin/out.bat";
    Settings.Value = "abc";
    Settings.InputLimit = 2040;
    int code = -1;
    try {
        EditAndWrite();
    } catch (const ProgramExit& exit) {
        code = exit.Code;
    }
    EXPECT_EQ(code, 3);
    EXPECT_EQ(OutputBytes, "abc\r\nCannot open file for output\r\nUse -h for help\r\n");
}

}  // namespace
