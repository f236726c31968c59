#include "charset.h"
#include "charset_posix.h"

#include <gtest/gtest.h>

namespace {

// Restores the locale's decision after a test that sets it.
struct Utf8Console {
    explicit Utf8Console(bool utf8) { SetLocaleIsUtf8(utf8); }
    ~Utf8Console() { SetLocaleIsUtf8(true); }
};

std::string Join(const std::vector<std::string>& chars)
{
    std::string joined;
    for (const std::string& c : chars)
        joined += "[" + c + "]";
    return joined;
}

// Widths as terminals place code points, which tmux, GNU screen and xterm
// were measured to do (emoji sequences before the terminal was asked).
TEST(CharacterModel, Utf8)
{
    Utf8Console utf8(true);
    TerminalWidths() = {};
    struct Case {
        const char* Name;
        std::string Text;
        std::string Chars;   // the characters, bracketed
        std::string Widths;  // one digit per character
        std::string Leads;   // the cells each one moves to the next row with
    } cases[] = {
        {"ASCII", "ab", "[a][b]", "11", "11"},
        {"Latin-1 and Cyrillic", "\xC3\xA9\xD0\xB4", "[\xC3\xA9][\xD0\xB4]", "11", "11"},
        {"CJK is wide", "\xE4\xB8\xADx", "[\xE4\xB8\xAD][x]", "21", "21"},
        {"e and a combining acute", "e\xCC\x81x", "[e\xCC\x81][x]", "11", "11"},
        {"Thai: a tone mark takes none, SARA AM a cell",
         "\xE0\xB8\x99\xE0\xB9\x89\xE0\xB8\xB3\xE0\xB8\x97\xE0\xB8\xB3",
         "[\xE0\xB8\x99\xE0\xB9\x89\xE0\xB8\xB3][\xE0\xB8\x97\xE0\xB8\xB3]", "22", "11"},
        {"Lao", "\xE0\xBA\x99\xE0\xBB\x89\xE0\xBA\xB3", "[\xE0\xBA\x99\xE0\xBB\x89\xE0\xBA\xB3]", "2", "1"},
        {"Devanagari: a vowel sign takes a cell, the virama none",
         "\xE0\xA4\xB9\xE0\xA4\xBF\xE0\xA4\xA8\xE0\xA5\x8D\xE0\xA4\xA6\xE0\xA5\x80",
         "[\xE0\xA4\xB9\xE0\xA4\xBF][\xE0\xA4\xA8\xE0\xA5\x8D][\xE0\xA4\xA6\xE0\xA5\x80]", "212", "111"},
        {"Bengali", "\xE0\xA6\x95\xE0\xA6\xBF", "[\xE0\xA6\x95\xE0\xA6\xBF]", "2", "1"},
        {"Tamil", "\xE0\xAE\x95\xE0\xAF\x88", "[\xE0\xAE\x95\xE0\xAF\x88]", "2", "1"},
        {"Hangul syllable", "\xED\x95\x9C", "[\xED\x95\x9C]", "2", "2"},
        {"Hangul jamo: vowel and final join the first",
         "\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB", "[\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB]", "2", "2"},
        {"thumbs up with a skin tone", "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD", "[\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD]", "4", "2"},
        {"family: a ZWJ sequence",
         "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7",
         "[\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7]", "6", "2"},
        {"two flags", "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7",
         "[\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA][\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7]", "22", "11"},
        {"heart with emoji presentation", "\xE2\x9D\xA4\xEF\xB8\x8F", "[\xE2\x9D\xA4\xEF\xB8\x8F]", "1", "1"},
        {"keycap", "1\xEF\xB8\x8F\xE2\x83\xA3", "[1\xEF\xB8\x8F\xE2\x83\xA3]", "1", "1"},
        {"controls and C1 take no cell", "\t\xC2\x85", "[\t][\xC2\x85]", "00", "00"},
        {"a lone mark takes no cell", "\xCC\x81", "[\xCC\x81]", "0", "0"},
        {"a lone vowel sign takes one", "\xE0\xA4\xBF", "[\xE0\xA4\xBF]", "1", "1"},
        {"invalid bytes are characters of their own", "\xFF\xE4\xB8", "[\xFF][\xE4][\xB8]", "000", "000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<std::string> chars = SplitChars(c.Text);
        EXPECT_EQ(Join(chars), c.Chars);
        EXPECT_EQ(CharCount(c.Text), chars.size());
        std::string widths, leads;
        for (const std::string& ch : chars) {
            widths += std::to_string(CharWidth(ch));
            leads += std::to_string(LeadWidth(ch));
        }
        EXPECT_EQ(widths, c.Widths);
        EXPECT_EQ(leads, c.Leads);
    }
    // A cut never splits a character.
    EXPECT_EQ(FirstChars("e\xCC\x81\xE4\xB8\xAD" "abc", 2), "e\xCC\x81\xE4\xB8\xAD");
}

// The kinds of emoji sequence, whose widths the terminal is asked about.
TEST(CharacterModel, EmojiKinds)
{
    const std::string Heart = "\xE2\x9D\xA4\xEF\xB8\x8F";             // U+2764 U+FE0F
    const std::string Keycap = "1\xEF\xB8\x8F\xE2\x83\xA3";           // 1 U+FE0F U+20E3
    const std::string ThumbsUp = "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD";  // with a skin tone
    const std::string Family = "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";
    const std::string Rainbow = "\xF0\x9F\x8F\xB3\xEF\xB8\x8F\xE2\x80\x8D\xF0\x9F\x8C\x88";
    const std::string Flag = "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA";
    const std::string Thai = "\xE0\xB8\x99\xE0\xB9\x89\xE0\xB8\xB3";
    Utf8Console utf8(true);
    const std::pair<std::string, EmojiKind> cases[] = {
        {"a", EmojiKind::None}, {Thai, EmojiKind::None}, {"\xE2\x9D\xA4", EmojiKind::None},
        {"\xF0\x9F\x8F\xBD", EmojiKind::None}, {"a\xE2\x80\x8D", EmojiKind::None},
        {Heart, EmojiKind::Presentation}, {Keycap, EmojiKind::Keycap}, {"#\xE2\x83\xA3", EmojiKind::Keycap},
        {ThumbsUp, EmojiKind::SkinTone}, {Family, EmojiKind::Joined}, {Rainbow, EmojiKind::Joined},
        {Flag, EmojiKind::Flag},
    };
    for (const auto& [character, kind] : cases)
        EXPECT_EQ(static_cast<int>(EmojiKindOf(character)), static_cast<int>(kind)) << character;
}

TEST(CharacterModel, SingleByteLocale)
{
    Utf8Console bytes(false);
    EXPECT_EQ(Join(SplitChars("\xC3\xA9\xE4")), "[\xC3][\xA9][\xE4]");
    EXPECT_EQ(CharWidth("\xE4"), 1);
    EXPECT_EQ(UpperCaseText("ab\xE9z"), "AB\xE9Z");
}

TEST(CharacterModel, UpperCase)
{
    Utf8Console utf8(true);
    const char* cases[][2] = {
        {"abc", "ABC"},
        {"\xC3\xA9", "\xC3\x89"},                   // é É
        {"\xD0\xB4\xD0\xBD", "\xD0\x94\xD0\x9D"},   // дн ДН
        {"\xCE\xB1\xCF\x89", "\xCE\x91\xCE\xA9"},   // αω ΑΩ
        {"\xC3\x9F\xC7\x86", "\xC3\x9F\xC7\x84"},   // ß stays, ǆ Ǆ (simple mappings)
        {"\xE1\xBE\xB3", "\xE1\xBE\xBC"},           // ᾳ ᾼ, not the full mapping's ΑΙ
        {"\xE4\xB8\xAD" "1", "\xE4\xB8\xAD" "1"},   // no case
        {"\xFF" "a", "\xFF" "A"},                   // a stray byte stays
    };
    for (auto& c : cases)
        EXPECT_EQ(UpperCaseText(c[0]), c[1]) << c[0];
}

TEST(CharacterModel, LocaleNames)
{
    struct Case {
        const char* LcAll;
        const char* LcCtype;
        const char* Lang;
        bool Utf8;
    } cases[] = {
        {"", "", "", true},
        {"C", "", "", true},
        {"POSIX", "", "de_DE.ISO-8859-1", true},
        {"", "UTF-8", "", true},
        {"", "", "en_US.utf8", true},
        {"", "", "de_DE", true},
        {"", "", "de_DE.ISO-8859-1", false},
        {"", "ja_JP.eucJP", "en_US.UTF-8", false},
        {"", "", "sr_RS.UTF-8@latin", true},
    };
    for (const Case& c : cases) {
        setenv("LC_ALL", c.LcAll, 1);
        setenv("LC_CTYPE", c.LcCtype, 1);
        setenv("LANG", c.Lang, 1);
        SetLocaleIsUtf8(-1);
        EXPECT_EQ(LocaleIsUtf8(), c.Utf8) << c.LcAll << "|" << c.LcCtype << "|" << c.Lang;
    }
    unsetenv("LC_ALL");
    unsetenv("LC_CTYPE");
    unsetenv("LANG");
    SetLocaleIsUtf8(true);
}

}  // namespace
