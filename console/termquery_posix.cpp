#include "termquery_posix.h"

#include <algorithm>

#include "charset.h"

namespace {

constexpr char SaveCursor[] = "\x1b" "7";
constexpr char RestoreCursor[] = "\x1b" "8";

// A letter and a spacing mark of the character not yet asked about.
std::string MarkQuestion(const WidthQuestions& questions, std::string_view character)
{
    for (std::string_view mark : SpacingMarks(character)) {
        if (questions.MarksAsked.count(mark) == 0) {
            char32_t code;
            std::size_t length = 0;
            if (character.data() != mark.data())
                DecodeUtf8(character, code, length);
            return std::string(character.substr(0, length)) + std::string(mark);
        }
    }
    return {};
}

}  // namespace

std::string UnaskedCharacter(const WidthQuestions& questions, std::string_view text)
{
    if (TerminalWidths().Whole)
        return {};
    while (!text.empty()) {
        std::string_view c = text.substr(0, CharLength(text));
        int kind = static_cast<int>(EmojiKindOf(c));
        if (kind != 0 && (!questions.Asked[kind] || (questions.EachAsked[kind] && questions.CharactersAsked.count(c) == 0)))
            return std::string(c);
        std::string mark = kind == 0 ? MarkQuestion(questions, c) : "";
        if (!mark.empty())
            return mark;
        text.remove_prefix(c.size());
    }
    return {};
}

int QuestionCells(std::string_view character)
{
    int cells = 0;
    char32_t code;
    std::size_t length;
    for (std::string_view rest = character; !rest.empty(); rest.remove_prefix(length)) {
        DecodeUtf8(rest, code, length);
        length = std::max<std::size_t>(1, length);
        cells += CellsByRule(rest.substr(0, length), EmojiRule::Sum) == 0 ? 1 : 2;
    }
    return std::max(2, cells);
}

std::string QuestionFor(WidthQuestions& questions, std::string_view character)
{
    int kind = static_cast<int>(EmojiKindOf(character));
    questions.Asked[kind] = true;
    if (kind != 0)
        questions.CharactersAsked.emplace(character);
    for (std::string_view mark : kind == 0 ? SpacingMarks(character) : std::vector<std::string_view>())
        questions.MarksAsked.emplace(mark);
    std::string question = questions.ModeAsked ? "" : ClusterModeQuestion;
    questions.ModeAsked = true;
    // Blanked at once, since the text shown there next may be shorter.
    return question + SaveCursor + std::string(character) + CursorQuestion + RestoreCursor +
           std::string(QuestionCells(character), ' ') + RestoreCursor;
}

std::string TakeModeAnswer(WidthQuestions& questions, int value)
{
    if (questions.ModeTaken || value < 0)
        return "";
    questions.ModeTaken = true;
    // On, always on, or off but can be switched: clusters are drawn whole.
    TerminalWidths().Whole = value == 1 || value == 2 || value == 3;
    return value == 2 ? ClusterModeOn : "";
}

void TakeQuestionAnswer(WidthQuestions& questions, std::string_view character, int cells)
{
    if (cells < 0)
        return;  // nothing learned: the default stays
    LearnedWidths& learned = TerminalWidths();
    int kind = static_cast<int>(EmojiKindOf(character));
    std::vector<std::string_view> marks = kind == 0 ? SpacingMarks(character) : std::vector<std::string_view>();
    if (kind == 0 && marks.size() == 1) {
        // Drawn after its letter, which takes what it takes by itself.
        int letter = CellsByRule(character, EmojiRule::Sum) - CellsByRule(marks[0], EmojiRule::Sum);
        learned.Marks[std::string(marks[0])] = std::max(0, cells - letter);
    } else if (kind != 0 && !questions.EachAsked[kind]) {
        EmojiRule& rule = learned.ByKind[kind];
        rule = EmojiRule::Sum;
        bool given = false;
        for (EmojiRule candidate : {EmojiRule::Sum, EmojiRule::ZwjJoins, EmojiRule::Whole}) {
            if (CellsByRule(character, candidate) == cells) {
                rule = candidate;
                given = true;
                break;
            }
        }
        questions.EachAsked[kind] = !given;
        if (!given && cells > 0)
            learned.Characters[std::string(character)] = cells;
    } else if (kind != 0 && cells > 0) {
        learned.Characters[std::string(character)] = cells;
    }
}
