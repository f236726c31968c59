#include "args.h"

namespace {

bool IsSeparator(unsigned char c)
{
    return c >= 1 && c <= 32;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const char* line)
{
    std::vector<std::string> words;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(line);
    bool first = true;
    for (;;) {
        while (IsSeparator(*p))
            p++;
        if (*p == 0)
            break;

        std::string word;
        bool inDouble = false, inSingle = false;
        while (*p != 0) {
            unsigned char c = *p;
            if (c == '"' && !inSingle) {
                if (p[1] == '"') {
                    p += 2;  // "" adds nothing and leaves the quote state alone
                    continue;
                }
                inDouble = !inDouble;
            } else if (c == '\'' && !inDouble) {
                if (p[1] == '\'') {
                    p += 2;
                    continue;
                }
                inSingle = !inSingle;
            } else if (IsSeparator(c) && !inDouble && !inSingle) {
                break;
            } else {
                word += static_cast<char>(c);
            }
            p++;
        }
        if (!first)
            words.push_back(word);
        first = false;
    }
    return words;
}
