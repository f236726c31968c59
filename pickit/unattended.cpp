#include "inputline.h"
#include "output.h"
#include "pickit.h"
#include "stdinput.h"

namespace pickit {

namespace {

// The end of the input before an answer: the time-out's key, if one was
// given, or no choice. Nothing read at all is told.
int EndOfInput(bool nothingRead)
{
    if (nothingRead)
        WriteErrorLine("pickit: no terminal, and no answer on standard input");
    return Settings.Timeout > 0 ? KeyPosition(Settings.TimeoutKey) : 0;
}

// Each character is a key typed; CR and LF are Enter. The first byte ends
// the time-out, as the first keystroke does.
int SingleKeyAnswer()
{
    std::string key;
    bool first = true;
    InputRead read;
    while ((read = ReadInputKey(key, first ? Settings.Timeout : 0)) == InputRead::Key) {
        first = false;
        int position = KeyPosition(KeyTyped(key, key == "\r" || key == "\n"));
        if (position > 0)
            return position;
    }
    return read == InputRead::TimeUp ? KeyPosition(Settings.TimeoutKey) : EndOfInput(first);
}

// Each line is an entry typed into the field and confirmed with Enter; one
// that holds no key of the list is skipped, and the next starts empty.
int LineAnswer()
{
    std::string entry = LineEntry();
    TypingRules rules{LineFlags(), 1};
    for (bool first = true;; first = false) {
        entry = PreparedText(entry, rules.MaxLength, rules.Flags);
        if (TypeInputLine(entry, 0, rules, first ? Settings.Timeout : 0) == InputLine::End)
            return EndOfInput(first);
        int position = KeyPosition(entry);
        if (position > 0)
            return position;
        entry.clear();
    }
}

}  // namespace

void AnswerFromInput()
{
    ExitProgram(Settings.LineMode ? LineAnswer() : SingleKeyAnswer());
}

}  // namespace pickit
