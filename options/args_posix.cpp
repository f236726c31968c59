#include "args.h"

#include "charset.h"

// The shell has split the words already; they only change code page.
// A word that cannot be shown in the console's code page keeps its bytes.
void ArgsInit(int argc, char** argv)
{
    bool utf8 = LocaleIsUtf8();
    std::vector<std::string> args;
    for (int i = 0; i < argc; i++) {
        std::string word = argv[i];
        if (utf8)
            Utf8ToLatin1(argv[i], word);
        args.push_back(word);
    }
    ArgsSet(args);
}
