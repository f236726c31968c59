#include <gtest/gtest.h>

#include <string>

#include "dialogue_posix.h"

namespace {

// A terminal that sends its bytes at the script's times (ms), read through
// the decoder as the console reads them.
struct Script {
    std::vector<std::pair<std::int64_t, std::string>> Reads;
    std::size_t Next = 0;
    std::int64_t Now = 0;
    std::string Sent;
    std::string Keys;  // the characters of the keys pressed, "?" for a key with none
    TermKeyDecoder Decoder;
    Dialogue Talk;
};
Script* Playing;

void ReadUntil(std::int64_t until)
{
    Script& s = *Playing;
    if (s.Next < s.Reads.size() && s.Reads[s.Next].first <= std::max(until, s.Now)) {
        s.Now = std::max(s.Now, s.Reads[s.Next].first);
        std::deque<ConsoleEvent> events;
        AwaitAnswers(s.Decoder, AnswersAwaitedUntil(s.Talk));
        DecodeKeys(s.Decoder, s.Reads[s.Next++].second, s.Now, events);
        for (const ConsoleEvent& e : events)
            s.Keys += !e.KeyDown ? "" : e.Text.empty() ? "?" : e.Text;
        TakeAnswers(s.Talk, TakeDecodedAnswers(s.Decoder));
    } else {
        s.Now = std::max(s.Now, until);
    }
}

// Text written once the position is wanted, then its place on the screen
// taken; then whatever else the terminal sends.
TEST(Dialogue, CursorQuery)
{
    struct Case {
        const char* Name;
        std::vector<std::pair<std::int64_t, std::string>> Reads;
        int X, Y;
        bool Known;
        const char* Keys;
        int Owed;  // reports still owed at the end
    };
    const Case cases[] = {
        {"answered", {{50, "\x1b[5;10R"}}, 12, 5, true, "", 0},
        {"with keys around it", {{20, "ab\x1b[5;10Rc"}}, 12, 5, true, "abc", 0},
        {"late: the bottom row, no key", {{1000, "\x1b[5;10R"}}, 3, 24, false, "", 0},
        {"late past its hold: no key", {{5000, "\x1b[1;5R"}}, 3, 24, false, "", 0},
        {"never", {}, 3, 24, false, "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Script script;
        Playing = &script;
        script.Reads = c.Reads;
        script.Talk.Port = {[] { return true; }, [](std::string_view bytes) { Playing->Sent += bytes; }, ReadUntil,
                            [] { return Playing->Now; }};
        DecideSending(script.Talk, true, "xterm");
        SetScreenSize(script.Talk, 80, 24);
        WantCursorPosition(script.Talk);
        EXPECT_EQ(TextBytes(script.Talk, "hi"), "hi");
        LocateCursor(script.Talk);
        EXPECT_EQ(script.Talk.Screen.X, c.X);
        EXPECT_EQ(script.Talk.Screen.Y, c.Y);
        EXPECT_EQ(script.Talk.Cursor.PositionKnown, c.Known);
        EXPECT_EQ(script.Sent, CursorQuestion);
        ReadUntil(10000);
        EXPECT_EQ(script.Keys, c.Keys);
        EXPECT_EQ(ReportsOwed(script.Talk), c.Owed);
    }
}

}  // namespace
