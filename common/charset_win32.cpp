// The Windows console: one byte of the code page is one character.
#include "charset.h"

bool LocaleIsUtf8()
{
    return false;
}

void SetLocaleIsUtf8(int)
{
}

std::size_t CharLength(std::string_view)
{
    return 1;
}

int CharWidth(std::string_view character)
{
    unsigned char c = character[0];
    return c < 0x20 || c == 0x7F ? 0 : 1;
}

std::string UpperCaseText(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}
