#include "about.h"
#include "fillin.h"
#include "inputline.h"
#include "output.h"
#include "stdinput.h"

namespace fillin {

void AnswerFromInput()
{
    CheckOutFile();
    // The line replaces the value: typed into an empty field, in insert mode.
    TypingRules rules{Settings.Edit, Settings.InputLimit, FileHolds, ValueFits};
    rules.Flags.Overtype = false;
    // An empty line, the time-out and the end after a time-out take the
    // value as the editor starts with it.
    std::string prepared = PreparedText(Settings.Value, Settings.InputLimit, Settings.Edit);
    for (bool first = true;; first = false) {
        std::string value;
        InputLine line = TypeInputLine(value, 0, rules, first ? Settings.Timeout : 0);
        if (line == InputLine::End && first)
            WriteErrorLine("fillin: no terminal, and no answer on standard input");
        if (line == InputLine::End && Settings.Timeout <= 0)
            ExitProgram(2);
        if (line != InputLine::Typed)
            value = prepared;
        if (!Refused(value)) {
            Settings.Value = value;
            break;
        }
        if (line == InputLine::End)
            ExitProgram(2);  // refused, and nothing else comes
    }
    if (Settings.Value.empty())
        ExitProgram(2);
    WriteResult(ResultLine());
}

}  // namespace fillin
