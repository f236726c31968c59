#include "getopt.h"

#include <cstring>

#include "args.h"
#include "shortstr.h"

std::string OptionArg;
std::string WholeOptionArg;

namespace {

// Where the scan stands: the argument being examined (0 before the first
// call) and the 1-based position of the next letter in it (0 between
// arguments).
struct ScannerState {
    int ArgIndex = 0;
    int ClusterPos = 0;
    OptionSyntax Syntax = SystemOptionSyntax();
};
ScannerState Scanner;

bool IsOptionWord(const std::string& word)
{
    return word.size() >= 2 && std::strchr(Scanner.Syntax.Prefixes, word[0]) != nullptr;
}

bool IsLongOption(const std::string& word)
{
    return Scanner.Syntax.LongOptions && word.size() > 2 && word.compare(0, 2, "--") == 0;
}

}  // namespace

void ResetOptionScanner(OptionSyntax syntax)
{
    Scanner = ScannerState();
    Scanner.Syntax = syntax;
    OptionArg.clear();
    WholeOptionArg.clear();
}

unsigned char GetOpt(std::string_view optionString)
{
    OptionArg.clear();
    WholeOptionArg.clear();
    if (Scanner.ArgIndex == 0) {
        Scanner.ArgIndex = 1;
        Scanner.ClusterPos = 0;
    }
    optionString = optionString.substr(0, ShortStringMax);

    if (Scanner.ClusterPos == 0) {
        while (Scanner.ArgIndex <= ArgCount() && !IsOptionWord(ArgStr(Scanner.ArgIndex)))
            Scanner.ArgIndex++;
        if (Scanner.ArgIndex <= ArgCount() && ArgStr(Scanner.ArgIndex) == "--")
            Scanner.ArgIndex = ArgCount() + 1;
        if (Scanner.ArgIndex > ArgCount())
            return NoMoreOptions;
        if (IsLongOption(ArgStr(Scanner.ArgIndex))) {
            OptionArg = ShortString(ArgStr(Scanner.ArgIndex));
            WholeOptionArg = ArgStr(Scanner.ArgIndex);
            Scanner.ArgIndex++;
            return LongOption;
        }
        Scanner.ClusterPos = 2;
    }

    std::string current = ShortString(ArgStr(Scanner.ArgIndex));
    char letter = current[Scanner.ClusterPos - 1];
    std::size_t found = optionString.find(letter);
    Scanner.ClusterPos++;
    if (Scanner.ClusterPos > static_cast<int>(current.size())) {
        Scanner.ArgIndex++;
        Scanner.ClusterPos = 0;
    }

    if (found == std::string_view::npos || letter == ':')
        return '?';
    if (found + 1 >= optionString.size() || optionString[found + 1] != ':')
        return static_cast<unsigned char>(letter);

    bool missing = false;
    if (Scanner.ClusterPos != 0) {
        OptionArg = current.substr(Scanner.ClusterPos - 1);
        // The letter stands within the first 255 characters, so its byte
        // offset is the same in the whole argument.
        WholeOptionArg = ArgStr(Scanner.ArgIndex).substr(Scanner.ClusterPos - 1);
        Scanner.ArgIndex++;
    } else if (Scanner.ArgIndex <= ArgCount()) {
        OptionArg = ShortString(ArgStr(Scanner.ArgIndex));
        WholeOptionArg = ArgStr(Scanner.ArgIndex);
        Scanner.ArgIndex++;
    } else {
        missing = true;
    }
    Scanner.ClusterPos = 0;
    return missing ? '?' : static_cast<unsigned char>(letter);
}
