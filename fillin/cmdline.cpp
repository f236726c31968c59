#include <string>

#include "about.h"
#include "output.h"
#include "fillin.h"
#include "getopt.h"
#include "intconv.h"
#include "charset.h"

namespace fillin {

PlatformFlags Platform;
FillinSettings Settings;

namespace {

const ProgramAbout About = {"fillin", {
    "Fillin * Version 9 * a line of input for your scripts",
    "",
    "Usage: fillin -v var -f filename [-p prompt] [-l length] [-t timeout]",
    "              [-b] [-c] [-e] [-m] [-n] [-o] [-u]",
    "",
    "  -v var       specifies the environment variable name to create/edit",
    "  -f filename  specifies the name of the output batch file",
    "  -p prompt    the prompt to display (enclose in quotes if needed)",
    "  -l length    limits the length of the input string",
    "  -t timeout   return unedited string in timeout seconds if nothing typed",
    "  -b           position cursor at beginning of input line, instead of the end",
    "  -c           show the seconds left while -t waits",
    "  -e           set the variable to exactly what was typed (no escape carets)",
    "  -m           mask input (typed characters appear as asterisks)",
    "  -n           numeric input only (0-9)",
    "  -o           start editing in overtype mode rather than insert mode",
    "  -u           upper case input (all typed characters forced to upper case)",
    "",
    "Allows you to create/edit the specified environment variable. The output batch",
    "file will contain a single line: SET varname=value (export for *.sh and *.fish)",
    "",
    "Exit codes:",
    "  1  User pressed Ctrl+C to abort the input",
    "  2  Nothing entered on the input line",
    "  3  Error on the command line",
}};

// limitGiven: -l was given, and the editor is to cut the value to it.
void FetchCurrentValue(bool limitGiven)
{
    Settings.Value = ReadVariable(Settings.VarName, Settings.MaxLine);
    // The batch file we wrote last time escaped the value for cmd; with -e
    // it holds the value itself.
    if (Platform.IsWinNT && Settings.Form == ResultForm::Batch && !Settings.ExactValue)
        RemoveCarets(Settings.Value);
    // A line end cannot be shown in the editor's line, and written back it
    // would break the file's one line (a batch file would run the rest as
    // a command): start empty.
    if (Settings.Value.find_first_of("\r\n") != std::string::npos)
        Settings.Value.clear();
    // Cut to the room and written back, it would lose its end unasked.
    if (!limitGiven && static_cast<int>(CharCount(Settings.Value)) > Room())
        Settings.Value.clear();
    // Accepted as it starts, its line must be one that cmd reads whole.
    if (!ValueFits(FirstChars(Settings.Value, Settings.InputLimit)))
        Settings.Value.clear();
}

}  // namespace

std::int16_t MaxLineFor(const PlatformFlags& platform)
{
    return platform.IsWin9x ? 1023 : 2046;
}

int Room()
{
    // "SET " and "=" share the line with the name and the value.
    return Settings.MaxLine - (static_cast<int>(CharCount(Settings.VarName)) + 5);
}

std::size_t EscapeUnit(std::string_view text)
{
    return LocaleIsUtf8() ? 1 : CharLength(text);
}

int CountCharsInSet(std::string_view text, std::string_view set)
{
    int count = 0;
    for (std::size_t length; !text.empty(); text.remove_prefix(length)) {
        length = EscapeUnit(text);
        if (length == 1 && set.find(text[0]) != std::string_view::npos)
            count++;
    }
    return count;
}

void RemoveCarets(std::string& text)
{
    // As cmd reads carets: the character after one is kept as it is, even
    // another caret or a quote; between quotes every character stays.
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); i += EscapeUnit(std::string_view(text).substr(i))) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == '^' && !quoted)
            text.erase(i, 1);
    }
}

void ParseCommandLine()
{
    AnswerAboutArgs(About, true);

    std::int16_t maxLine = Settings.MaxLine;
    Settings = FillinSettings();
    Settings.MaxLine = maxLine;

    for (;;) {
        unsigned char option = GetOpt("BbCcEeF:f:HhL:l:MmNnOoP:p:T:t:UuV:v:");
        if (option == NoMoreOptions)
            break;
        switch (option) {
        case 'v': case 'V': Settings.VarName = OptionArg; break;
        // A cut file name would name another file.
        case 'f': case 'F': Settings.OutFile = WholeOptionArg; break;
        case 'p': case 'P': Settings.Prompt = OptionArg; break;
        case 'l': case 'L':
            if (!StrToInt(OptionArg, Settings.InputLimit))
                Settings.InputLimit = 0;
            break;
        case 't': case 'T':
            if (!StrToInt(OptionArg, Settings.Timeout))
                Settings.Timeout = -1;
            break;
        case 'b': case 'B': Settings.Edit.CursorAtStart = true; break;
        case 'c': case 'C': Settings.Edit.ShowCountdown = true; break;
        case 'e': case 'E': Settings.ExactValue = true; break;
        case 'm': case 'M': Settings.Edit.MaskInput = true; break;
        case 'n': case 'N': Settings.Edit.NumericOnly = true; break;
        case 'o': case 'O': Settings.Edit.Overtype = true; break;
        case 'u': case 'U': Settings.Edit.UpperCase = true; break;
        case 'h': case 'H': ShowUsage(About);
        case LongOption: AnswerLongOption(About, 3);
        default: break;
        }
    }

    // Standard output is for the value alone: even the messages go to the
    // terminal.
    if (Settings.OutFile == "-")
        DialogueToTerminal();
    if (Settings.VarName.empty())
        ErrorExit("Environment variable name not specified", 3);
    const std::string& name = Settings.VarName;
    if (CountCharsInSet(name, NameIllegalChars) > 0 || name[0] == '/' || !FileHolds(name))
        ErrorExit("Environment variable name contains illegal characters", 3);
    if (Settings.OutFile.empty())
        ErrorExit("Output file name not specified", 3);
    ChooseResultForm();
    if (Settings.Timeout == -1)
        ErrorExit("Invalid timeout specified", 3);
    bool limitGiven = Settings.InputLimit != 32767;
    if (!limitGiven)
        Settings.InputLimit = Room();
    if (Settings.InputLimit < 1 || Settings.InputLimit > Room())
        ErrorExit("Length must be from 1 to " + std::to_string(Room()), 3);

    if (Settings.Edit.MaskInput)
        Settings.Edit.NumericOnly = false;
    FetchCurrentValue(limitGiven);
}

}  // namespace fillin
