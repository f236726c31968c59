#include "console.h"
#include "output.h"
#include "lineedit.h"
#include "pickit.h"
#include "stopwatch.h"

namespace pickit {

namespace {

constexpr std::uint8_t CtrlC = 3;
constexpr std::uint8_t Enter = 13;
constexpr int CtrlCExitCode = 255;

// The key's 1-based position in the list, 0 when it is not there; the
// first occurrence counts.
int KeyPosition(char key)
{
    std::size_t found = key == 0 ? std::string::npos : Settings.KeyList.find(key);
    return found == std::string::npos ? 0 : static_cast<int>(found) + 1;
}

void DiscardTypedAhead()
{
    while (KeyPressed())
        ReadKey();
}

// Reads keys until one is in the list or is Ctrl+C; no time limit.
char ReadAcceptableKey()
{
    for (;;) {
        char key = static_cast<char>(ReadKey());
        if (key == 0)
            ReadKey();  // an extended key is consumed whole and never accepted
        if (key == Enter && Settings.DefaultKey != 0)
            key = Settings.DefaultKey;
        if (!Settings.CaseSensitive)
            key = UpperCaseChar(key);
        if (KeyPosition(key) > 0 || key == CtrlC)
            return key;
    }
}

[[noreturn]] void PromptSingleKey()
{
    WriteOut(Settings.Prompt);

    // The time-out is armed once; the first keystroke abandons it for good.
    bool timedOut = false;
    if (Settings.Timeout > 0) {
        Stopwatch watch;
        StopwatchInit(watch, static_cast<float>(Settings.Timeout));
        StopwatchStart(watch);
        timedOut = WaitTimedOut(watch);
    }
    char key = timedOut ? Settings.TimeoutKey : ReadAcceptableKey();

    if (key == CtrlC) {
        WriteLine("^C");
        ExitProgram(CtrlCExitCode);
    }
    if (!Settings.Quiet)
        WriteLine(std::string(1, key));
    ExitProgram(KeyPosition(key));
}

// Line mode: a one-character entry confirmed with Enter. Only the first
// attempt has a time-out and a starting text.
[[noreturn]] void PromptLine()
{
    char entry[2] = {0, 0};
    if (Settings.DefaultKey != 0)
        entry[0] = Settings.DefaultKey;
    else if (Settings.Timeout > 0)
        entry[0] = Settings.TimeoutKey;

    for (;;) {
        WriteOut(Settings.Prompt);
        if (!EditLine(entry, 1, Settings.Timeout, false, !Settings.CaseSensitive, false, true, true))
            ExitProgram(CtrlCExitCode);
        int position = KeyPosition(entry[0]);
        if (position > 0)
            ExitProgram(position);
        WriteOut("Acceptable keystrokes: ");
        WriteLine(JoinKeys(Settings.KeyList));
        Settings.Timeout = 0;
        entry[0] = 0;
    }
}

}  // namespace

void PromptForKey()
{
    DiscardTypedAhead();
    if (Settings.LineMode)
        PromptLine();
    PromptSingleKey();
}

}  // namespace pickit
