#include "lineedit.h"

// Placeholder until the editor lands: accepts the starting text.
bool EditLine(char*, std::int32_t, std::int32_t, bool, bool, bool, bool, bool)
{
    return true;
}
