// The dialogue with a POSIX terminal (see dialogue_posix.h, which lists the
// sequences sent here).
#include "dialogue_posix.h"

#include <algorithm>

#include "charset.h"

namespace {

// How long a cursor move waits for the terminal's report.
constexpr int CursorQueryWaitMs = 300;
// How long after a question its answer is still awaited when the terminal
// is given back, and its start held back from the keys.
constexpr int LateAnswerMs = 2000;
constexpr char BlankBelow[] = "\x1b[J";

// A terminal that cannot move its cursor nor take any escape sequence
// ("dumb", and "emacs" and "cons25", which no cursor-addressing terminal is
// called).
bool IsDumbTerminal(const char* term)
{
    std::string_view name = term == nullptr ? "" : term;
    return name == "dumb" || name == "emacs" || name == "cons25";
}

bool TextOnly(const Dialogue& dialogue)
{
    return dialogue.Send == Sending::TextOnly;
}

// ESC [ n final.
std::string Csi(int n, char final)
{
    return "\x1b[" + std::to_string(n) + final;
}

void NoteQuerySent(Dialogue& dialogue)
{
    dialogue.QueriesOutstanding++;
    dialogue.ReportReady = false;
    dialogue.AwaitedUntil = dialogue.Port.Now() + LateAnswerMs;
}

// Every query sent is answered; the last answer (the one to the latest
// query, as a terminal answers in order) is in ReportRow, ReportColumn.
bool QueryAnswered(const Dialogue& dialogue)
{
    return dialogue.QueriesOutstanding == 0 && dialogue.ReportReady;
}

// Asks where the cursor is; where no answer can come (in the background it
// would go to the shell), nothing is asked.
void SendQuery(Dialogue& dialogue)
{
    if (dialogue.Send != Sending::Everything || !dialogue.Port.Listening())
        return;
    NoteQuerySent(dialogue);
    dialogue.Cursor.SentAt = dialogue.Port.Now();
    dialogue.Cursor.State = Query::Sent;
    dialogue.Port.Send(CursorQuestion);
}

// Reads input until the report comes or `until` passes. Keys typed
// meanwhile are kept in order.
void AwaitReport(Dialogue& dialogue, std::int64_t until)
{
    dialogue.Port.ReadUntil(0);  // what has come already
    while (dialogue.Port.Listening() && !QueryAnswered(dialogue) && dialogue.Port.Now() < until)
        dialogue.Port.ReadUntil(until);
}

// Text with nothing but printing characters: the model can follow it later.
bool Plain(std::string_view text)
{
    return std::none_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
}

// What the terminal is sent for text: in UTF-8, C1 control characters and
// bytes that are not UTF-8 show as "?", so that it never receives a broken
// character or a control sequence it did not ask for; where only text goes,
// ESC too, in any locale.
std::string Showable(const Dialogue& dialogue, std::string_view text)
{
    bool utf8 = LocaleIsUtf8();
    std::string bytes;
    bytes.reserve(text.size());
    while (!text.empty()) {
        char32_t code = static_cast<unsigned char>(text[0]);
        std::size_t length = 1;
        bool shown = !utf8 || (DecodeUtf8(text, code, length) == Utf8Status::Valid && !(code >= 0x80 && code <= 0x9F));
        if (shown && !(code == 0x1B && TextOnly(dialogue)))
            bytes.append(text.substr(0, length));
        else
            bytes += '?';
        text.remove_prefix(length);
    }
    return bytes;
}

// The bytes that move the cursor to (x, y), with the model's cursor there.
std::string MoveBytes(Dialogue& dialogue, int x, int y)
{
    ScreenModel& screen = dialogue.Screen;
    std::string move;
    if (dialogue.Send == Sending::Nothing) {
        // The dialogue is elsewhere: the terminal's cursor stays put.
    } else if (TextOnly(dialogue)) {
        move = DumbMoveTo(screen, x);
    } else if (dialogue.Cursor.PositionKnown) {
        move = "\x1b[" + std::to_string(y) + ";" + std::to_string(x) + "H";
    } else {
        // Where the rows are is not known: move relative to the cursor.
        if (y < screen.Y)
            move += Csi(screen.Y - y, 'A');
        if (y > screen.Y)
            move += Csi(y - screen.Y, 'B');
        move += "\r";
        if (x > 1)
            move += Csi(x - 1, 'C');
    }
    ScreenMoveTo(screen, x, y);
    return move;
}

}  // namespace

