#include "charset.h"
#include "termquery_posix.h"

#include <gtest/gtest.h>

namespace {

const std::string Heart = "\xE2\x9D\xA4\xEF\xB8\x8F";                      // U+2764 U+FE0F
const std::string Smile = "\xE2\x98\xBA\xEF\xB8\x8F";                      // U+263A U+FE0F
const std::string Keycap = "1\xEF\xB8\x8F\xE2\x83\xA3";                    // 1 U+FE0F U+20E3
const std::string ThumbsUp = "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD";           // with a skin tone
const std::string Family = "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";
const std::string Coder = "\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x92\xBB";  // woman, ZWJ, laptop
const std::string Rainbow = "\xF0\x9F\x8F\xB3\xEF\xB8\x8F\xE2\x80\x8D\xF0\x9F\x8C\x88";
const std::string Flag = "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA";
const std::string Thai = "\xE0\xB8\x99\xE0\xB9\x89\xE0\xB8\xB3";
const std::string Hi = "\xE0\xA4\xB9\xE0\xA4\xBF";     // ह and the vowel sign ि
const std::string Di = "\xE0\xA4\xA6\xE0\xA4\xBF";     // द ि
const std::string Dii = "\xE0\xA4\xA6\xE0\xA5\x80";    // द ी
const std::string SignI = "\xE0\xA4\xBF";                // ि alone
const std::string HiNukta = "\xE0\xA4\xB9\xE0\xA4\xBC\xE0\xA4\xBF";  // ह, a nukta, ि

// Nothing asked yet; CharWidth back to its rules after the test.
struct Fresh {
    WidthQuestions Questions;
    Fresh() { SetLocaleIsUtf8(true); }
    ~Fresh() { TerminalWidths() = {}; }
};

// What each terminal answered (measured in tmux 3.3a, GNU screen 4.09 and
// xterm 379; the last ones as terminals with the mode would), and the widths
// that then follow for other characters of the same kinds.
TEST(EmojiWidths, Answers)
{
    const struct {
        const char* Name;
        int Mode;  // the mode's answer; -1 none
        std::string Asked;
        int Cells;  // the cells the terminal drew it in; -1 no answer
        std::string Sent;
        std::vector<std::pair<std::string, int>> Widths;
    } cases[] = {
        {"tmux: a ZWJ joins what follows", -1, Family, 2, "",
         {{Family, 2}, {Coder, 2}, {Rainbow, 1}, {ThumbsUp, 4}}},
        {"GNU screen: code point by code point", -1, Family, 6, "", {{Coder, 4}, {Rainbow, 3}}},
        {"xterm: does not know the mode", 0, Heart, 1, "", {{Smile, 1}, {Thai, 2}}},
        {"no answer: code point by code point", -1, ThumbsUp, -1, "", {{ThumbsUp, 4}}},
        {"mlterm: an answer no rule gives counts for the character", -1, Family, 8, "",
         {{Family, 8}, {Coder, 4}}},
        {"whole without the mode", -1, Heart, 2, "", {{Smile, 2}, {Keycap, 1}, {Thai, 2}}},
        {"the mode off: switched on", 2, Heart, 1, "\x1b[?2027h",
         {{Smile, 2}, {Keycap, 2}, {Family, 2}, {Rainbow, 2}, {Flag, 2}, {Thai, 1}}},
        {"the mode always on", 3, Keycap, 2, "", {{ThumbsUp, 2}}},
        {"the mode always off", 4, Heart, 1, "", {{Smile, 1}}},
        // A spacing mark's answer counts wherever the mark stands.
        {"kitty, mlterm: a spacing mark in no cell", -1, Hi, 1, "",
         {{Hi, 1}, {Di, 1}, {HiNukta, 1}, {Dii, 2}, {SignI, 0}}},
        {"xterm, tmux: a spacing mark in a cell", -1, Hi, 2, "", {{Hi, 2}, {Di, 2}, {SignI, 1}}},
        {"no answer: a spacing mark in a cell", -1, Hi, -1, "", {{Hi, 2}, {Di, 2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Fresh fresh;
        EXPECT_EQ(UnaskedCharacter(fresh.Questions, "ab" + c.Asked + Thai), c.Asked);
        QuestionFor(fresh.Questions, c.Asked);
        TakeQuestionAnswer(fresh.Questions, c.Asked, c.Cells);
        EXPECT_EQ(TakeModeAnswer(fresh.Questions, c.Mode), c.Sent);
        EXPECT_EQ(UnaskedCharacter(fresh.Questions, c.Asked), "");  // asked once
        for (const auto& [character, width] : c.Widths)
            EXPECT_EQ(CharWidth(character), width) << character;
    }
}

// The mode is asked with the first question only; the blanks cover the
// most the character may take; a kind asked is not asked again.
TEST(EmojiWidths, QuestionsOncePerKind)
{
    Fresh fresh;
    WidthQuestions& q = fresh.Questions;
    EXPECT_EQ(UnaskedCharacter(q, "plain ASCII " + Thai), "");
    EXPECT_EQ(QuestionFor(q, Heart).find(ClusterModeQuestion), 0u);
    EXPECT_EQ(UnaskedCharacter(q, "a" + Smile + Family), Family);
    EXPECT_EQ(QuestionFor(q, Family).find(ClusterModeQuestion), std::string::npos);
    EXPECT_EQ(QuestionCells(Family), 8);  // three code points in two cells each, the ZWJs in one
    // A spacing mark is asked about after the letter it stands on, once.
    EXPECT_EQ(UnaskedCharacter(q, HiNukta), Hi);
    QuestionFor(q, Hi);
    EXPECT_EQ(UnaskedCharacter(q, Hi + Di + Dii), Dii);
    EXPECT_EQ(UnaskedCharacter(q, SignI + Dii), Dii);
}

// Where no rule gave the answer, each character of the kind is asked.
TEST(EmojiWidths, EachCharacterWhereNoRuleFits)
{
    Fresh fresh;
    WidthQuestions& q = fresh.Questions;
    QuestionFor(q, Family);
    TakeQuestionAnswer(q, Family, 8);
    EXPECT_EQ(UnaskedCharacter(q, Family + Coder), Coder);
    QuestionFor(q, Coder);
    TakeQuestionAnswer(q, Coder, 5);
    EXPECT_EQ(UnaskedCharacter(q, Family + Coder + Rainbow), Rainbow);
    EXPECT_EQ(CharWidth(Coder), 5);
}

}  // namespace
