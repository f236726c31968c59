#include <gtest/gtest.h>

#include <string>

#include "dialogue_posix.h"

namespace {

// A terminal that sends bytes at the script's times (ms), read through the
// decoder as the console reads them; the keys' characters are kept ("?"
// for a key with none).
struct Script {
    std::vector<std::pair<std::int64_t, std::string>> Reads;
    std::int64_t Now = 0;
    std::string Keys;
    std::string Sent;
    TermKeyDecoder Decoder;
    Dialogue Talk;
} *Playing;

void ReadUntil(std::int64_t until)
{
    Script& s = *Playing;
    if (s.Reads.empty() || s.Reads[0].first > std::max(s.Now, until)) {
        s.Now = std::max(s.Now, until);
        return;
    }
    s.Now = std::max(s.Now, s.Reads[0].first);
    std::deque<ConsoleEvent> events;
    AwaitAnswers(s.Decoder, AnswersAwaitedUntil(s.Talk));
    DecodeKeys(s.Decoder, s.Reads[0].second, s.Now, events);
    for (const ConsoleEvent& e : events)
        s.Keys += !e.KeyDown ? "" : e.Text.empty() ? "?" : e.Text;
    TakeAnswers(s.Talk, TakeDecodedAnswers(s.Decoder));
    s.Reads.erase(s.Reads.begin());
}

// "hi" written once the position is wanted, then its place taken; then
// whatever else the terminal sends.
TEST(Dialogue, CursorQuery)
{
    const struct {
        const char* Name;
        std::vector<std::pair<std::int64_t, std::string>> Reads;
        const char* Found;  // the cursor after "hi"; then the keys, and the reports still owed
    } cases[] = {
        {"answered", {{50, "\x1b[5;10R"}}, "12 5 known, keys [], owed 0"},
        {"with keys around it", {{20, "ab\x1b[5;10Rc"}}, "12 5 known, keys [abc], owed 0"},
        {"late: the bottom row, no key", {{1000, "\x1b[5;10R"}}, "3 24 guessed, keys [], owed 0"},
        {"late past its hold: no key", {{5000, "\x1b[1;5R"}}, "3 24 guessed, keys [], owed 0"},
        {"never", {}, "3 24 guessed, keys [], owed 1"},
    };
    for (const auto& c : cases) {
        Script script;
        script.Reads = c.Reads;
        Playing = &script;
        Dialogue& talk = script.Talk;
        talk.Port = {[] { return true; }, [](std::string_view bytes) { Playing->Sent += bytes; }, ReadUntil,
                     [] { return Playing->Now; }};
        DecideSending(talk, true, "xterm");
        SetScreenSize(talk, 80, 24);
        WantCursorPosition(talk);
        TextBytes(talk, "hi");
        LocateCursor(talk);
        std::string found = std::to_string(talk.Screen.X) + " " + std::to_string(talk.Screen.Y) +
                            (talk.Cursor.PositionKnown ? " known" : " guessed");
        ReadUntil(10000);
        EXPECT_EQ(found + ", keys [" + script.Keys + "], owed " + std::to_string(talk.QueriesOutstanding), c.Found) << c.Name;
        EXPECT_EQ(script.Sent, CursorQuestion) << c.Name;
    }
}

}  // namespace
