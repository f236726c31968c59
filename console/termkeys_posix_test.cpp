#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "termkeys_posix.h"
#include "charset.h"
#include "virtual_console.h"

namespace {

struct Decoded {
    std::deque<ConsoleEvent> Events;
    TermKeyDecoder Decoder;
};

// Decodes the bytes as one read, then lets anything unfinished time out.
Decoded Decode(std::string_view bytes, bool utf8 = false)
{
    Decoded result;
    result.Decoder.Utf8 = utf8;
    DecodeKeys(result.Decoder, bytes, 0, result.Events);
    DecodeKeys(result.Decoder, {}, 10000, result.Events);
    return result;
}

// The key codes the events give through the shared key logic, as the
// programs read them.
std::string CodesOf(const std::deque<ConsoleEvent>& events)
{
    VirtualConsoleReset();
    for (const ConsoleEvent& event : events)
        PushEvent(event);
    std::string codes;
    while (KeyPressed())
        codes += (codes.empty() ? "" : " ") + std::to_string(ReadKey());
    return codes;
}

std::string Codes(std::string_view bytes, bool utf8 = false)
{
    return CodesOf(Decode(bytes, utf8).Events);
}

struct Case {
    std::string_view Bytes;
    const char* Codes;
};

void CheckAll(const std::vector<Case>& cases, bool utf8 = false)
{
    for (const Case& c : cases)
        EXPECT_EQ(Codes(c.Bytes, utf8), c.Codes) << testing::PrintToString(std::string(c.Bytes));
}

TEST(TermKeys, CursorAndEditingKeysInEveryForm)
{
    CheckAll({
        {"\x1b[A", "0 72"}, {"\x1b[B", "0 80"}, {"\x1b[C", "0 77"}, {"\x1b[D", "0 75"},
        {"\x1bOA", "0 72"}, {"\x1bOD", "0 75"},
        {"\x1b[H", "0 71"}, {"\x1b[F", "0 79"}, {"\x1bOH", "0 71"}, {"\x1bOF", "0 79"},
        {"\x1b[1~", "0 71"}, {"\x1b[4~", "0 79"}, {"\x1b[7~", "0 71"}, {"\x1b[8~", "0 79"},
        {"\x1b[2~", "0 82"}, {"\x1b[3~", "0 83"}, {"\x1b[5~", "0 73"}, {"\x1b[6~", "0 81"},
        {"\x1b[E", "0 76"}, {"\x1b[Z", "9"},
    });
}

TEST(TermKeys, FunctionKeys)
{
    CheckAll({
        {"\x1bOP", "0 59"}, {"\x1bOQ", "0 60"}, {"\x1bOR", "0 61"}, {"\x1bOS", "0 62"},
        {"\x1b[11~", "0 59"}, {"\x1b[14~", "0 62"}, {"\x1b[15~", "0 63"}, {"\x1b[17~", "0 64"},
        {"\x1b[21~", "0 68"}, {"\x1b[23~", "0 133"}, {"\x1b[24~", "0 134"},
        {"\x1b[[A", "0 59"}, {"\x1b[[C", "0 61"}, {"\x1b[[E", "0 63"},
        {"\x1b[25~", "0 86"}, {"\x1b[34~", "0 93"},  // Shift+F3, Shift+F10 (rxvt)
    });
}

TEST(TermKeys, ModifierParameter)
{
    CheckAll({
        {"\x1b[1;5D", "0 115"}, {"\x1b[1;5C", "0 116"}, {"\x1b[1;5H", "0 119"}, {"\x1b[1;5F", "0 117"},
        {"\x1b[3;5~", "0 147"}, {"\x1b[1;2P", "0 84"}, {"\x1b[15;2~", "0 88"}, {"\x1b[24;5~", "0 138"},
        {"\x1b[1;3A", "0 152"}, {"\x1b[1;2A", "0 72"}, {"\x1b[1;7D", "0 155"},  // Ctrl+Alt: Alt wins
        {"\x1bO5P", "0 94"}, {"\x1b[1;2R", "0 86"},  // Shift+F3 while no report is awaited
        {"\x1b\x1b[A", "0 152"},                    // Alt by a leading ESC
    });
}

TEST(TermKeys, OlderAndRxvtModifiedArrows)
{
    CheckAll({
        // rxvt: Ctrl by ESC O and a lower-case final, Shift by ESC [ and one.
        {"\x1bOd", "0 115"}, {"\x1bOc", "0 116"}, {"\x1bOa", "0 141"}, {"\x1bOb", "0 145"},
        {"\x1b[a", "0 72"}, {"\x1b[b", "0 80"}, {"\x1b[c", "0 77"}, {"\x1b[d", "0 75"},
        // The modifier as the only parameter.
        {"\x1b[5D", "0 115"}, {"\x1b[5C", "0 116"}, {"\x1b[5A", "0 141"}, {"\x1b[5B", "0 145"},
        {"\x1b[5H", "0 119"}, {"\x1b[5F", "0 117"}, {"\x1b[3D", "0 155"}, {"\x1b[1D", "0 75"},
        {"\x1b\x1bOd", "0 155"},  // Alt+Ctrl+Left: Alt wins
        // Lower case with parameters, and e.., are no keys.
        {"\x1b[1a", ""}, {"\x1b[1;5d", ""}, {"\x1b[e", ""}, {"\x1bOe", ""},
    });
}

TEST(TermKeys, SingleBytes)
{
    CheckAll({
        {"a", "97"}, {"A", "65"}, {"~", "126"}, {" ", "32"}, {"\r", "13"}, {"\t", "9"},
        {"\x03", "3"}, {"\x1a", "26"}, {"\x15", "21"}, {"\x1c", "28"}, {"\n", "10"},
        {"\x1b", "27"}, {"\xe9", "233"},
    });
    EXPECT_EQ(Codes(std::string_view("\0", 1)), "0 3");  // Ctrl+@
    // Both bytes are Backspace, whichever the stty erase setting names.
    CheckAll({{"\x08", "8"}, {"\x7f", "8"}, {"a\x08\x7f", "97 8 8"}});
}

TEST(TermKeys, EscBeforeAKeyIsLeftAlt)
{
    CheckAll({
        {"\x1bx", "0 45"}, {"\x1bX", "0 45"}, {"\x1b" "1", "0 120"}, {"\x1b=", "0 131"},
        {"\x1b[", "0 26"}, {"\x1bO", "0 24"},
        // Alt+Enter is Enter; Alt with Tab and control keys are extended
        // keys, never the Esc key and the key.
        {"\x1b\r", "13"}, {"\x1b\t", "0 15"}, {"\x1b\x03", "0 46"}, {"\x1b\n", "0 36"},
        {std::string_view("\x1b\0", 2), "0 121"},  // Alt+Ctrl+@
        {"a\x1b\rb", "97 13 98"}, {"\x1b\x1b\r", "27 13"},
        // Only a second Esc stays a key of its own.
        {"\x1b\x1b", "27 27"}, {"\x1b\x1b" "a", "27 0 30"},
    });
    // A character beyond ASCII with Alt is no key, whole or broken; the key
    // after it stays whole.
    CheckAll({{"\x1b\xc3\xa9", ""}, {"\x1b\xe2\x82\xac" "a", "97"}, {"\x1b\xf0\x9f\x98\x80\r", "13"},
              {"\x1b\xa9" "a", "97"}, {"\x1b\xc2\x85", ""}},
             true);
    EXPECT_EQ(Codes("\x1b\xe9" "a"), "97");
}

TEST(TermKeys, EscBeforeAKeyIsOneKeyWhateverTheSplit)
{
    // Within the Esc wait the byte after an ESC joins it; a read of its
    // own after the wait is a key of its own.
    for (const char* key : {"\r", "\t", "\x7f", "\x08", "\x03", "x", "\xc3\xa9"}) {
        TermKeyDecoder decoder;
        decoder.Utf8 = true;
        std::deque<ConsoleEvent> events;
        DecodeKeys(decoder, "\x1b", 0, events);
        DecodeKeys(decoder, key, EscapeWaitMs - 1, events);
        DecodeKeys(decoder, {}, 1000, events);
        EXPECT_EQ(CodesOf(events), Codes(std::string("\x1b") + key, true)) << testing::PrintToString(key);
        EXPECT_NE(CodesOf(events).substr(0, 3), "27 ") << testing::PrintToString(key);

        events.clear();
        DecodeKeys(decoder, "\x1b", 2000, events);
        DecodeKeys(decoder, {}, 2000 + EscapeWaitMs, events);
        DecodeKeys(decoder, key, 2000 + EscapeWaitMs, events);
        EXPECT_EQ(CodesOf(events), "27 " + Codes(key, true)) << testing::PrintToString(key);
    }
}

TEST(TermKeys, UnknownAndBrokenSequencesYieldNothingAndKeepWhatFollows)
{
    CheckAll({
        {"\x1b[99~a", "97"}, {"\x1b[?1;2cb", "98"}, {"\x1b[200~", ""}, {"\x1b[1;2;3;4A", ""},
        {"\x1b[1;5:3A", ""}, {"\x1b[[Z", ""}, {"\x1bOz", ""}, {"\x1b[12", ""},
        {"\x1b[1\x03", "3"}, {"\x1bO5\r", "13"}, {"\x1b[[\r", "13"},
        {"\x1b[1;2R\x1b[A", "0 86 0 72"},
    });
}

TEST(TermKeys, WindowsEventFields)
{
    struct Expected {
        const char* Bytes;
        std::uint16_t VirtualKey, ScanCode;
        std::uint8_t Char;
        std::uint32_t State;
    };
    const Expected cases[] = {
        {"\x1b[A", 0x26, 0x48, 0, EnhancedKey},
        {"\x1b[1;5D", 0x25, 0x4B, 0, EnhancedKey | LeftCtrlPressed},
        {"\x1b[24~", 0x7B, 0x58, 0, 0},
        {"\r", 0x0D, 0x1C, 13, 0},
        {"\x1b", 0x1B, 0x01, 27, 0},
        {"\x7f", 0x08, 0x0E, 8, 0},
        {"?", 0xBF, 0x35, '?', ShiftPressed},
        {"\x1bx", 'X', 0x2D, 'x', LeftAltPressed},
        {"\x07", 'G', 0x22, 7, LeftCtrlPressed},
    };
    for (const Expected& e : cases) {
        Decoded d = Decode(e.Bytes);
        // The press, then its release.
        ASSERT_EQ(d.Events.size(), 2u) << e.Bytes;
        const ConsoleEvent& event = d.Events[0];
        EXPECT_TRUE(event.IsKey && event.KeyDown);
        EXPECT_FALSE(d.Events[1].KeyDown);
        EXPECT_EQ(d.Events[1].ScanCode, event.ScanCode);
        EXPECT_EQ(event.VirtualKey, e.VirtualKey) << testing::PrintToString(std::string(e.Bytes));
        EXPECT_EQ(event.ScanCode, e.ScanCode) << testing::PrintToString(std::string(e.Bytes));
        EXPECT_EQ(event.Text, e.Char ? std::string(1, static_cast<char>(e.Char)) : "") << testing::PrintToString(std::string(e.Bytes));
        EXPECT_EQ(event.ControlKeyState, e.State) << testing::PrintToString(std::string(e.Bytes));
    }
}

TEST(TermKeys, Utf8InputGivesWholeCharactersOnly)
{
    CheckAll(
        {
            {"\xc3\xa9", "195 169"}, {"\xc2\xa0", "194 160"}, {"a\xc3\xa9z", "97 195 169 122"},
            {"\xe2\x82\xac", "226 130 172"}, {"\xf0\x9f\x98\x80x", "240 159 152 128 120"},
            {"e\xcc\x81", "101 204 129"},                      // a combining mark is a key of its own
            {"\xc2\x85", ""}, {"\xc0\xa9", ""}, {"\xed\xa0\x80", ""},  // C1 control, overlong, surrogate
            {"\xc3" "a", "97"}, {"\xa9", ""}, {"\xc3", ""}, {"\xe2\x82" "b", "98"},  // broken
        },
        true);
    // Elsewhere bytes are characters as they stand.
    EXPECT_EQ(Codes("\xc3\xa9"), "195 169");
}

TEST(TermKeys, OneReadsGraphemeClusterIsOneKey)
{
    SetLocaleIsUtf8(1);
    const std::string flags = "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7";
    const std::pair<std::string, std::string> cases[] = {
        {flags, flags.substr(0, 8) + "|" + flags.substr(8) + "|"},
        {"\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBDx", "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD|x|"},  // with a modifier
        {"e\xCC\x81z", "e\xCC\x81|z|"}, {"ab\r\n", "a|b|\r|\n|"},
        {"\xD8\x81<V", "\xD8\x81|<|V|"},  // a prepending mark does not take an ASCII key in
        {"\x1b\xC3\x8E\xCC\xBBz", "\xCC\xBB|z|"},  // ESC drops one character, not the mark after it
    };
    for (const auto& [bytes, keys] : cases) {
        std::string texts;
        for (const ConsoleEvent& event : Decode(bytes, true).Events)
            texts += event.KeyDown ? event.Text + "|" : "";
        EXPECT_EQ(texts, keys) << testing::PrintToString(bytes);
    }
    SetLocaleIsUtf8(-1);
}

TEST(TermKeys, SplitReadsDecodeAsOne)
{
    const char* sequences[] = {"\x1b[1;5D", "\x1b[15;2~", "\x1b[[B", "\x1bOP", "\x1bx", "\x1b\x1b[A", "\xc3\xa9",
                               "\x1b[3~a", "\x1b\r", "\x1bOd", "\x1b[5D", "\x1b\xe2\x82\xac" "a"};
    for (const char* whole : sequences) {
        TermKeyDecoder decoder;
        decoder.Utf8 = true;
        std::deque<ConsoleEvent> events;
        std::string_view bytes = whole;
        for (std::size_t i = 0; i < bytes.size(); i++)
            DecodeKeys(decoder, bytes.substr(i, 1), 100 + 10 * static_cast<int>(i), events);
        EXPECT_EQ(CodesOf(events), Codes(whole, true)) << testing::PrintToString(std::string(whole));
        EXPECT_TRUE(decoder.Pending.empty());
    }
}

// Terminals' answers give no key, and st's and rxvt's editing keys are
// keys, whole or in two reads split anywhere within the escape time; the
// introducers alone are Alt with their keys.
TEST(TermKeys, AnswersAndKeyFormsWhateverTheSplit)
{
    struct Form {
        std::string_view Bytes;
        const char* Codes;
        bool Utf8 = true;
    };
    const Form forms[] = {
        {"\x1b]11;rgb:0000/0000/0000\x1b\\a", "97"}, {"\x1b]11;rgb:0000/0000/0000\x07" "a", "97"},
        {"\x1b]0;caf\xc3\xa9\x07", ""}, {"\x1bP>|XTerm(379)\x1b\\", ""}, {"\x1b_Gi=1;OK\x1b\\", ""},
        {"\x1b^pm\x1b\\", ""}, {"\x1bXsos\x1b\\", ""}, {"\x1b]11;x\x1b\\\x1b[A", "0 72"},
        {"\x1b]11;x\r", "13"}, {"\x1b]1x\x1bx", "0 45"},  // a key typed into it ends it
        {"\x9d" "11;rgb:0/0/0\x9c" "a", "97", false}, {"\x90>|xterm\x1b\\", "", false},
        {"\x9f" "ab\x07", "", false}, {"\x9e" "ab\x9c", "", false}, {"\x98" "ab\x9c", "", false},
        {"\x9d", "157", false}, {"\x9d\r", "157 13", false},
        {"\x1b[12;40R", ""}, {"\x1b[1;40R", ""}, {"\x1b[1;1R", ""},  // reports nobody awaits
        {"\x1b[?64;1;2;6;9;15;16;17;18;21;22;28ca", "97"},  // xterm's device attributes, 35 bytes
        {"\x1b[M !!a", "97"},                                      // an X10 mouse report
        // Alone, the introducers are Alt with their keys; ESC [ M is st's Ctrl+Del.
        {"\x1b]", "0 27"}, {"\x1bP", "0 25"}, {"\x1b_", "0 130"}, {"\x1b^", "0 125"}, {"\x1bX", "0 45"},
        {"\x1b]\r", "0 27 13"}, {"\x1b[M", "0 147"}, {"\x1b[M\r", "0 147 13"}, {"\x1b[Ma\r", "0 147 97 13"},
        {"\x1b\x1b[M", "0 163"},
        // rxvt: ^ Ctrl, $ Shift, @ Ctrl+Shift.
        {"\x1b[7^", "0 119"}, {"\x1b[8^", "0 117"}, {"\x1b[3^", "0 147"}, {"\x1b[2^", "0 146"},
        {"\x1b[5^", "0 132"}, {"\x1b[6^", "0 118"}, {"\x1b[1^", "0 119"}, {"\x1b[4^", "0 117"},
        {"\x1b[3$", "0 83"}, {"\x1b[7$a", "0 71 97"}, {"\x1b[3@", "0 147"}, {"\x1b[8@", "0 117"},
        {"\x1b\x1b[7^", "0 151"}, {"\x1b[9^", ""}, {"\x1b[11^", ""}, {"\x1b[4;1$y", ""},
        // st in its default keypad mode.
        {"\x1b[P", "0 83"}, {"\x1b[4h", "0 82"}, {"\x1b[J", "0 117"}, {"\x1b[2K", "0 83"},
        {"\x1b[1;2P", "0 84"}, {"\x1b[5h", ""},
    };
    for (const Form& form : forms) {
        SCOPED_TRACE(testing::PrintToString(std::string(form.Bytes)));
        EXPECT_EQ(Codes(form.Bytes, form.Utf8), form.Codes);
        for (std::size_t cut = 1; cut < form.Bytes.size(); cut++) {
            TermKeyDecoder decoder;
            decoder.Utf8 = form.Utf8;
            std::deque<ConsoleEvent> events;
            DecodeKeys(decoder, form.Bytes.substr(0, cut), 0, events);
            DecodeKeys(decoder, form.Bytes.substr(cut), EscapeWaitMs / 2, events);
            DecodeKeys(decoder, {}, 10000, events);
            EXPECT_EQ(CodesOf(events), form.Codes) << "cut after " << cut;
        }
    }
}

TEST(TermKeys, EscapeDelay)
{
    const std::pair<const char*, int> cases[] = {{nullptr, 100}, {"", 100}, {"25", 25}, {"0", 0},
                                                 {"10x", 100}, {"-5", 100}, {"99999999", 60000}};
    for (const auto& [value, ms] : cases)
        EXPECT_EQ(EscapeDelayFrom(value), ms) << (value ? value : "unset");
}

// Bytes read at 1000, and until when input is owed at a later time.
TEST(TermKeys, WhatIsOwedBeforeTheTerminalIsGivenBack)
{
    const std::tuple<const char*, std::int64_t, std::int64_t> cases[] = {
        {"", 1000, -1},
        {"\x1b[200~abc", 1500, 1000 + PasteGapMs},  // a paste under way
        {"\x1b[200~abc", 1000 + PasteGapMs, -1},    // one that stopped coming
        {"\x1b[200~abc\x1b[201~", 1000, -1},
        {"\x1b[1;5", 1010, 1000 + SequenceWaitMs},
        {"\x1b", 1010, 1000 + EscapeWaitMs},
        {"\x1b]11;rgb:0", 1500, 1000 + SequenceWaitMs},  // a string answer under way
        {"\x1b]11;rgb:0\x07", 1000, -1},
    };
    for (const auto& [bytes, now, until] : cases) {
        Decoded decoded;
        DecodeKeys(decoded.Decoder, bytes, 1000, decoded.Events);
        EXPECT_EQ(InputOwedUntil(decoded.Decoder, now), until) << testing::PrintToString(std::string(bytes)) << now;
    }
}

TEST(TermKeys, LoneEscWaitsOnlyItsTime)
{
    TermKeyDecoder decoder;
    std::deque<ConsoleEvent> events;
    DecodeKeys(decoder, "a\x1b", 100, events);
    EXPECT_EQ(events.size(), 2u);  // "a" pressed and released
    EXPECT_EQ(DecodeDeadline(decoder), 100 + EscapeWaitMs);
    DecodeKeys(decoder, {}, 100 + EscapeWaitMs - 1, events);
    EXPECT_EQ(events.size(), 2u);
    DecodeKeys(decoder, {}, 100 + EscapeWaitMs, events);
    EXPECT_EQ(CodesOf(events), "97 27");
    EXPECT_EQ(DecodeDeadline(decoder), -1);

    // The rest of a sequence in time makes it one key, and the next bytes
    // after a delivered Esc are keys of their own.
    events.clear();
    DecodeKeys(decoder, "\x1b", 200, events);
    DecodeKeys(decoder, "[A", 210, events);
    DecodeKeys(decoder, "\x1b", 300, events);
    DecodeKeys(decoder, {}, 400, events);
    DecodeKeys(decoder, "[A", 410, events);
    EXPECT_EQ(CodesOf(events), "0 72 27 91 65");
}

TEST(TermKeys, AnswersOnlyWhileAwaited)
{
    TermKeyDecoder decoder;
    std::deque<ConsoleEvent> events;
    AwaitAnswers(decoder, 2000);
    // A report of one number is no report; the mode's answer comes whenever.
    DecodeKeys(decoder, "a\x1b[5R\x1b[12;40R\x1b[?2027;2$yb", 0, events);
    AwaitAnswers(decoder, 0);
    DecodeKeys(decoder, "\x1b[1;2R\x1b[3;4R", 10, events);
    EXPECT_EQ(CodesOf(events), "97 0 96 98 0 86");  // Ctrl+F3, Shift+F3
    std::vector<TerminalAnswer> answers = TakeDecodedAnswers(decoder);
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].Row * 100 + answers[0].Column, 1240);
    EXPECT_EQ(answers[1].Mode, 2);
}

