#include "emojiwidth_posix.h"

#include <algorithm>

#include "charset.h"

namespace {

struct Answers {
    bool Asked[EmojiKinds] = {};
    EmojiRule Rules[EmojiKinds] = {};  // Sum until an answer says otherwise
    bool ModeAsked = false;
    bool ModeTaken = false;
    bool Whole = false;  // the terminal draws grapheme clusters whole
};
Answers Known;

bool IsRegional(char32_t code)
{
    return code >= 0x1F1E6 && code <= 0x1F1FF;
}

bool IsSkinTone(char32_t code)
{
    return code >= 0x1F3FB && code <= 0x1F3FF;
}

}  // namespace

EmojiKind EmojiKindOf(std::string_view character)
{
    // Only characters with a code point from U+20E3 on can be one.
    bool high = false;
    for (unsigned char c : character)
        high = high || c >= 0xE2;
    if (!high)
        return EmojiKind::None;
    bool presentation = false, keycap = false, skinTone = false, joined = false;
    int regional = 0;
    bool first = true, afterJoiner = false;
    char32_t code;
    std::size_t length;
    for (; !character.empty(); character.remove_prefix(length), first = false) {
        if (DecodeUtf8(character, code, length) != Utf8Status::Valid)
            return EmojiKind::None;
        joined = joined || afterJoiner;
        afterJoiner = code == 0x200D;
        presentation = presentation || code == 0xFE0F;
        keycap = keycap || code == 0x20E3;
        skinTone = skinTone || (!first && IsSkinTone(code));
        regional += IsRegional(code);
    }
    return regional >= 2 ? EmojiKind::Flag
         : keycap        ? EmojiKind::Keycap
         : joined        ? EmojiKind::Joined
         : skinTone      ? EmojiKind::SkinTone
         : presentation  ? EmojiKind::Presentation
                         : EmojiKind::None;
}

EmojiRule RuleFor(std::string_view character)
{
    if (Known.Whole)
        return EmojiRule::Whole;
    EmojiKind kind = EmojiKindOf(character);
    return kind == EmojiKind::None ? EmojiRule::Sum : Known.Rules[static_cast<int>(kind)];
}

std::string_view UnaskedCharacter(std::string_view text)
{
    bool all = true;  // every kind but None
    for (int kind = 1; kind < EmojiKinds; kind++)
        all = all && Known.Asked[kind];
    if (Known.Whole || all)
        return {};
    while (!text.empty()) {
        std::size_t length = CharLength(text);
        EmojiKind kind = EmojiKindOf(text.substr(0, length));
        if (kind != EmojiKind::None && !Known.Asked[static_cast<int>(kind)])
            return text.substr(0, length);
        text.remove_prefix(length);
    }
    return {};
}

int QuestionCells(std::string_view character)
{
    int cells = 2;
    for (EmojiRule rule : {EmojiRule::Sum, EmojiRule::ZwjJoins, EmojiRule::Whole})
        cells = std::max(cells, CellsByRule(character, rule));
    return cells;
}

std::string QuestionFor(std::string_view character)
{
    Known.Asked[static_cast<int>(EmojiKindOf(character))] = true;
    std::string question = Known.ModeAsked ? "" : "\x1b[?2027$p";
    Known.ModeAsked = true;
    // Blanked at once, since the text shown there next may be shorter.
    return question + "\x1b" "7" + std::string(character) + "\x1b[6n\x1b" "8" +
           std::string(QuestionCells(character), ' ') + "\x1b" "8";
}

int ParseModeReport(std::string_view body)
{
    constexpr std::string_view Start = "?2027;";
    if (body.size() != Start.size() + 2 || body.substr(0, Start.size()) != Start || body.back() != '$')
        return -1;
    char value = body[Start.size()];
    return value >= '0' && value <= '9' ? value - '0' : -1;
}

std::string TakeModeAnswer(int value)
{
    if (Known.ModeTaken || value < 0)
        return "";
    Known.ModeTaken = true;
    // On, always on, or off but can be switched: clusters are drawn whole.
    Known.Whole = value == 1 || value == 2 || value == 3;
    return value == 2 ? "\x1b[?2027h" : "";
}

void TakeQuestionAnswer(std::string_view character, int cells)
{
    EmojiKind kind = EmojiKindOf(character);
    if (kind == EmojiKind::None)
        return;
    EmojiRule& rule = Known.Rules[static_cast<int>(kind)];
    rule = EmojiRule::Sum;
    for (EmojiRule candidate : {EmojiRule::Sum, EmojiRule::ZwjJoins, EmojiRule::Whole}) {
        if (CellsByRule(character, candidate) == cells) {
            rule = candidate;
            return;
        }
    }
}

void ResetEmojiWidths()
{
    Known = Answers();
}
