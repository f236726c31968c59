// Test-only: EditLine on a given text. Usage:
//   editdemo [-p prompt] [-l max] [-t seconds] [-mubno] [text]
// prints "result=<0|1> text=[<text>]" and exits 0, or 1 after Ctrl+C.
#include <cstring>
#include <string>

#include "args.h"
#include "console.h"
#include "output.h"
#include "getopt.h"
#include "intconv.h"
#include "lineedit.h"

int main(int argc, char** argv)
{
    ArgsInit(argc, argv);
    ConsoleOpen();
    WantCursorPosition();
    std::string prompt;
    std::int32_t maxLength = 2047, timeout = 0;
    EditFlags flags;
    for (unsigned char c; (c = GetOpt("p:l:t:mubno")) != NoMoreOptions;) {
        switch (c) {
        case 'p': prompt = OptionArg; break;
        case 'l': StrToInt(OptionArg, maxLength); break;
        case 't': StrToInt(OptionArg, timeout); break;
        case 'm': flags.MaskInput = true; break;
        case 'u': flags.UpperCase = true; break;
        case 'n': flags.NumericOnly = true; break;
        case 'o': flags.Overtype = true; break;
        case 'b': flags.CursorAtStart = true; break;
        }
    }
    std::string text;
    for (int i = 1; i <= ArgCount(); i++) {
        const std::string& word = ArgStr(i);
        if (word[0] != '-' && (i == 1 || ArgStr(i - 1)[0] != '-' || ArgStr(i - 1).size() != 2 ||
                               std::strchr("plt", ArgStr(i - 1)[1]) == nullptr)) {
            text = word;
        }
    }
    WriteOut(prompt);
    bool result = EditLine(text, maxLength, timeout, flags);
    WriteLine("result=" + std::to_string(result) + " text=[" + text + "]");
    ExitProgram(result ? 0 : 1);
}
