// The command-line splitter and the option scanner on any command line and
// option string: the scan ends, hands out only letters of the option
// string, "?", a long option or the end, and never a value or word beyond
// 255 characters.
#include <cstdint>
#include <string>
#include <vector>

#include "args.h"
#include "charset.h"
#include "fuzz_check.h"
#include "getopt.h"

namespace {

const char* const ProgramOptions[] = {"BbF:f:HhL:l:MmNnOoP:p:T:t:UuV:v:", "D:d:HhK:k:LlNnP:p:QqSsT:t:"};

bool TakesValue(const std::string& options, std::size_t at)
{
    return at + 1 < options.size() && options[at + 1] == ':';
}

}  // namespace

// The first byte picks fillin's or pickit's option string, or one that
// the input brings before its first NUL; the rest is the command line.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string options;
    if (data[0] % 3 < 2) {
        options = ProgramOptions[data[0] % 3];
    } else {
        std::size_t nul = rest.find('\0');
        if (nul == std::string::npos)
            return 0;
        // Without "?" and the bytes 255 and 254, which stand for "unknown",
        // the end and a long option.
        for (char c : rest.substr(0, nul)) {
            if (c != '?' && c != '\xff' && c != '\xfe')
                options += c;
        }
        rest.erase(0, nul + 1);
    }
    std::string line = "prog " + rest;  // the first word is the program's name

    std::vector<std::string> words = SplitCommandLine(line.c_str());
    std::size_t chars = 0;
    for (const std::string& word : words) {
        FUZZ_CHECK(word.find('\0') == std::string::npos);
        chars += word.size();
    }
    FUZZ_CHECK(chars <= rest.size());

    words.insert(words.begin(), "prog");
    ArgsSet(words);
    ResetOptionScanner();

    // Every call hands out a letter or steps over a word, so the scan
    // ends within this many calls.
    std::size_t bound = chars + words.size() + 1;
    std::size_t calls = 0;
    // The scanner sees at most 255 characters of the option string.
    std::string seen = options.substr(0, 255);
    for (;;) {
        unsigned char result = GetOpt(options);
        FUZZ_CHECK(++calls <= bound);
        FUZZ_CHECK(CharCount(OptionArg) <= 255);  // characters: UTF-8 here
        if (result == NoMoreOptions)
            break;
        if (result == '?') {
            FUZZ_CHECK(OptionArg.empty());
            continue;
        }
        if (result == LongOption) {  // POSIX: the word itself
            FUZZ_CHECK(OptionArg.size() > 2 && OptionArg.compare(0, 2, "--") == 0);
            continue;
        }
        std::size_t at = seen.find(static_cast<char>(result));
        FUZZ_CHECK(at != std::string::npos && result != ':');
        if (!TakesValue(seen, at))
            FUZZ_CHECK(OptionArg.empty());
    }
    // The end stays the end.
    FUZZ_CHECK(GetOpt(options) == NoMoreOptions);
    return 0;
}
