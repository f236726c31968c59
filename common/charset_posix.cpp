// POSIX terminals: UTF-8 unless the locale names another codeset, with
// utf8proc for grapheme clusters, widths and case.
#include "charset.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <utf8proc.h>

namespace {

int Utf8Answer = -1;  // -1: not decided yet

// The locale's codeset as the environment names it: LC_ALL, then LC_CTYPE,
// then LANG. Only a codeset named after a dot, other than UTF-8, means
// bytes; C, POSIX, unset and a bare "UTF-8" mean UTF-8, as current language
// runtimes treat them. Reading the variables is much cheaper at start-up
// than loading the locale itself.
bool NamesUtf8()
{
    const char* name = "";
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            name = value;
            break;
        }
    }
    const char* dot = std::strchr(name, '.');
    const char* codeset = dot ? dot + 1 : name;
    std::string normal;
    for (const char* p = codeset; *p && *p != '@'; p++) {
        if (*p != '-' && *p != '_')
            normal += static_cast<char>(*p >= 'A' && *p <= 'Z' ? *p - 'A' + 'a' : *p);
    }
    return normal == "utf8" || !dot;
}

// The code point at the start of text, or -1 for an invalid byte.
utf8proc_int32_t FirstCode(std::string_view text, std::size_t& length)
{
    char32_t code;
    if (DecodeUtf8(text, code, length) != Utf8Status::Valid) {
        length = 1;
        return -1;
    }
    return static_cast<utf8proc_int32_t>(code);
}

bool IsRegionalIndicator(utf8proc_int32_t code)
{
    return code >= 0x1F1E6 && code <= 0x1F1FF;
}

}  // namespace

bool LocaleIsUtf8()
{
    if (Utf8Answer < 0)
        Utf8Answer = NamesUtf8();
    return Utf8Answer == 1;
}

void SetLocaleIsUtf8(int utf8)
{
    Utf8Answer = utf8;
}

std::size_t CharLength(std::string_view text)
{
    if (!LocaleIsUtf8())
        return 1;
    std::size_t length;
    utf8proc_int32_t previous = FirstCode(text, length);
    if (previous < 0)
        return 1;
    utf8proc_int32_t state = 0;
    std::size_t end = length;
    while (end < text.size()) {
        utf8proc_int32_t next = FirstCode(text.substr(end), length);
        if (next < 0 || utf8proc_grapheme_break_stateful(previous, next, &state))
            break;
        previous = next;
        end += length;
    }
    return end;
}

int CharWidth(std::string_view character)
{
    unsigned char first = character[0];
    if (!LocaleIsUtf8())
        return first < 0x20 || first == 0x7F ? 0 : 1;
    std::size_t length;
    utf8proc_int32_t code = FirstCode(character, length);
    if (code < 0 || code < 0x20 || (code >= 0x7F && code <= 0x9F))
        return 0;
    int width = utf8proc_charwidth(code);
    if (width <= 0)
        return 0;  // a mark or format character on its own
    // Emoji presentation (U+FE0F) and flags (two regional indicators) are
    // two cells wide whatever their first code point says.
    std::string_view rest = character.substr(length);
    if (rest.find("\xEF\xB8\x8F") != std::string_view::npos)
        return 2;
    if (IsRegionalIndicator(code) && !rest.empty() && IsRegionalIndicator(FirstCode(rest, length)))
        return 2;
    return width > 1 ? 2 : 1;
}

std::string UpperCaseText(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    while (!text.empty()) {
        std::size_t length;
        utf8proc_int32_t code = LocaleIsUtf8() ? FirstCode(text, length) : -1;
        if (code < 0) {
            // A byte of a single-byte codeset, or one that is not UTF-8.
            length = 1;
            char c = text[0];
            result += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        } else {
            utf8proc_uint8_t bytes[4];
            utf8proc_ssize_t n = utf8proc_encode_char(utf8proc_toupper(code), bytes);
            result.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(n));
        }
        text.remove_prefix(length);
    }
    return result;
}

std::string OutputCodePageText(std::string_view text, bool& lossless)
{
    lossless = true;
    return std::string(text);
}