// Input dropped with the keys before it gives no key when its rest comes.
TEST(TermKeys, DroppedSequenceStaysDropped)
{
    TermKeyDecoder decoder;
    std::deque<ConsoleEvent> events;
    DecodeKeys(decoder, "a\x1b[1;", 0, events);
    events.clear();
    DropPendingInput(decoder);
    DecodeKeys(decoder, "5Db", 10, events);
    EXPECT_EQ(CodesOf(events), "98");
}

TEST(TermKeys, ShellEditingKeysAreTheEditorsKeysForTheSame)
{
    CheckAll({
        {"\x01", "0 71"}, {"\x05", "0 79"}, {"\x02", "0 75"}, {"\x06", "0 77"}, {"\x04", "0 83"},
        {"\x0b", "0 117"}, {"\x17", "0 253"}, {"\x1b\x7f", "0 253"}, {"\x1b\x08", "0 253"},
        {"\x1b" "b", "0 115"}, {"\x1b" "f", "0 116"}, {"\x1b" "d", "0 254"}, {"\x1b" "B", "0 115"},
        {"\x15", "21"}, {"\x1a", "26"}, {"\x03", "3"}, {"\x07", "7"},  // Ctrl+U, Z, C and others stay
    });
}

// Bytes read at given times (ms); with Awaited an answer is awaited from 0
// to 2000.
struct TimedCase {
    const char* Name;
    std::vector<std::pair<int, std::string>> Reads;
    bool Awaited;
    const char* Codes;
    int Row = 0, Column = 0;  // the last report, when one is expected
    bool Utf8 = false, DropPastes = false;
};

