#include <cstdint>

#include "about.h"
#include "charset.h"
#include "getopt.h"
#include "intconv.h"
#include "pickit.h"
#include "shortstr.h"

namespace pickit {

PickitSettings Settings;

namespace {

const ProgramAbout About = {"pickit", {
    "Pickit * Version 9 * a keystroke for your scripts",
    "",
    "Usage: pickit [-k keys] [-d key] [-t key,n] [-p prompt]",
    "              [-c] [-l] [-n] [-q] [-s]",
    "",
    "  -k keys    specifies the list of valid keystrokes; default is YN",
    "  -d key     specifies a default key that will be used if Enter is pressed",
    "  -t key,n   choose specified key automatically if no keys pressed in 'n'",
    "             seconds",
    "  -c         show the seconds left while -t waits",
    "  -p prompt  specifies the prompt to display (enclose in quotes if needed)",
    "  -l         Use line input mode: require Enter keystroke (-q is ignored)",
    "  -n         does not display the list of keys in the prompt",
    "  -q         does not echo the key that was pressed or a carriage return",
    "  -s         indicates that the list of keys is case-sensitive",
    "",
    "If no parameters are specified, a \"[Y,N]\" prompt is displayed.",
    "",
    "The program's exit code is equal to the key's position in the key list.",
    "",
    "If Ctrl+C pressed, the exit code will be 255.",
}};


// -t key,n: only the last -t decides whether the time-out is in error.
bool ReadTimeout(const std::string& arg)
{
    std::size_t key = arg.empty() ? 0 : CharLength(arg);
    if (arg.size() < key + 1 || arg[key] != ',')
        return false;
    Settings.TimeoutKey = arg.substr(0, key);
    if (arg.size() < key + 2)
        return false;
    std::int32_t seconds;
    if (!StrToInt(std::string_view(arg).substr(key + 1), seconds))
        return false;
    Settings.Timeout = static_cast<short>(seconds);
    return seconds >= 1 && seconds <= 32767;
}

}  // namespace

std::string JoinKeys(std::string_view keyList)
{
    std::string joined;
    for (const std::string& key : SplitChars(keyList)) {
        if (!joined.empty())
            ShortAppend(joined, ",");
        ShortAppend(joined, key);
    }
    return joined;
}

int KeyPosition(const std::string& key)
{
    int position = 1;
    for (const std::string& listed : SplitChars(Settings.KeyList)) {
        if (!key.empty() && listed == key)
            return position;
        position++;
    }
    return 0;
}

void ParseCommandLine()
{
    AnswerAboutArgs(About, false);

    Settings = PickitSettings();
    bool timeoutError = false;

    for (;;) {
        unsigned char option = GetOpt("CcD:d:HhK:k:LlNnP:p:QqSsT:t:");
        if (option == NoMoreOptions)
            break;
        switch (option) {
        case 'k': case 'K': Settings.KeyList = OptionArg; break;
        // An empty -d sets no default key.
        case 'd': case 'D': Settings.DefaultKey = FirstChars(OptionArg, 1); break;
        case 't': case 'T': timeoutError = !ReadTimeout(OptionArg); break;
        case 'p': case 'P': Settings.Prompt = OptionArg; break;
        case 'c': case 'C': Settings.ShowCountdown = true; break;
        case 'l': case 'L': Settings.LineMode = true; break;
        case 'n': case 'N': Settings.ShowKeys = false; break;
        case 'q': case 'Q': Settings.Quiet = true; break;
        case 's': case 'S': Settings.CaseSensitive = true; break;
        case 'h': case 'H': ShowUsage(About);
        case LongOption: AnswerLongOption(About, 0);
        default: break;
        }
    }

    if (Settings.KeyList.empty())
        Settings.KeyList = UpperCaseText(DefaultKeyList);
    if (timeoutError)
        ErrorExit("Invalid timeout or no timeout keystroke specified", 0);
    if (!Settings.CaseSensitive) {
        Settings.KeyList = UpperCaseText(Settings.KeyList);
        Settings.DefaultKey = UpperCaseText(Settings.DefaultKey);
        Settings.TimeoutKey = UpperCaseText(Settings.TimeoutKey);
    }
    if (!Settings.DefaultKey.empty() && KeyPosition(Settings.DefaultKey) == 0)
        ErrorExit("Default keystroke not in list of valid keys", 0);
    if (!Settings.TimeoutKey.empty() && KeyPosition(Settings.TimeoutKey) == 0)
        ErrorExit("Timeout keystroke not in list of valid keys", 0);
    if (!Settings.TimeoutKey.empty() && Settings.DefaultKey != Settings.TimeoutKey)
        Settings.DefaultKey.clear();

    if (Settings.ShowKeys) {
        if (!Settings.Prompt.empty())
            ShortAppend(Settings.Prompt, " ");
        ShortAppend(Settings.Prompt, "[");
        ShortAppend(Settings.Prompt, JoinKeys(Settings.KeyList));
        ShortAppend(Settings.Prompt, "] ");
    }
}

}  // namespace pickit
