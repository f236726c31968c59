#include "charset.h"
#include "console.h"
#include "countdown.h"
#include "output.h"
#include "lineedit.h"
#include "pickit.h"
#include "stopwatch.h"

namespace pickit {

namespace {

constexpr std::uint8_t CtrlC = 3;
constexpr std::uint8_t Enter = 13;
constexpr std::uint8_t LineFeed = 10;  // Ctrl+J
constexpr int CtrlCExitCode = 255;

void DiscardTypedAhead()
{
    while (KeyPressed())
        ReadKey();
}

const std::string CtrlCKey(1, CtrlC);

// Reads keys until one is in the list or is Ctrl+C; no time limit.
std::string ReadAcceptableKey()
{
    for (;;) {
        std::uint8_t code = ReadKey();
        if (code == 0) {
            // An extended key is consumed whole and never accepted; after a
            // stop or a resize the prompt is shown again.
            if (ReadKey() == KeyScreenChanged && TakeScreenChange())
                WriteOut(Settings.Prompt);
            continue;
        }
        std::string key = KeyTyped(ReadKeyText(code), code == Enter || (code == LineFeed && LineFeedIsEnter()));
        if (KeyPosition(key) > 0 || key == CtrlCKey) {
            // The rest of a burst (a paste, another program's input) is
            // never left for the next reader.
            DropKeysBehind();
            return key;
        }
    }
}

[[noreturn]] void PromptSingleKey()
{
    WriteOut(Settings.Prompt);

    // The time-out is armed once; the first keystroke abandons it for good.
    // Its count-down leaves the cell of the key's echo blank.
    Countdown countdown{Settings.TimeoutKey, [](int& x, int& y) {
        x = WhereX();
        y = WhereY();
    }};
    bool timedOut = TimeRunsOut(Settings.Timeout, [] { WriteOut(Settings.Prompt); },
                                Settings.ShowCountdown ? &countdown : nullptr);
    std::string key = timedOut ? Settings.TimeoutKey : ReadAcceptableKey();

    if (key == CtrlCKey) {
        WriteLine("^C");
        ExitProgram(CtrlCExitCode);
    }
    if (!Settings.Quiet)
        WriteLine(key);
    ExitProgram(KeyPosition(key));
}

// Line mode: a one-character entry confirmed with Enter. Only the first
// attempt has a time-out and a starting text.
[[noreturn]] void PromptLine()
{
    std::string entry = LineEntry();
    EditFlags flags = LineFlags();

    for (;;) {
        WantCursorPosition();
        WriteOut(Settings.Prompt);
        if (!EditLine(entry, 1, Settings.Timeout, flags))
            ExitProgram(CtrlCExitCode);
        int position = KeyPosition(entry);
        if (position > 0)
            ExitProgram(position);
        WriteOut("Acceptable keystrokes: ");
        WriteLine(JoinKeys(Settings.KeyList));
        Settings.Timeout = 0;
        entry.clear();
    }
}

}  // namespace

std::string KeyTyped(const std::string& text, bool enter)
{
    if (enter && !Settings.DefaultKey.empty())
        return Settings.DefaultKey;
    return Settings.CaseSensitive ? text : UpperCaseText(text);
}

std::string LineEntry()
{
    return !Settings.DefaultKey.empty() ? Settings.DefaultKey : Settings.Timeout > 0 ? Settings.TimeoutKey : "";
}

EditFlags LineFlags()
{
    EditFlags flags;
    flags.UpperCase = !Settings.CaseSensitive;
    flags.Overtype = flags.CursorAtStart = true;
    flags.ShowCountdown = Settings.ShowCountdown;
    return flags;
}

void PromptForKey()
{
    // A paste chooses no key; in line mode it types its line, as typed.
    if (!Settings.LineMode)
        DropPastes();
    DiscardTypedAhead();
    if (Settings.LineMode)
        PromptLine();
    PromptSingleKey();
}

}  // namespace pickit