void CheckTimed(const std::vector<TimedCase>& cases)
{
    for (const TimedCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TermKeyDecoder decoder = MakeDecoder(c.Utf8, EscapeWaitMs);
        if (c.DropPastes)
            DropPastedText(decoder);
        AwaitAnswers(decoder, c.Awaited ? 2000 : 0);
        std::deque<ConsoleEvent> events;
        std::int64_t last = 0;
        for (const auto& [at, bytes] : c.Reads) {
            DecodeKeys(decoder, {}, at, events);  // the wait before the read ends
            DecodeKeys(decoder, bytes, at, events);
            last = at;
        }
        DecodeKeys(decoder, {}, last + 60000, events);
        EXPECT_EQ(CodesOf(events), c.Codes);
        EXPECT_TRUE(decoder.Pending.empty());
        std::vector<TerminalAnswer> answers = TakeDecodedAnswers(decoder);
        EXPECT_EQ(answers.empty() ? 0 : answers.back().Row, c.Row);
        EXPECT_EQ(answers.empty() ? 0 : answers.back().Column, c.Column);
    }
}

TEST(TermKeys, ReportIsNeverAKeyHoweverSplitOrLate)
{
    CheckTimed({
        {"split after the row by 300 ms", {{0, "\x1b[5"}, {300, ";1R"}}, true, "", 5, 1},
        {"split after the ESC by 500 ms", {{0, "\x1b"}, {500, "[5;1R"}}, true, "", 5, 1},
        {"split after ESC [ by 1 s", {{0, "\x1b["}, {1000, "5;1R"}}, true, "", 5, 1},
        {"Esc typed before the report", {{0, "\x1b"}, {300, "\x1b[5;1R"}}, true, "27", 5, 1},
        {"keys around it", {{0, "a\x1b[4"}, {200, ";9Rb"}}, true, "97 98", 4, 9},
        {"no query: F3 with Shift", {{0, "\x1b[1;2R"}}, false, "0 86"},
        {"arrow split by 50 ms", {{0, "\x1b"}, {50, "[D"}}, false, "0 75"},
        {"arrow split by 99 ms", {{0, "\x1b["}, {99, "D"}}, false, "0 75"},
        {"Esc, then [D 150 ms later", {{0, "\x1b"}, {150, "[D"}}, false, "27 91 68"},
        {"a query 3 s old holds no Esc", {{3000, "\x1b"}, {3150, "x"}}, true, "27 120"},
        {"an answer before the report", {{0, "\x1b]11;x\x07\x1b[3;4R"}}, true, "", 3, 4},
    });
}

