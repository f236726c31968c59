// pickit's command line from any command-line string: it either ends with
// exit code 0 (usage or one error message) or leaves settings that keep
// every rule the prompt relies on.
#include <cstdint>
#include <string>
#include <vector>

#include "args.h"
#include "fuzz_check.h"
#include "getopt.h"
#include "pickit.h"
#include "virtual_console.h"

namespace {

using namespace pickit;

bool HasLowerCase(const std::string& text)
{
    for (char c : text) {
        if (c >= 'a' && c <= 'z')
            return true;
    }
    return false;
}

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void CheckExit(int code)
{
    FUZZ_CHECK(code == 0);
    const std::string& out = OutputBytes;
    bool usage = out.rfind("Pickit * Version 9 * ", 0) == 0 && EndsWith(out, "If Ctrl+C pressed, the exit code will be 255.\r\n");
    bool error = EndsWith(out, "\r\nUse -h for help\r\n") &&
                 out.find("\r\n") + 2 == out.size() - std::string("Use -h for help\r\n").size();
    bool version = out.rfind("pickit ", 0) == 0 && out.find("\r\n") + 2 == out.size();
    FUZZ_CHECK(usage || error || version);
}

void CheckSettings()
{
    const PickitSettings& s = Settings;
    FUZZ_CHECK(!s.KeyList.empty() && s.KeyList.size() <= 255);
    FUZZ_CHECK(s.Prompt.size() <= 255);
    FUZZ_CHECK(s.DefaultKey.empty() || KeyPosition(s.DefaultKey) > 0);
    FUZZ_CHECK(s.TimeoutKey.empty() || KeyPosition(s.TimeoutKey) > 0);
    FUZZ_CHECK(s.TimeoutKey.empty() || s.DefaultKey.empty() || s.DefaultKey == s.TimeoutKey);
    if (!s.CaseSensitive) {
        FUZZ_CHECK(!HasLowerCase(s.KeyList));
        FUZZ_CHECK(!HasLowerCase(s.DefaultKey));
        FUZZ_CHECK(!HasLowerCase(s.TimeoutKey));
    }
    // Only a valid -t arms the time-out, and it always names its key.
    FUZZ_CHECK(s.Timeout == -1 || (s.Timeout >= 1 && s.Timeout <= 32767));
    FUZZ_CHECK((s.Timeout > 0) == !s.TimeoutKey.empty());

    if (s.ShowKeys && s.Prompt.size() < 255) {
        // Not cut: the text, a blank if there was one, and the whole list.
        std::string keys = "[";
        for (std::size_t i = 0; i < s.KeyList.size(); i++)
            keys += (i ? "," : "") + std::string(1, s.KeyList[i]);
        keys += "] ";
        FUZZ_CHECK(EndsWith(s.Prompt, keys));
        std::string before = s.Prompt.substr(0, s.Prompt.size() - keys.size());
        FUZZ_CHECK(before.empty() || EndsWith(before, " "));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string line = "pickit " + std::string(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> args = SplitCommandLine(line.c_str());
    args.insert(args.begin(), "pickit");
    ArgsSet(args);
    ResetOptionScanner();
    VirtualConsoleReset();
    try {
        ParseCommandLine();
    } catch (const ProgramExit& exit) {
        CheckExit(exit.Code);
        return 0;
    }
    FUZZ_CHECK(OutputBytes.empty());
    CheckSettings();
    return 0;
}
