#include "charset.h"

#include <cstdlib>
#include <cstring>
#include <string>

// The locale's character set, as the environment names it: LC_ALL, then
// LC_CTYPE, then LANG. Reading the variables is much cheaper at start-up
// than loading the locale itself.
bool LocaleIsUtf8()
{
    static int answer = -1;
    if (answer < 0) {
        const char* name = nullptr;
        for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
            name = std::getenv(variable);
            if (name && *name)
                break;
        }
        std::string codeset;
        if (name) {
            const char* dot = std::strchr(name, '.');
            for (const char* p = dot ? dot + 1 : ""; *p && *p != '@'; p++) {
                if (*p != '-')
                    codeset += static_cast<char>(*p >= 'A' && *p <= 'Z' ? *p - 'A' + 'a' : *p);
            }
        }
        answer = codeset == "utf8";
    }
    return answer == 1;
}
