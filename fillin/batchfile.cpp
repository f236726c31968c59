#include <cstdint>
#include <string>

#include "about.h"
#include "charset.h"
#include "console.h"
#include "fillin.h"
#include "output.h"
#include "lineedit.h"

namespace fillin {

namespace {

// cmd reads a line in three steps that matter here: it replaces %NAME%
// and turns %% into %; outside double quotes it takes the character after
// a caret as it stands and drops the caret, while a quote opens or closes
// a quoted stretch (a caret-escaped quote does neither), inside which every
// character stands as it is; and with delayed expansion on, an argument
// that holds a "!" loses one more level of carets, its !NAME! pairs are
// replaced and a lone "!" is dropped. Each escape below undoes one step.

constexpr std::string_view LineSpecials = "&()<>^|\"";
constexpr std::string_view DelayedSpecials = "^!";

// insert before each member of set; where quotesOpen, a double quote opens
// or closes a stretch that keeps its members as they are.
std::string Escaped(std::string_view text, std::string_view set, std::string_view insert, bool quotesOpen)
{
    std::string escaped;
    bool quoted = false;
    for (std::size_t length; !text.empty(); text.remove_prefix(length)) {
        length = EscapeUnit(text);
        char c = text[0];
        if (length == 1 && quotesOpen && c == '"')
            quoted = !quoted;
        else if (length == 1 && !quoted && set.find(c) != std::string_view::npos)
            escaped += insert;
        escaped += text.substr(0, length);
    }
    return escaped;
}

// What cmd's step of carets and quotes reads back as the text; with
// quotesOpen false every quote is escaped too, so that the line's own
// parentheses and ELSE stay cmd's.
std::string ForCarets(std::string_view text, bool quotesOpen)
{
    return Escaped(text, quotesOpen ? ShellSpecialChars : LineSpecials, "^", quotesOpen);
}

std::string SetCommand(std::string_view name, std::string_view escaped)
{
    return "SET " + std::string(name) + "=" + EscapePercent(escaped);
}

// The line's length as cmd counts it, in UTF-16 units.
std::size_t LineUnits(std::string_view line)
{
    if (!LocaleIsUtf8())
        return line.size();
    std::size_t units = 0;
    for (std::size_t length; !line.empty(); line.remove_prefix(length)) {
        char32_t code = 0;
        DecodeUtf8(line, code, length);
        units += code >= 0x10000 ? 2 : 1;  // a surrogate pair
    }
    return units;
}

bool EditValue()
{
    return EditLine(Settings.Value, Settings.InputLimit, Settings.Timeout, Settings.Edit, FileHolds, ValueFits);
}

}  // namespace

void WriteResult(const std::string& text)
{
    bool lossless;
    std::string line = FileText(text, lossless);
    if (Settings.Form == ResultForm::Plain) {
        WriteResultLine(line);
        return;
    }
    switch (WriteWholeFile(Settings.OutFile, line, Settings.Edit.MaskInput)) {
    case FileWrite::CannotOpen:
        ErrorExit("Cannot open file for output", 3);
    case FileWrite::Failed:
        RuntimeError(DiskWriteError);
    case FileWrite::Written:
        break;
    }
}

bool Refused(const std::string& value)
{
    return Platform.IsWin9x && Settings.Form == ResultForm::Batch && CountCharsInSet(value, Win9xIllegalChars) > 0;
}

bool FileHolds(const std::string& text)
{
    bool lossless;
    FileText(text, lossless);
    return lossless;
}

std::string EscapeSpecials(std::string_view text)
{
    return Escaped(text, ShellSpecialChars, "^", true);
}

std::string EscapePercent(std::string_view text)
{
    return Escaped(text, "%", "%", false);
}

std::string BatchLine(std::string_view name, std::string_view value, bool exact)
{
    if (!Platform.IsWinNT)
        return SetCommand(name, value) + "\r\n";
    // What the variable is to hold: the value with a caret before each
    // special character, so that %NAME% gives the value; or the value.
    std::string held = exact ? std::string(value) : EscapeSpecials(value);
    if (value.find('!') == std::string_view::npos)
        return SetCommand(name, ForCarets(held, true)) + "\r\n";
    // The called file runs in its caller's mode, and "!!" is empty only
    // with delayed expansion on: each branch is written for its mode.
    std::string delayed = ForCarets(Escaped(held, DelayedSpecials, "^", false), false);
    return "IF \"!!\"==\"\" (" + SetCommand(name, delayed) + ") ELSE " +
           SetCommand(name, ForCarets(held, false)) + "\r\n";
}

bool LineFits(std::string_view line)
{
    if (line.size() >= 2 && line.substr(line.size() - 2) == "\r\n")
        line.remove_suffix(2);  // the line end is no character of the line
    return LineUnits(line) <= CmdLineLength;
}

bool ValueFits(const std::string& value)
{
    return Settings.Form != ResultForm::Batch ||
           LineFits(BatchLine(Settings.VarName, value, Settings.ExactValue));
}

// Told before the typing, not after it. The file is still written only
// once the value is accepted.
void CheckOutFile()
{
    if (Settings.Form != ResultForm::Plain && !FileCanBeWritten(Settings.OutFile, Settings.Edit.MaskInput))
        ErrorExit("Cannot open file for output", 3);
}

void EditAndWrite()
{
    CheckOutFile();
    for (;;) {
        WantCursorPosition();  // the editor needs it; asked with the prompt
        WriteOut(Settings.Prompt);
        if (!EditValue())
            ExitProgram(1);
        if (!Refused(Settings.Value))
            break;
        WriteLine("Illegal characters specified: <, |, or >");
    }
    if (Settings.Value.empty())
        ExitProgram(2);
    WriteResult(ResultLine());
}

}  // namespace fillin
