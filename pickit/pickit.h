// pickit: a prompt, a list of keys, and the chosen key's position as the
// exit code.
#pragma once

#include <string>
#include <string_view>

#include "lineedit.h"

namespace pickit {

// The keys when -k is not given; an empty -k gives them in capitals.
constexpr std::string_view DefaultKeyList = "yn";

struct PickitSettings {
    std::string KeyList{DefaultKeyList};  // one key per character
    std::string Prompt;
    std::string DefaultKey;  // one character; empty: none
    std::string TimeoutKey;  // one character; empty: none
    short Timeout = -1;    // seconds; a time-out applies only above 0
    bool CaseSensitive = false;
    bool ShowKeys = true;
    bool Quiet = false;
    bool LineMode = false;
    bool ShowCountdown = false;  // the seconds the time-out has left
};
extern PickitSettings Settings;

// Fills Settings from the command line and completes the prompt, or ends
// the process with the usage text or an error message (exit code 0).
void ParseCommandLine();

// The keys of the list, comma-separated, as the prompt shows them.
std::string JoinKeys(std::string_view keyList);
// The key's 1-based position in the list, 0 when it is not there; the
// first occurrence counts.
int KeyPosition(const std::string& key);

// The key that typed text (a character, or Enter) stands for: Enter the
// default key, if there is one; letters in capitals unless -s.
std::string KeyTyped(const std::string& text, bool enter);
// Line mode's field: it starts with the default key, or else the
// time-out's, and the next key typed replaces its one character.
std::string LineEntry();
EditFlags LineFlags();

// Shows the prompt, waits for an acceptable key and ends the process with
// its position in the key list, or 255 for Ctrl+C.
[[noreturn]] void PromptForKey();
// Without a terminal: the answer from standard input, shown nowhere, and
// the process's end with its exit code.
[[noreturn]] void AnswerFromInput();

}  // namespace pickit
