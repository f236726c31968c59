// pickit on a UTF-8 terminal: the key list is a list of characters.
#include <gtest/gtest.h>

#include "pickit.h"
#include "program_run.h"

namespace {

using namespace pickit;

RunOutcome PickUtf8(const Words& words, const std::string& keys, double at = 0.5)
{
    SetCommandLine("pickit", words);
    VirtualConsoleSetUtf8(true);
    VirtualConsoleSetLineFeedIsEnter(true);
    return RunProgram([&] {
        ParseCommandLine();
        PushTyped(keys, at);
        PromptForKey();
    });
}

TEST(PickitUtf8, KeyListOfCharacters)
{
    const std::string de = "\xD0\xB4", De = "\xD0\x94", en = "\xD0\xBD", En = "\xD0\x9D";
    struct Case {
        const char* Name;
        Words Args;
        std::string Keys;
        int Code;
        std::string Output;
    } cases[] = {
        {"Cyrillic, folded", {"-k", de + en, "-p", "\xD0\x94\xD0\xB0?"}, de, 1,
         "\xD0\x94\xD0\xB0? [" + De + "," + En + "] " + De + "\r\n"},
        {"upper case typed matches too", {"-k", de + en}, En, 2, "[" + De + "," + En + "] " + En + "\r\n"},
        {"case-sensitive: only the listed form", {"-s", "-k", de + En}, De + en + En, 2,
         "[" + de + "," + En + "] " + En + "\r\n"},
        {"a time-out key beyond one byte", {"-k", "\xE2\x82\xAC$", "-t", "\xE2\x82\xAC,1"}, "", 1,
         "[\xE2\x82\xAC,$] \xE2\x82\xAC\r\n"},
        {"the time-out key after a wide one", {"-k", "\xE2\x82\xAC$", "-t", "$,1"}, "", 2,
         "[\xE2\x82\xAC,$] $\r\n"},
        {"a default key on Enter", {"-k", "\xE4\xB8\xAD\xE6\x96\x87", "-d", "\xE6\x96\x87"}, "\r", 2,
         "[\xE4\xB8\xAD,\xE6\x96\x87] \xE6\x96\x87\r\n"},
        {"a letter with its mark is one key", {"-k", "e\xCC\x81" "x"}, "x", 2, "[E\xCC\x81,X] X\r\n"},
        {"\xC3\x9F has no capital", {"-k", "\xC3\x9F" "x"}, "\xC3\x9F", 1, "[\xC3\x9F,X] \xC3\x9F\r\n"},
        {"Ctrl+J takes the default key as Enter does", {"-d", "n"}, "\ny", 2, "[Y,N] N\r\n"},
        {"Ctrl+J accepts in line mode", {"-l", "-q"}, "n\n", 2, "[Y,N] N\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        RunOutcome run = PickUtf8(c.Args, c.Keys, c.Keys.empty() ? 0 : 0.5);
        EXPECT_EQ(run.Code, c.Code);
        EXPECT_EQ(run.Output, c.Output);
    }
}

TEST(PickitUtf8, CutsNeverSplitACharacter)
{
    std::string prompt(254, 'p');
    SetCommandLine("pickit", {"-p", prompt + "\xE4\xB8\xAD\xE6\x96\x87"});
    VirtualConsoleSetUtf8(true);
    RunProgram([] { ParseCommandLine(); });
    EXPECT_EQ(Settings.Prompt.substr(0, 257), prompt + "\xE4\xB8\xAD");
}

}  // namespace
