#include "termquery_posix.h"

#include <algorithm>

#include "charset.h"

bool IsDumbTerminal(const char* term)
{
    std::string_view name = term == nullptr ? "" : term;
    return name == "dumb" || name == "emacs" || name == "cons25";
}

int EscapeDelayFrom(const char* value)
{
    if (value == nullptr || *value == '\0')
        return EscapeWaitMs;
    int ms = 0;
    for (const char* c = value; *c != '\0'; c++) {
        if (*c < '0' || *c > '9')
            return EscapeWaitMs;
        ms = std::min(ms * 10 + (*c - '0'), 60000);  // a minute is plenty
    }
    return ms;
}

void NoteQuerySent(TermKeyDecoder& decoder, std::int64_t nowMs)
{
    decoder.QueriesOutstanding++;
    decoder.ReportReady = false;
    decoder.HoldReportsUntil = nowMs + LateReportMs;
}

bool QueryAnswered(const TermKeyDecoder& decoder)
{
    return decoder.QueriesOutstanding == 0 && decoder.ReportReady;
}

std::int64_t OwedUntil(const TermKeyDecoder& decoder, std::int64_t nowMs)
{
    std::int64_t until = -1;
    if (decoder.QueriesOutstanding > 0)
        until = decoder.HoldReportsUntil;
    if (decoder.InPaste)
        until = std::max(until, decoder.PendingSince + PasteGapMs);
    else if (!decoder.Pending.empty())
        until = std::max(until, DecodeDeadline(decoder));
    return until > nowMs ? until : -1;
}

std::string_view UnaskedCharacter(const WidthQuestions& questions, std::string_view text)
{
    bool all = true;  // every kind but None
    for (int kind = 1; kind < EmojiKinds; kind++)
        all = all && questions.Asked[kind];
    if (questions.Rules.Whole || all)
        return {};
    while (!text.empty()) {
        std::size_t length = CharLength(text);
        EmojiKind kind = EmojiKindOf(text.substr(0, length));
        if (kind != EmojiKind::None && !questions.Asked[static_cast<int>(kind)])
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

std::string QuestionFor(WidthQuestions& questions, std::string_view character)
{
    questions.Asked[static_cast<int>(EmojiKindOf(character))] = true;
    std::string question = questions.ModeAsked ? "" : "\x1b[?2027$p";
    questions.ModeAsked = true;
    // Blanked at once, since the text shown there next may be shorter.
    return question + "\x1b" "7" + std::string(character) + CursorQuestion + "\x1b" "8" +
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

std::string TakeModeAnswer(WidthQuestions& questions, int value)
{
    if (questions.ModeTaken || value < 0)
        return "";
    questions.ModeTaken = true;
    // On, always on, or off but can be switched: clusters are drawn whole.
    questions.Rules.Whole = value == 1 || value == 2 || value == 3;
    SetEmojiRules(questions.Rules);
    return value == 2 ? ClusterModeOn : "";
}

void TakeQuestionAnswer(WidthQuestions& questions, std::string_view character, int cells)
{
    EmojiKind kind = EmojiKindOf(character);
    if (kind == EmojiKind::None)
        return;
    EmojiRule& rule = questions.Rules.ByKind[static_cast<int>(kind)];
    rule = EmojiRule::Sum;
    for (EmojiRule candidate : {EmojiRule::Sum, EmojiRule::ZwjJoins, EmojiRule::Whole}) {
        if (CellsByRule(character, candidate) == cells) {
            rule = candidate;
            break;
        }
    }
    SetEmojiRules(questions.Rules);
}
