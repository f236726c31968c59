#include "charset.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>

bool LocaleIsUtf8()
{
    static int answer = -1;
    if (answer < 0) {
        std::setlocale(LC_CTYPE, "");
        const char* codeset = nl_langinfo(CODESET);
        answer = codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
    }
    return answer == 1;
}
