#include <cstring>

#include "lineedit.h"

void StrTruncate(char* text, int count)
{
    if (count < 0)
        count = 0;
    if (static_cast<int>(std::strlen(text)) > count)
        text[count] = 0;
}

void StrDeleteAt(char* text, int index, int count)
{
    int length = static_cast<int>(std::strlen(text));
    if (index < 0 || index >= length || count <= 0)
        return;
    if (index + count >= length) {
        text[index] = 0;
        return;
    }
    std::memmove(text + index, text + index + count, length - index - count + 1);
}

void StrInsertAt(const char* source, char* dest, int index)
{
    int insert = static_cast<int>(std::strlen(source));
    if (insert == 0)
        return;
    int length = static_cast<int>(std::strlen(dest));
    if (index > length)
        index = length;
    if (index < 0)
        index = 0;
    std::memmove(dest + index + insert, dest + index, length - index + 1);
    std::memcpy(dest + index, source, insert);
}
