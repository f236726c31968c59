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

// Puts insert in front of every member of set. A text that already fills
// the limit is first cut by the growth that this will cause. Lengths count
// characters, and a cut never splits one.
void EscapeMembers(std::string& text, std::string_view set, std::string_view insert, std::int32_t limit)
{
    int members = CountCharsInSet(text, set);
    if (text.empty() || members == 0)
        return;
    long length = static_cast<long>(CharCount(text));
    if (limit <= length) {
        long keep = length - static_cast<long>(insert.size()) * members;
        if (keep >= 0)
            text = FirstChars(text, keep);
    }
    std::string escaped;
    escaped.reserve(text.size() + insert.size() * members);
    std::string_view rest = text;
    for (std::size_t length; !rest.empty(); rest.remove_prefix(length)) {
        length = EscapeUnit(rest);
        if (length == 1 && set.find(rest[0]) != std::string_view::npos)
            escaped += insert;
        escaped += rest.substr(0, length);
    }
    text = std::move(escaped);
}

// The percent cut counts no carets, so it may end inside a "^^^&" or "^^^^"
// group; a caret left at the end of the line would make cmd join the next
// line to it. Whole groups are four characters long.
void DropPartialCaretGroup(std::string& text)
{
    std::size_t carets = 0;
    while (carets < text.size() && text[text.size() - 1 - carets] == '^')
        carets++;
    text.resize(text.size() - carets % 4);
}

bool EditValue()
{
    return EditLine(Settings.Value, Settings.InputLimit, Settings.Timeout, Settings.Edit, FileHolds);
}

// The line goes to standard output, or becomes the file's whole content,
// in the code page that the command interpreter reads it in.
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

}  // namespace

bool FileHolds(const std::string& text)
{
    bool lossless;
    FileText(text, lossless);
    return lossless;
}

void EscapeSpecials(std::string& text, std::int32_t limit)
{
    EscapeMembers(text, ShellSpecialChars, "^^^", limit);
}

void EscapePercent(std::string& text, std::int32_t limit)
{
    EscapeMembers(text, "%", "%", limit);
}

void EscapeValue(std::string& text, std::int32_t limit)
{
    // Only a value that filled the limit as typed is cut: the carets alone
    // must not make a shorter one look full and lose its last characters.
    bool filled = static_cast<std::int32_t>(CharCount(text)) >= limit;
    if (Platform.IsWinNT)
        EscapeSpecials(text, limit);
    EscapePercent(text, filled ? limit : INT32_MAX);
    if (Platform.IsWinNT)
        DropPartialCaretGroup(text);
}

void EditAndWrite()
{
    // Told before the typing, not after it. The file is still written only
    // once the value is accepted.
    if (Settings.Form != ResultForm::Plain && !FileCanBeWritten(Settings.OutFile))
        ErrorExit("Cannot open file for output", 3);
    for (;;) {
        AskCursorPosition();  // the editor needs it; asked with the prompt
        WriteOut(Settings.Prompt);
        if (!EditValue())
            ExitProgram(1);
        // Only the SET line is read by COMMAND.COM, which would redirect them.
        if (!Platform.IsWin9x || Settings.Form != ResultForm::Batch ||
            CountCharsInSet(Settings.Value, Win9xIllegalChars) == 0)
            break;
        WriteLine("Illegal characters specified: <, |, or >");
    }
    if (Settings.Value.empty())
        ExitProgram(2);
    WriteResult(ResultLine());
}

}  // namespace fillin