void DecideSending(Dialogue& dialogue, bool toTerminal, const char* term)
{
    dialogue.Send = !toTerminal ? Sending::Nothing : IsDumbTerminal(term) ? Sending::TextOnly : Sending::Everything;
    if (TextOnly(dialogue) && dialogue.Cursor.State == Query::None) {
        // Nothing can be asked: the dialogue starts in column 1, and every
        // text is followed from there.
        dialogue.Cursor.State = Query::Placed;
        ScreenMoveTo(dialogue.Screen, 1, 1);
    }
}

void SetScreenSize(Dialogue& dialogue, int columns, int rows)
{
    dialogue.Screen.Width = TextOnly(dialogue) ? std::max(1, columns - 1) : columns;
    dialogue.Screen.Height = TextOnly(dialogue) ? 1 : rows;
}

void WantCursorPosition(Dialogue& dialogue)
{
    if (dialogue.Cursor.State == Query::None)
        dialogue.Cursor.State = Query::Wanted;
}

void LocateCursor(Dialogue& dialogue)
{
    CursorQuery& cursor = dialogue.Cursor;
    ScreenModel& screen = dialogue.Screen;
    if (cursor.State == Query::Placed)
        return;
    if (cursor.State != Query::Sent)
        SendQuery(dialogue);
    if (cursor.State == Query::Sent)
        AwaitReport(dialogue, cursor.SentAt + CursorQueryWaitMs);
    cursor.State = Query::Placed;
    if (!QueryAnswered(dialogue)) {
        // No answer: the cursor is taken to be in column 1 of the bottom
        // row, and moves are made relative to it (see MoveBytes). Where
        // nothing was asked, since the dialogue went elsewhere, the
        // terminal's cursor stays where it is, taken to be the top-left
        // cell, as a file's text starts there.
        cursor.PositionKnown = false;
        ScreenMoveTo(screen, 1, dialogue.Send == Sending::Nothing ? 1 : screen.Height);
    } else {
        dialogue.ReportReady = false;
        cursor.PositionKnown = true;
        int x = std::max(1, dialogue.ReportColumn);
        int y = std::min(std::max(1, dialogue.ReportRow), screen.Height);
        // Some terminals report the column past the last while a wrap is
        // pending: the next character starts the next row.
        if (x > screen.Width)
            ScreenMoveTo(screen, 1, std::min(y + 1, screen.Height));
        else
            ScreenMoveTo(screen, x, y);
    }
    // The text is plain characters: the model adds at most the line end
    // that a row-filling last character needs, and only that is sent now.
    std::string placed = ScreenWrite(screen, cursor.Unplaced, TextOnly(dialogue));
    if (placed.size() > cursor.Unplaced.size())
        dialogue.Port.Send(placed.substr(cursor.Unplaced.size()));
    cursor.Unplaced.clear();
}

std::string TextBytes(Dialogue& dialogue, std::string_view text)
{
    CursorQuery& cursor = dialogue.Cursor;
    std::string bytes = Showable(dialogue, text);
    if (cursor.State == Query::None)
        return bytes;  // no position needed yet: nothing to follow
    if (cursor.State == Query::Wanted && Plain(bytes))
        SendQuery(dialogue);
    if (cursor.State == Query::Sent && Plain(bytes)) {
        cursor.Unplaced += bytes;
        return bytes;
    }
    LocateCursor(dialogue);
    return ScreenWrite(dialogue.Screen, bytes, TextOnly(dialogue));
}

