#include "charset.h"

bool LocaleIsUtf8()
{
    return false;
}
