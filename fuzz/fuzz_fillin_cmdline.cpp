// fillin's command line from any command-line string, with the variable X
// set to any value: it either ends with exit code 0 (usage) or 3 (one error
// message), or leaves settings and a current value that keep every rule the
// editing and the batch file rely on.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "args.h"
#include "cmdmodel.h"
#include "fillin.h"
#include "fuzz_check.h"
#include "getopt.h"
#include "virtual_console.h"

namespace {

using namespace fillin;

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void CheckExit(int code)
{
    const std::string& out = OutputBytes;
    if (code == 0 && out.rfind("fillin ", 0) == 0) {
        FUZZ_CHECK(out.find("\r\n") + 2 == out.size());  // --version: one line
        return;
    }
    if (code == 0) {
        FUZZ_CHECK(out.rfind("Fillin * Version 9 * ", 0) == 0);
        FUZZ_CHECK(EndsWith(out, "  3  Error on the command line\r\n"));
        return;
    }
    FUZZ_CHECK(code == 3);
    FUZZ_CHECK(EndsWith(out, "\r\nUse -h for help\r\n"));
    FUZZ_CHECK(out.find("\r\n") + 2 == out.size() - std::string("Use -h for help\r\n").size());
}

// What %X% gives a command in the model of cmd: the value with its
// carets read, operators and all.
std::string AsCmdReadsIt(const std::string& held)
{
    std::string text;
    for (const cmdmodel::Piece& piece : cmdmodel::ReadCarets(held))
        text += piece.C;
    return text;
}

void CheckSettings(const char* value)
{
    const FillinSettings& s = Settings;
    FUZZ_CHECK(!s.VarName.empty() && s.VarName.size() <= 255);
    FUZZ_CHECK(s.VarName.find_first_of(NameIllegalChars) == std::string::npos);
    FUZZ_CHECK(s.VarName[0] != '/');  // one of SET's switches
    // The SET line's name is upper-cased; a shell's must be a shell name;
    // standard output holds no name.
    if (s.Form == ResultForm::Batch)
        FUZZ_CHECK(s.VarName.find_first_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos);
    else if (s.Form != ResultForm::Plain)
        FUZZ_CHECK(IsShellName(s.VarName));
    FUZZ_CHECK(s.Form == ResultForm::Plain ? s.OutFile == "-" : !s.OutFile.empty());
    FUZZ_CHECK(DialogueOnTerminal == (s.OutFile == "-"));
    FUZZ_CHECK(s.Prompt.size() <= 255);
    FUZZ_CHECK(s.Timeout != -1);
    int room = s.MaxLine - (static_cast<int>(s.VarName.size()) + 5);
    FUZZ_CHECK(room >= (Platform.IsWin9x ? 763 : 1786));
    FUZZ_CHECK(s.InputLimit >= 1 && s.InputLimit <= room);
    FUZZ_CHECK(!(s.Edit.MaskInput && s.Edit.NumericOnly));
    FUZZ_CHECK(s.Value.size() <= static_cast<std::size_t>(s.MaxLine));

    // The value of X when it fits the line, else nothing.
    std::string expected;
    if (s.VarName == "X" && value != nullptr && std::string(value).size() <= static_cast<std::size_t>(s.MaxLine))
        expected = Platform.IsWinNT && s.Form == ResultForm::Batch && !s.ExactValue ? AsCmdReadsIt(value) : value;
    if (expected.find_first_of("\r\n") != std::string::npos)
        expected.clear();  // no form's one line can hold it
    // Longer than the room, it is kept only for -l to cut (a smaller limit
    // says -l was given; at the room itself it may or may not have been).
    bool tooLong = static_cast<int>(expected.size()) > room;
    // What the editor starts with must make a line that cmd reads whole.
    if (!ValueFits(expected.substr(0, s.InputLimit)))
        expected.clear();
    if (s.VarName == "X" && !tooLong)
        FUZZ_CHECK(s.Value == expected);
    if (s.VarName == "X" && tooLong && s.InputLimit < room)
        FUZZ_CHECK(s.Value == expected);
    if (s.VarName == "X" && tooLong && s.InputLimit == room)
        FUZZ_CHECK(s.Value.empty() || s.Value == expected);
}

}  // namespace

// Bytes as they are: the expected value above takes no character set into
// account (the virtual console is a single-byte one).
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("LC_ALL", "en_US.ISO-8859-1", 1);
    return 0;
}

// The first byte picks the platform; then the command line up to a NUL,
// and after it the value of X (no NUL: X is not set).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    Platform = PlatformFlags();
    Platform.IsWin9x = data[0] % 3 == 1;
    Platform.IsWinNT = data[0] % 3 == 2;
    std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t nul = rest.find('\0');
    std::string value;
    const char* valueOrNull = nullptr;
    if (nul != std::string::npos) {
        value = rest.substr(nul + 1).c_str();  // up to a second NUL
        valueOrNull = value.c_str();
        setenv("X", valueOrNull, 1);
        rest.erase(nul);
    } else {
        unsetenv("X");
    }

    std::string line = "fillin " + rest;
    std::vector<std::string> args = SplitCommandLine(line.c_str());
    args.insert(args.begin(), "fillin");
    ArgsSet(args);
    ResetOptionScanner();
    VirtualConsoleReset();
    Settings.MaxLine = MaxLineFor(Platform);
    try {
        ParseCommandLine();
    } catch (const ProgramExit& exit) {
        CheckExit(exit.Code);
        return 0;
    }
    FUZZ_CHECK(OutputBytes.empty());
    CheckSettings(valueOrNull);
    return 0;
}
