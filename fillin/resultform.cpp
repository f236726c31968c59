// The line in the output file. A batch file gets "SET NAME=value" with CR LF,
// escaped for the command interpreter; NAME.sh (and the other POSIX shells'
// names, and on POSIX every name but a batch file's) and NAME.fish get one
// line that the shell sources, with the value
// in single quotes and nothing else escaped. Standard output ("-") gets the
// value alone, as typed. These keep the name as typed: shell variables are
// case-sensitive.
#include <string>

#include "about.h"
#include "charset.h"
#include "fillin.h"

namespace fillin {

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view suffix)
{
    if (text.size() < suffix.size())
        return false;
    return UpperCaseText(text.substr(text.size() - suffix.size())) == UpperCaseText(suffix);
}

// The value between single quotes; escapes maps a character to what stands
// for it. Line ends are dropped: the line must stay one line whatever the
// value holds (the editor takes none, but the code must not rely on that).
template <typename Escape>
std::string Quoted(std::string_view value, Escape escape)
{
    std::string quoted = "'";
    for (char c : value) {
        if (c == '\r' || c == '\n')
            continue;
        quoted += escape(c);
    }
    quoted += "'";
    return quoted;
}

}  // namespace

ResultForm ResultFormFor(std::string_view fileName, ResultForm unlisted)
{
    if (fileName == "-")
        return ResultForm::Plain;
    for (std::string_view shell : {".sh", ".bash", ".zsh", ".ksh", ".dash"}) {
        if (EndsWithNoCase(fileName, shell))
            return ResultForm::Sh;
    }
    if (EndsWithNoCase(fileName, ".fish"))
        return ResultForm::Fish;
    if (EndsWithNoCase(fileName, ".bat") || EndsWithNoCase(fileName, ".cmd"))
        return ResultForm::Batch;
    return unlisted;
}

bool IsShellName(std::string_view name)
{
    if (name.empty())
        return false;
    for (std::size_t i = 0; i < name.size(); i++) {
        char c = name[i];
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        bool digit = c >= '0' && c <= '9';
        if (!letter && !(digit && i > 0))
            return false;
    }
    return true;
}

void ChooseResultForm()
{
    Settings.Form = ResultFormFor(Settings.OutFile);
    if (Settings.Form == ResultForm::Batch) {
        // "a" to "z" only: other bytes may be letters of any code page.
        for (char& c : Settings.VarName) {
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        }
        return;
    }
    if (Settings.Form == ResultForm::Plain)
        return;  // the name is only looked up
    // The shell executes the line: any other name would put its own text
    // into it ("x;rm -rf ~;y").
    if (!IsShellName(Settings.VarName))
        ErrorExit("Environment variable name not valid for a shell script", 3);
}

std::string ShLine(std::string_view name, std::string_view value)
{
    // A quote ends the quoted text, adds an escaped quote and opens it again.
    auto escape = [](char c) { return c == '\'' ? std::string("'\\''") : std::string(1, c); };
    return "export " + std::string(name) + "=" + Quoted(value, escape) + "\n";
}

std::string FishLine(std::string_view name, std::string_view value)
{
    // Inside fish's single quotes a backslash escapes a quote or a backslash.
    auto escape = [](char c) {
        return c == '\'' || c == '\\' ? std::string(1, '\\') + c : std::string(1, c);
    };
    return "set -gx " + std::string(name) + " " + Quoted(value, escape) + "\n";
}

std::string ResultLine()
{
    // The shell forms write the value whole: no shell limits the line, and
    // the room to type is the SET line's, so the quoting never cuts it.
    const std::string& name = Settings.VarName;
    switch (Settings.Form) {
    case ResultForm::Sh:
        return ShLine(name, Settings.Value);
    case ResultForm::Fish:
        return FishLine(name, Settings.Value);
    case ResultForm::Plain:
        return Settings.Value;
    case ResultForm::Batch:
        break;
    }
    return BatchLine(name, Settings.Value, Settings.ExactValue);
}

}  // namespace fillin