TEST(TermKeys, StringAnswerWaitsAsABegunSequence)
{
    CheckTimed({
        {"slow, split anywhere", {{0, "\x1b]1"}, {1500, "1;rgb:0/0/0"}, {3000, "\x1b"}, {4500, "\\a"}}, false, "97"},
        {"given up after 2 s", {{0, "\x1b]11;rg"}, {2000 + SequenceWaitMs, "ab"}}, false, "97 98"},
        {"an Esc at its end given up", {{0, "\x1bPab\x1b"}, {2000 + SequenceWaitMs, "c"}}, false, "27 99"},
        {"its introducer alone", {{0, "\x1b]"}, {EscapeWaitMs + 50, "ab"}}, false, "0 27 97 98"},
        {"a mouse report in reads", {{0, "\x1b[M"}, {EscapeWaitMs / 2, " "}, {EscapeWaitMs - 1, "!!"}}, false, ""},
        {"Ctrl+Del, then keys", {{0, "\x1b[M"}, {EscapeWaitMs + 50, "ab"}}, false, "0 147 97 98"},
    });
}

TEST(TermKeys, PasteIsTextUpToItsFirstLineBreak)
{
    CheckTimed({
        {"text", {{0, "\x1b[200~ab c\x1b[201~x"}}, false, "97 98 32 99 120"},
        {"lines: the first only, Enter after is a key", {{0, "\x1b[200~one\r\ntwo\rthree\x1b[201~\r"}}, false, "111 110 101 13"},
        {"Tab a blank, controls dropped", {{0, "\x1b[200~a\tb\x03\x7f\x1b[Dc\x1b[201~"}}, false, "97 32 98 91 68 99"},
        {"slow, split in its markers", {{0, "\x1b[20"}, {400, "0~a"}, {900, "b\x1b[2"}, {1500, "01~"}, {1600, "z"}}, 0,
         "97 98 122"},
        {"a character split", {{0, "\x1b[200~\xc3"}, {500, "\xa9\x1b[201~"}}, false, "195 169", 0, 0, true},
        {"dropped", {{0, "\x1b[200~yes\r\x1b[201~n"}}, false, "110", 0, 0, false, true},
    });
}

}  // namespace