void MoveCursor(Dialogue& dialogue, int x, int y)
{
    if (x < 1 || x > dialogue.Screen.Width || y < 1 || y > dialogue.Screen.Height)
        return;
    LocateCursor(dialogue);
    dialogue.Port.Send(MoveBytes(dialogue, x, y));
}

bool WriteAt(Dialogue& dialogue, int x, int y, std::string_view text)
{
    if (dialogue.Send != Sending::Everything)
        return false;
    LocateCursor(dialogue);
    if (!dialogue.Cursor.PositionKnown)
        return false;
    int backX = dialogue.Screen.X;
    int backY = dialogue.Screen.Y;
    MoveCursor(dialogue, x, y);
    dialogue.Port.Send(Showable(dialogue, text));
    MoveCursor(dialogue, backX, backY);
    return true;
}

bool StartAfresh(Dialogue& dialogue)
{
    if (dialogue.Send == Sending::Nothing)
        return false;
    // The terminal has moved what was shown (a shell's lines, a reflow):
    // ask where the cursor is now, and go to the start of a fresh line.
    dialogue.Cursor.Unplaced.clear();
    dialogue.Cursor.State = Query::None;
    LocateCursor(dialogue);
    std::string fresh = TextOnly(dialogue) ? "\r\n" : (dialogue.Screen.X > 1 ? "\r\n" : "\r") + std::string(BlankBelow);
    dialogue.Port.Send(ScreenWrite(dialogue.Screen, fresh, TextOnly(dialogue)));
    return true;
}

// Each question is asked at the cursor, where the text will be shown and
// then covers it, and waited for as a cursor query is.
void LearnWidths(Dialogue& dialogue, std::string_view text)
{
    std::string c;
    while (dialogue.Send == Sending::Everything && LocaleIsUtf8() &&
           !(c = UnaskedCharacter(dialogue.Widths, text)).empty()) {
        LocateCursor(dialogue);
        ScreenModel& screen = dialogue.Screen;
        // Asked later where it does not fit before the last column (whose
        // report differs while a wrap is pending), or while an earlier
        // answer is late.
        if (!dialogue.Port.Listening() || !dialogue.Cursor.PositionKnown || dialogue.QueriesOutstanding > 0 ||
            screen.X + QuestionCells(c) > screen.Width)
            return;
        NoteQuerySent(dialogue);
        dialogue.Port.Send(QuestionFor(dialogue.Widths, c));
        AwaitReport(dialogue, dialogue.Port.Now() + CursorQueryWaitMs);
        bool answered = QueryAnswered(dialogue) && dialogue.ReportRow == screen.Y;
        dialogue.ReportReady = false;
        TakeQuestionAnswer(dialogue.Widths, c, answered ? dialogue.ReportColumn - screen.X : -1);
        std::string mode = TakeModeAnswer(dialogue.Widths, dialogue.ClusterMode);
        if (!mode.empty())
            dialogue.ClusterModeSet = 1;
        dialogue.Port.Send(mode);
    }
}

void TakeAnswers(Dialogue& dialogue, const std::vector<TerminalAnswer>& answers)
{
    for (const TerminalAnswer& answer : answers) {
        if (answer.Mode >= 0) {
            dialogue.ClusterMode = answer.Mode;
            continue;
        }
        dialogue.QueriesOutstanding = std::max(0, dialogue.QueriesOutstanding - 1);
        dialogue.ReportReady = true;
        dialogue.ReportRow = answer.Row;
        dialogue.ReportColumn = answer.Column;
    }
}

std::int64_t AnswersAwaitedUntil(const Dialogue& dialogue)
{
    return dialogue.QueriesOutstanding > 0 ? dialogue.AwaitedUntil : 0;
}
