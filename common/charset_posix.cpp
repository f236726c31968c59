// POSIX terminals: UTF-8 unless the locale names another codeset, with
// utf8proc for grapheme clusters, widths and case. A character is as wide
// as terminals draw it, placing its code points one by one, save for what
// the console learned from the terminal: emoji sequences drawn by a rule,
// spacing marks drawn in no cell, characters whose width no rule gives.
#include "charset.h"
#include "charset_posix.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include <utf8proc.h>

namespace {

int Utf8Answer = -1;  // -1: not decided yet
LearnedWidths Learned;

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

// The cells a code point takes where terminals place code points one by
// one, as the C library's wcwidth counts them: a spacing mark one (utf8proc
// gives these none), a Hangul medial vowel or final consonant none (it
// joins the syllable's first jamo), otherwise as utf8proc says: a
// non-spacing mark or a format character none, a wide one two.
int CodePointWidth(utf8proc_int32_t code)
{
    // Printable ASCII without a look at the tables, which plain text then
    // never brings into memory.
    if (code >= 0x20 && code < 0x7F)
        return 1;
    const utf8proc_property_t* property = utf8proc_get_property(code);
    if (property->boundclass == UTF8PROC_BOUNDCLASS_V || property->boundclass == UTF8PROC_BOUNDCLASS_T)
        return 0;
    if (property->category == UTF8PROC_CATEGORY_MC)
        return 1;
    return std::max(0, utf8proc_charwidth(code));
}

// What decides how terminals draw a character, from its code points.
struct CodePoints {
    bool Valid = true;          // whole code points only
    int Cells = 0;              // the code points' widths added up
    int JoinedCells = 0;        // the same with a code point after a ZWJ taking none
    int FirstWidth = -1;
    int Regional = 0;           // regional indicators: two make a flag
    bool Presentation = false;  // U+FE0F
    bool Keycap = false;        // U+20E3
    bool SkinTone = false;      // a skin-tone modifier after the first code point
    bool Joined = false;        // a code point after a ZWJ
};

CodePoints Scan(std::string_view character)
{
    CodePoints points;
    bool afterJoiner = false;
    std::size_t length;
    for (; !character.empty(); character.remove_prefix(length)) {
        utf8proc_int32_t code = FirstCode(character, length);
        int width = code < 0 ? 0 : CodePointWidth(code);
        points.Valid = points.Valid && code >= 0;
        points.SkinTone = points.SkinTone || (points.FirstWidth >= 0 && code >= 0x1F3FB && code <= 0x1F3FF);
        if (points.FirstWidth < 0)
            points.FirstWidth = width;
        points.Cells += width;
        points.JoinedCells += afterJoiner ? 0 : width;
        points.Joined = points.Joined || afterJoiner;
        afterJoiner = code == 0x200D;
        points.Presentation = points.Presentation || code == 0xFE0F;
        points.Keycap = points.Keycap || code == 0x20E3;
        points.Regional += code >= 0x1F1E6 && code <= 0x1F1FF;
    }
    return points;
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
        // Between two ASCII characters only CR LF does not break, whatever
        // came before: plain text needs no tables.
        bool ascii = previous < 0x80 && next >= 0 && next < 0x80;
        if (ascii && !(previous == '\r' && next == '\n'))
            break;
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
    if (code < 0x20 || (code >= 0x7F && code <= 0x9F) || CodePointWidth(code) == 0)
        return 0;  // a control, an invalid byte, a mark or format character on its own
    if (!Learned.Characters.empty()) {
        auto learned = Learned.Characters.find(character);
        if (learned != Learned.Characters.end())
            return learned->second;
    }
    EmojiKind kind = EmojiKindOf(character);
    if (Learned.Whole || kind != EmojiKind::None || Learned.Marks.empty()) {
        EmojiRule rule = Learned.Whole ? EmojiRule::Whole : Learned.ByKind[static_cast<int>(kind)];
        return std::max(1, CellsByRule(character, rule));
    }
    // Code point by code point, a spacing mark as wide as the terminal drew it.
    int cells = 0;
    bool leading = true;
    for (std::string_view rest = character; !rest.empty(); rest.remove_prefix(length), leading = false) {
        utf8proc_int32_t point = FirstCode(rest, length);
        int width = point < 0 ? 0 : CodePointWidth(point);
        if (point >= 0 && utf8proc_get_property(point)->category == UTF8PROC_CATEGORY_MC) {
            auto learned = Learned.Marks.find(rest.substr(0, length));
            width = learned != Learned.Marks.end() ? learned->second : width;
            if (leading && width == 0)
                return 0;  // a mark on its own that takes no cell
        }
        cells += width;
    }
    return std::max(1, cells);
}

std::vector<std::string_view> SpacingMarks(std::string_view character)
{
    std::vector<std::string_view> marks;
    // Only code points from U+0900 on can be one.
    if (std::none_of(character.begin(), character.end(), [](unsigned char c) { return c >= 0xE0; }))
        return marks;
    std::size_t length;
    for (std::string_view rest = character; !rest.empty(); rest.remove_prefix(length)) {
        utf8proc_int32_t code = FirstCode(rest, length);
        if (code >= 0 && utf8proc_get_property(code)->category == UTF8PROC_CATEGORY_MC)
            marks.push_back(rest.substr(0, length));
    }
    return marks;
}

EmojiKind EmojiKindOf(std::string_view character)
{
    // Only characters with a code point from U+20E3 on can be one.
    if (std::none_of(character.begin(), character.end(), [](unsigned char c) { return c >= 0xE2; }))
        return EmojiKind::None;
    CodePoints points = Scan(character);
    return !points.Valid        ? EmojiKind::None
         : points.Regional >= 2 ? EmojiKind::Flag
         : points.Keycap        ? EmojiKind::Keycap
         : points.Joined        ? EmojiKind::Joined
         : points.SkinTone      ? EmojiKind::SkinTone
         : points.Presentation  ? EmojiKind::Presentation
                                : EmojiKind::None;
}

int CellsByRule(std::string_view character, EmojiRule rule)
{
    CodePoints points = Scan(character);
    if (rule == EmojiRule::Whole)
        return points.Presentation || points.Regional >= 2 ? 2 : points.FirstWidth;
    return rule == EmojiRule::ZwjJoins ? points.JoinedCells : points.Cells;
}

LearnedWidths& TerminalWidths()
{
    return Learned;
}

std::string UpperCaseText(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    while (!text.empty()) {
        std::size_t length;
        bool ascii = static_cast<unsigned char>(text[0]) < 0x80;
        utf8proc_int32_t code = LocaleIsUtf8() && !ascii ? FirstCode(text, length) : -1;
        if (code < 0) {
            // ASCII, a byte of a single-byte codeset, or one that is not UTF-8.
            length = 1;
            char c = text[0];
            result += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        } else {
            // utf8proc gives ß its capital ẞ, which no simple mapping does.
            utf8proc_uint8_t bytes[4];
            utf8proc_ssize_t n = utf8proc_encode_char(code == 0xDF ? code : utf8proc_toupper(code), bytes);
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
