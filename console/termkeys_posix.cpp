// The terminal sequences decoded here. ESC is 0x1B; X a final letter; m
// a modifier parameter, 1 + (Shift 1 | Alt 2 | Ctrl 4 | Meta 8).
//
//   ESC [ A, B, C, D             Up, Down, Right, Left
//   ESC O A, B, C, D             the same (application cursor mode)
//   ESC [ H, F    ESC O H, F     Home, End
//   ESC [ E    ESC O E           keypad 5
//   ESC [ 1 ~, 7 ~               Home
//   ESC [ 4 ~, 8 ~               End
//   ESC [ 2 ~, 3 ~, 5 ~, 6 ~     Ins, Del, PgUp, PgDn
//   ESC O P, Q, R, S             F1-F4
//   ESC [ 11 ~ .. 15 ~           F1-F5
//   ESC [ 17 ~ .. 21 ~           F6-F10
//   ESC [ 23 ~, 24 ~             F11, F12
//   ESC [ [ A .. E               F1-F5 (Linux console)
//   ESC [ 25 ~ .. 34 ~           Shift+F3-F10 (rxvt, Linux console)
//   ESC [ n ^, n $, n @          n 1-8 as with ~, with Ctrl, Shift,
//                                Ctrl+Shift (rxvt)
//   ESC [ P, ESC [ 4 h           Del, Ins (st, in any keypad mode)
//   ESC [ J, ESC [ 2 K           Ctrl+End, Shift+Del (st)
//   ESC [ M                      Ctrl+Del (st), unless three bytes of
//                                0x20 and up come with it within the
//                                escape time: an X10 mouse report, no key
//   ESC [ 1 ; m X   ESC [ n ; m ~  the key with modifiers
//   ESC [ m X   ESC O m X        the same, older forms (ESC [ 5 D Ctrl+Left)
//   ESC O a, b, c, d             Ctrl+Up, Down, Right, Left (rxvt)
//   ESC [ a, b, c, d             Shift+Up, Down, Right, Left (rxvt)
//   ESC [ Z                      Shift+Tab
//   ESC O M                      keypad Enter
//   ESC O j .. y                 keypad * + , - . / 0-9
//   ESC [ row ; col R            a cursor-position report while answers
//                                are awaited (however late), queued as
//                                an answer; else F3 with modifiers for
//                                row 1 and col 2-16, and no key
//                                (another's report) for others
//   ESC [ 200 ~ .. ESC [ 201 ~   a bracketed paste: its text as typed
//                                characters, Tab as a blank, up to its
//                                first line break (the rest is dropped);
//                                other control characters dropped
//   ESC [ ? 2027 ; v $ y         the answer about the grapheme-cluster
//                                mode, queued as an answer
//   ESC [ ... final              any other sequence, however many and long
//                                its parameters (xterm's 35-byte device
//                                attributes): no key, the rest of one
//                                longer than a key's while each byte comes
//                                within SequenceWaitMs of the one before
//   ESC ] .. BEL or ESC \        a terminal's string (OSC; ESC P DCS,
//   ESC P, _, ^, X .. ESC \      ESC _ APC, ESC ^ PM, ESC X SOS), and
//   0x9D, 0x90, 0x9F, 0x9E, 0x98  the same introduced by one byte where
//     .. ESC \, BEL or 0x9C      input is not UTF-8: no key, however
//                                split, while each byte comes within
//                                SequenceWaitMs of the one before; a
//                                control key or another ESC sequence ends
//                                it unfinished and is a key as usual. The
//                                introducer alone after the escape time
//                                is Alt with its key (the byte its
//                                character)
//   ESC ESC [ ..   ESC ESC O ..  the sequence's key with left Alt
//   ESC ESC                      Esc, Esc
//   ESC and an ASCII byte        the byte's key with left Alt: ESC CR
//                                Alt+Enter, ESC Tab Alt+Tab, ESC x Alt+X
//   ESC and a character beyond ASCII   nothing (marks that follow it are
//                                keys of their own)
//   ESC alone                    Esc, once the escape time (EscapeWait)
//                                passes without more; while an answer is
//                                awaited an ESC or ESC [ waits for it
//   ESC [ digits ...             unfinished: waits up to SequenceWaitMs,
//                                never typed by hand
//   0x08, 0x7F                   Backspace, whatever stty erase says
//   CR, Tab, 0x00-0x1F           Enter, Tab, Ctrl+@, Ctrl+A-Z, Ctrl+[ \ ] ^ _
//   other bytes                  their characters (UTF-8: one key per whole
//                                character, C1 controls and broken bytes
//                                dropped; code points of one grapheme
//                                cluster that come in one read, one key,
//                                but an ASCII character is always a key
//                                of its own)
//
// The shell's editing keys come as the keys that do the same in the
// editor: Ctrl+A Home, Ctrl+E End, Ctrl+B Left, Ctrl+F Right, Ctrl+D Del,
// Ctrl+K Ctrl+End, Alt+B Ctrl+Left, Alt+F Ctrl+Right; Ctrl+W and
// Alt+Backspace (ESC 0x7F, ESC 0x08) KeyDeleteWordLeft, Alt+D
// KeyDeleteWordRight.

#include "termkeys_posix.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "charset.h"
#include "console.h"

namespace {

constexpr std::uint16_t VkBack = 0x08;
constexpr std::uint16_t VkTab = 0x09;
constexpr std::uint16_t VkReturn = 0x0D;
constexpr std::uint16_t VkEscape = 0x1B;

// A key that has no character: cursor block, keypad 5, function keys.
struct NamedKey {
    std::uint16_t VirtualKey;
    std::uint8_t ScanCode;
    bool Enhanced;
};
constexpr NamedKey NoKey{0, 0, false};
constexpr NamedKey Home{0x24, 0x47, true};
constexpr NamedKey End{0x23, 0x4F, true};
constexpr NamedKey PageUp{0x21, 0x49, true};
constexpr NamedKey PageDown{0x22, 0x51, true};
constexpr NamedKey Insert{0x2D, 0x52, true};
constexpr NamedKey Delete{0x2E, 0x53, true};
constexpr NamedKey Up{0x26, 0x48, true};
constexpr NamedKey Down{0x28, 0x50, true};
constexpr NamedKey Right{0x27, 0x4D, true};
constexpr NamedKey Left{0x25, 0x4B, true};
constexpr NamedKey Begin{0x0C, 0x4C, false};  // keypad 5 without Num Lock

NamedKey FunctionKey(int n)
{
    std::uint8_t scan = n <= 10 ? 0x3A + n : 0x4C + n;  // F11 and F12 sit apart
    return {static_cast<std::uint16_t>(0x6F + n), scan, false};
}

// The keys of a US keyboard, as the characters they give, with and without
// Shift, and the scan code of the first key of each row.
struct KeyRow {
    const char* Plain;
    const char* Shifted;
    std::uint8_t FirstScan;
};
constexpr KeyRow KeyRows[] = {
    {"1234567890-=", "!@#$%^&*()_+", 0x02},
    {"qwertyuiop[]", "QWERTYUIOP{}", 0x10},
    {"asdfghjkl;'`", "ASDFGHJKL:\"~", 0x1E},
    {"\\zxcvbnm,./", "|ZXCVBNM<>?", 0x2B},
    {" ", " ", 0x39},
};

// The virtual-key code of the key that types `plain` without Shift; 0 for
// a character no key of the table types.
std::uint16_t VirtualKeyOf(char plain)
{
    if (plain >= 'a' && plain <= 'z')
        return plain - 'a' + 'A';
    if ((plain >= '0' && plain <= '9') || plain == ' ')
        return plain;
    static const struct {
        char Plain;
        std::uint8_t VirtualKey;
    } OemKeys[] = {
        {'-', 0xBD}, {'=', 0xBB}, {'[', 0xDB}, {']', 0xDD}, {';', 0xBA}, {'\'', 0xDE},
        {'`', 0xC0}, {'\\', 0xDC}, {',', 0xBC}, {'.', 0xBE}, {'/', 0xBF},
    };
    for (const auto& key : OemKeys) {
        if (key.Plain == plain)
            return key.VirtualKey;
    }
    return 0;
}

ConsoleEvent MakeEvent(std::uint16_t virtualKey, std::uint16_t scanCode, std::uint8_t ch, std::uint32_t state)
{
    ConsoleEvent event;
    event.VirtualKey = virtualKey;
    event.ScanCode = scanCode;
    if (ch != 0)
        event.Text.assign(1, static_cast<char>(ch));
    event.ControlKeyState = state;
    return event;
}

ConsoleEvent NamedEvent(NamedKey key, std::uint32_t state)
{
    return MakeEvent(key.VirtualKey, key.ScanCode, 0, state | (key.Enhanced ? EnhancedKey : 0));
}

// A printable ASCII character as the key that types it.
ConsoleEvent PrintableEvent(unsigned char c)
{
    if (c == 0)
        return MakeEvent(0, 0, c, 0);  // strchr would find the terminator
    for (const KeyRow& row : KeyRows) {
        if (const char* at = std::strchr(row.Plain, c))
            return MakeEvent(VirtualKeyOf(*at), row.FirstScan + (at - row.Plain), c, 0);
        if (const char* at = std::strchr(row.Shifted, c)) {
            char plain = row.Plain[at - row.Shifted];
            return MakeEvent(VirtualKeyOf(plain), row.FirstScan + (at - row.Shifted), c, ShiftPressed);
        }
    }
    return MakeEvent(0, 0, c, 0);
}

// The shell's editing keys with Ctrl, as the editor's keys for the same:
// NoKey for the others.
NamedKey ShellKey(unsigned char c)
{
    switch (c) {
    case 'A' - 64: return Home;
    case 'E' - 64: return End;
    case 'B' - 64: return Left;
    case 'F' - 64: return Right;
    case 'D' - 64: return Delete;
    case 'K' - 64: return End;  // with Ctrl
    case 'W' - 64: return {0, KeyDeleteWordLeft, true};
    }
    return NoKey;
}

std::uint32_t ShellKeyState(unsigned char c)
{
    return c == 'K' - 64 ? LeftCtrlPressed : 0;
}

// One byte that stands for a key by itself.
ConsoleEvent ByteEvent(unsigned char c)
{
    // Terminals disagree on which of the two their Backspace key sends, and
    // the stty setting often does not match the terminal: both erase, as in
    // the shell's own line editor (Ctrl+Backspace, the other byte on some
    // terminals, then erases too).
    if (c == 0x08 || c == 0x7F)
        return MakeEvent(VkBack, 0x0E, 8, 0);
    if (c == 13)
        return MakeEvent(VkReturn, 0x1C, 13, 0);
    if (c == 9)
        return MakeEvent(VkTab, 0x0F, 9, 0);
    if (c == 27)
        return MakeEvent(VkEscape, 0x01, 27, 0);
    if (c < 0x20) {
        if (NamedKey shell = ShellKey(c); shell.ScanCode != 0)
            return NamedEvent(shell, shell.VirtualKey == 0 ? 0 : ShellKeyState(c));
        // Ctrl with a letter or with one of @ [ \ ] ^ _.
        ConsoleEvent event = PrintableEvent(c >= 1 && c <= 26 ? 'a' + c - 1 : c + 0x40);
        event.Text.assign(c != 0 ? 1 : 0, static_cast<char>(c));
        event.ControlKeyState |= LeftCtrlPressed;
        return event;
    }
    if (c < 0x80)
        return PrintableEvent(c);
    return MakeEvent(0, 0, c, 0);
}

// The modifier parameter of a sequence: 1 + (Shift 1 | Alt 2 | Ctrl 4 | Meta 8).
std::uint32_t ModifierState(int parameter)
{
    if (parameter < 2)
        return 0;
    int bits = (parameter - 1) & 15;
    std::uint32_t state = 0;
    if (bits & 1)
        state |= ShiftPressed;
    if (bits & (2 | 8))
        state |= LeftAltPressed;
    if (bits & 4)
        state |= LeftCtrlPressed;
    return state;
}

// CSI n ~ (n 25 and up: Shift+F3 to Shift+F10 of rxvt and the Linux console).
NamedKey TildeKey(int n, std::uint32_t& state)
{
    switch (n) {
    case 1: case 7: return Home;
    case 2: return Insert;
    case 3: return Delete;
    case 4: case 8: return End;
    case 5: return PageUp;
    case 6: return PageDown;
    case 11: case 12: case 13: case 14: case 15: return FunctionKey(n - 10);
    case 17: case 18: case 19: case 20: case 21: return FunctionKey(n - 11);
    case 23: case 24: return FunctionKey(n - 12);
    case 25: case 26: state |= ShiftPressed; return FunctionKey(n - 22);
    case 28: case 29: state |= ShiftPressed; return FunctionKey(n - 23);
    case 31: case 32: case 33: case 34: state |= ShiftPressed; return FunctionKey(n - 24);
    }
    return NoKey;
}

// The final letter of CSI or SS3 cursor and F1-F4 keys.
NamedKey LetterKey(unsigned char c)
{
    switch (c) {
    case 'A': return Up;
    case 'B': return Down;
    case 'C': return Right;
    case 'D': return Left;
    case 'E': return Begin;
    case 'F': return End;
    case 'H': return Home;
    case 'P': return FunctionKey(1);
    case 'Q': return FunctionKey(2);
    case 'R': return FunctionKey(3);
    case 'S': return FunctionKey(4);
    }
    return NoKey;
}

// The arrow of rxvt's lower-case finals a, b, c, d.
NamedKey ArrowKey(unsigned char c)
{
    return LetterKey(c - 'a' + 'A');
}

// Parameters of a CSI sequence: decimal numbers split by ";". False when the
// body holds anything else (private markers, intermediates, sub-parameters).
bool ReadParameters(std::string_view body, int values[], int& count)
{
    count = 0;
    if (body.empty())
        return true;
    int value = 0;
    for (std::size_t i = 0; i <= body.size(); i++) {
        if (i == body.size() || body[i] == ';') {
            if (count == 3)
                return false;
            values[count++] = value;
            value = 0;
        } else if (body[i] >= '0' && body[i] <= '9') {
            value = value < 10000 ? value * 10 + (body[i] - '0') : value;
        } else {
            return false;
        }
    }
    return true;
}

// Longest a sequence may be in the pending bytes, longer than any key's:
// the rest of a longer one (an answer) is skipped up to its final byte.
constexpr std::size_t MaxSequence = 32;

// The mode's answer, from the body of ESC [ body y ("?2027;2$"): its value,
// or -1 when the body is no such answer.
int ParseModeReport(std::string_view body)
{
    constexpr std::string_view Start = "?2027;";
    if (body.size() != Start.size() + 2 || body.substr(0, Start.size()) != Start || body.back() != '$')
        return -1;
    char value = body[Start.size()];
    return value >= '0' && value <= '9' ? value - '0' : -1;
}

// Digits only: the one number of rxvt's ESC [ n $.
bool OneNumber(std::string_view body)
{
    return !body.empty() && std::all_of(body.begin(), body.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// rxvt's finals for the editing keys 1-8 with modifiers: ^ Ctrl, $ Shift,
// @ Ctrl+Shift.
std::uint32_t RxvtModifiers(unsigned char final)
{
    switch (final) {
    case '^': return LeftCtrlPressed;
    case '$': return ShiftPressed;
    case '@': return LeftCtrlPressed | ShiftPressed;
    }
    return 0;
}

// st's editing keys in its default keypad mode: ESC [ P, 4 h, J, 2 K.
NamedKey StKey(unsigned char final, int count, int first, std::uint32_t& state)
{
    if (final == 'P' && count == 0)
        return Delete;
    if (final == 'h' && count == 1 && first == 4)
        return Insert;
    if (final == 'J' && count == 0) {
        state = LeftCtrlPressed;
        return End;
    }
    if (final == 'K' && count == 1 && first == 2) {
        state = ShiftPressed;
        return Delete;
    }
    return NoKey;
}

// ESC [ M: an X10 mouse report when its three bytes (0x20 and up) come
// with it, as the terminal sends them together; without them within the
// escape time, st's Ctrl+Del.
std::size_t DecodeX10Mouse(std::string_view in, bool final, std::deque<ConsoleEvent>& events)
{
    std::size_t have = 3;
    while (have < in.size() && have < 6 && static_cast<unsigned char>(in[have]) >= 0x20)
        have++;
    if (have == 6)
        return 6;
    if (have == in.size() && !final)
        return 0;
    events.push_back(NamedEvent(Delete, LeftCtrlPressed));
    return 3;
}

// ESC [ ...: the bytes used (0 when more must come), and the key if any.
std::size_t DecodeCsi(TermKeyDecoder& decoder, std::string_view in, bool final, std::deque<ConsoleEvent>& events)
{
    if (in[2] == '[') {  // the Linux console's F1-F5: ESC [ [ A..E
        if (in.size() < 4)
            return final ? in.size() : 0;
        unsigned char c = in[3];
        if (c < 0x20 || c > 0x7E)
            return 3;
        if (c >= 'A' && c <= 'E')
            events.push_back(NamedEvent(FunctionKey(c - 'A' + 1), 0));
        return 4;
    }

    // rxvt's "$" after one number is the end: it is no intermediate byte there.
    std::size_t end = 2;
    while (end < in.size() && end < MaxSequence && in[end] >= 0x20 && in[end] <= 0x3F &&
           !(in[end] == '$' && OneNumber(in.substr(2, end - 2))))
        end++;
    if (end == MaxSequence) {
        decoder.InLongSequence = true;
        return end;
    }
    if (end == in.size())
        return final ? end : 0;
    unsigned char c = in[end];
    if ((c < 0x40 || c > 0x7E) && c != '$')
        return end;  // broken off: the stray byte is read as a key of its own
    if (c == 'M' && end == 2)
        return DecodeX10Mouse(in, final, events);

    if (int mode = c == 'y' ? ParseModeReport(in.substr(2, end - 2)) : -1; mode >= 0) {
        decoder.Answers.push_back({0, 0, mode});
        return end + 1;
    }
    int values[3];
    int count;
    if (!ReadParameters(in.substr(2, end - 2), values, count))
        return end + 1;
    int first = count > 0 ? values[0] : 0;
    std::uint32_t state = ModifierState(count > 1 ? values[1] : 1);

    if (c == 'R' && decoder.AnswersAwaitedUntil > 0 && count == 2) {
        decoder.Answers.push_back({values[0], values[1]});
        return end + 1;
    }
    // A report nobody awaits (late, or another program's) is no key; the
    // same bytes are F3 only in row 1, with a modifier's number.
    if (c == 'R' && count == 2 && !(first == 1 && values[1] >= 2 && values[1] <= 16))
        return end + 1;
    if (count > 2)
        return end + 1;
    if (RxvtModifiers(c) != 0) {
        if (count == 1 && first >= 1 && first <= 8)
            events.push_back(NamedEvent(TildeKey(first, state), RxvtModifiers(c)));
        return end + 1;
    }
    if (c == '~' && count == 1 && first == 200) {
        decoder.InPaste = true;
        decoder.PasteCut = false;
        return end + 1;
    }
    if (c == 'Z' && count == 0) {
        events.push_back(MakeEvent(VkTab, 0x0F, 9, ShiftPressed));
        return end + 1;
    }
    if (c >= 'a' && c <= 'd' && count == 0) {  // rxvt's Shift+arrows
        events.push_back(NamedEvent(ArrowKey(c), ShiftPressed));
        return end + 1;
    }
    NamedKey key = StKey(c, count, first, state);
    if (key.VirtualKey == 0 && c == '~') {
        key = TildeKey(first, state);
    } else if (key.VirtualKey == 0) {
        // Older terminals put the modifier first, alone: ESC [ 5 D.
        if (count == 1)
            state = ModifierState(first);
        key = LetterKey(c);
    }
    if (key.VirtualKey != 0)
        events.push_back(NamedEvent(key, state));
    return end + 1;
}

// ESC O ...: cursor keys, F1-F4 and keypad keys of the terminal's
// application modes, with an optional modifier digit.
std::size_t DecodeSs3(std::string_view in, bool final, std::deque<ConsoleEvent>& events)
{
    std::size_t end = 2;
    while (end < in.size() && in[end] >= '0' && in[end] <= '9' && end < 8)
        end++;
    if (end == in.size())
        return final ? end : 0;
    unsigned char c = in[end];
    if (c < 0x40 || c > 0x7E)
        return end;
    int modifier = 0;
    for (std::size_t i = 2; i < end; i++)
        modifier = modifier * 10 + (in[i] - '0');
    std::uint32_t state = ModifierState(end > 2 ? modifier : 1);

    static const char Keypad[] = "*+,-./0123456789";  // ESC O j .. ESC O y
    if (c == 'M') {
        events.push_back(MakeEvent(VkReturn, 0x1C, 13, EnhancedKey));
    } else if (c >= 'a' && c <= 'd') {  // rxvt's Ctrl+arrows
        events.push_back(NamedEvent(ArrowKey(c), state | LeftCtrlPressed));
    } else if (c >= 'j' && c <= 'y') {
        events.push_back(PrintableEvent(Keypad[c - 'j']));
    } else {
        NamedKey key = LetterKey(c);
        if (key.VirtualKey != 0)
            events.push_back(NamedEvent(key, state));
    }
    return end + 1;
}

// A byte that may stand in a terminal's string: a printing one, or one
// beyond ASCII (UTF-8 text, a code page's characters), but the one-byte
// string terminator where input is not UTF-8.
bool StringByte(const TermKeyDecoder& decoder, unsigned char c)
{
    return c >= 0x20 && c != 0x7F && !(c == 0x9C && !decoder.Utf8);
}

// What follows ESC to begin a string: OSC ], DCS P, APC _, PM ^, SOS X.
bool StringIntroducer(unsigned char c)
{
    return c == ']' || c == 'P' || c == '_' || c == '^' || c == 'X';
}

// The same as one byte (C1 controls), where input is not UTF-8.
bool EightBitIntroducer(unsigned char c)
{
    return c == 0x9D || c == 0x90 || c == 0x9F || c == 0x9E || c == 0x98;
}

// ESC [ or ESC O with what follows; alone at the deadline they were Alt+[
// and Alt+O typed by hand.
std::size_t DecodeSequence(TermKeyDecoder& decoder, std::string_view in, bool final,
                           std::deque<ConsoleEvent>& events)
{
    if (in.size() == 2) {
        if (!final)
            return 0;
        ConsoleEvent alt = PrintableEvent(in[1]);
        alt.ControlKeyState |= LeftAltPressed;
        events.push_back(alt);
        return 2;
    }
    return in[1] == '[' ? DecodeCsi(decoder, in, final, events) : DecodeSs3(in, final, events);
}

// A UTF-8 character becomes one key that types it whole. C1 control
// characters and broken sequences are dropped.
std::size_t DecodeCharacter(std::string_view in, bool final, std::deque<ConsoleEvent>& events)
{
    char32_t code;
    std::size_t length;
    switch (DecodeUtf8(in, code, length)) {
    case Utf8Status::Incomplete:
        return final ? in.size() : 0;
    case Utf8Status::Invalid:
        return length;
    case Utf8Status::Valid:
        break;
    }
    if (code < 0xA0)
        return length;
    // What follows in the same read and belongs to the character (a flag's
    // second half, a modifier, a combining mark) makes one key with it. An
    // ASCII character after a prepending mark stays a key of its own, with
    // its key code, as when it comes in a read of its own.
    std::string_view beyondAscii = in.substr(0, std::find_if(in.begin(), in.end(), [](char c) {
                                                    return static_cast<unsigned char>(c) < 0x80;
                                                }) - in.begin());
    length = std::max(length, CharLength(beyondAscii));
    ConsoleEvent event;
    event.Text = in.substr(0, length);
    events.push_back(event);
    return length;
}

// The key at the front of in that is not an Esc: a character or a byte.
std::size_t DecodePlain(TermKeyDecoder& decoder, std::string_view in, bool final, std::deque<ConsoleEvent>& events)
{
    unsigned char c = in[0];
    if (!decoder.Utf8 && EightBitIntroducer(c)) {
        if (in.size() == 1 && !final)
            return 0;
        if (in.size() > 1 && StringByte(decoder, in[1])) {
            decoder.InString = true;
            return 1;
        }
    }
    if (c >= 0x80 && decoder.Utf8)
        return DecodeCharacter(in, final, events);
    events.push_back(ByteEvent(c));
    // A letter typed with its combining marks is one key.
    std::size_t length = c >= 0x20 && c < 0x7F && decoder.Utf8 ? CharLength(in) : 1;
    if (length > 1)
        events.back().Text = in.substr(0, length);
    return length;
}

std::size_t DecodeEscape(TermKeyDecoder& decoder, std::string_view in, bool final, std::deque<ConsoleEvent>& events)
{
    const ConsoleEvent Esc = MakeEvent(VkEscape, 0x01, 27, 0);
    if (in.size() < 2) {
        if (!final)
            return 0;
        events.push_back(Esc);
        return 1;
    }
    unsigned char next = in[1];
    if (next == '[' || next == 'O')
        return DecodeSequence(decoder, in, final, events);
    // A terminal's string; the introducer alone was Alt with its key.
    if (StringIntroducer(next)) {
        if (in.size() == 2 && !final)
            return 0;
        if (StringByte(decoder, in.size() > 2 ? in[2] : 0)) {
            decoder.InString = true;
            return 2;
        }
    }

    if (next == 0x1B) {
        // Some terminals send Alt with a cursor or function key as ESC and
        // the key's sequence.
        if (in.size() == 2 && !final)
            return 0;
        if (in.size() >= 3 && (in[2] == '[' || in[2] == 'O')) {
            std::size_t before = events.size();
            std::size_t answers = decoder.Answers.size();
            bool paste = decoder.InPaste;
            std::size_t used = DecodeSequence(decoder, in.substr(1), final, events);
            if (used == 0)
                return 0;
            // An Esc typed just before an answer or a paste is the Esc key.
            if (decoder.Answers.size() != answers || decoder.InPaste != paste) {
                events.push_back(Esc);
                return used + 1;
            }
            for (std::size_t i = before; i < events.size(); i++)
                events[i].ControlKeyState |= LeftAltPressed;
            return used + 1;
        }
        // Esc pressed twice stays two Esc keys.
        events.push_back(Esc);
        return 1;
    }
    if (next >= 0x80) {
        // Alt with a character beyond ASCII is no key a program knows; its
        // bytes as extended keys of code 0 would each take the key after
        // them for their second half. Dropped, ESC and all, but only the one
        // code point: marks after it are keys as when a later read brings them.
        std::size_t length = 1;
        char32_t code;
        if (decoder.Utf8 && DecodeUtf8(in.substr(1), code, length) == Utf8Status::Incomplete)
            return final ? in.size() : 0;
        return length + 1;
    }
    // The shell's word keys with Alt.
    if (next == 0x7F || next == 0x08) {
        events.push_back(NamedEvent({0, KeyDeleteWordLeft, true}, 0));
        return 2;
    }
    if (next == 'b' || next == 'B' || next == 'f' || next == 'F') {
        events.push_back(NamedEvent(next == 'b' || next == 'B' ? Left : Right, LeftCtrlPressed));
        return 2;
    }
    if (next == 'd' || next == 'D') {
        events.push_back(NamedEvent({0, KeyDeleteWordRight, true}, 0));
        return 2;
    }
    // ESC before any other key is that key typed with the left Alt key,
    // also before Enter, Tab or Backspace: a terminal's Alt sends them so,
    // and an Esc taken from it would clear the user's text.
    ConsoleEvent alt = ByteEvent(next);
    alt.ControlKeyState |= LeftAltPressed;
    events.push_back(alt);
    return 2;
}

// Pasted bytes at the front of in, up to and with the paste's end: the
// bytes used, 0 when what is there may be the start of the end (or of a
// character) and final is not set.
std::size_t DecodePaste(TermKeyDecoder& decoder, std::string_view in, bool final, std::deque<ConsoleEvent>& events)
{
    if (in.substr(0, PasteEnd.size()) == PasteEnd) {
        decoder.InPaste = false;
        return PasteEnd.size();
    }
    unsigned char c = in[0];
    if (c == 0x1B)
        return !final && in.size() < PasteEnd.size() && PasteEnd.substr(0, in.size()) == in ? 0 : 1;
    if (c == '\r' || c == '\n') {
        decoder.PasteCut = true;
        return 1;
    }
    std::deque<ConsoleEvent> keys;
    std::size_t used = 1;
    if (c >= 0x80 && decoder.Utf8)
        used = DecodeCharacter(in, final, keys);
    else if (c == '\t')
        keys.push_back(PrintableEvent(' '));
    else if (c >= 0x20 && c != 0x7F)
        keys.push_back(ByteEvent(c));
    if (!decoder.PasteCut && !decoder.DropPastes)
        events.insert(events.end(), keys.begin(), keys.end());
    return used;
}

// The unfinished sequence waits for the rest of an answer: ESC or ESC [
// while one is awaited.
bool AwaitsAnswer(const TermKeyDecoder& decoder)
{
    const std::string& p = decoder.Pending;
    return decoder.AnswersAwaitedUntil > 0 && p[0] == 0x1B && p.size() <= 2 && (p.size() == 1 || p[1] == '[');
}

// ESC [ and a digit: the middle of a report or of a key's sequence.
bool SequenceStarted(const std::string& pending)
{
    return pending.size() >= 3 && pending[0] == 0x1B && pending[1] == '[' && pending[2] >= '0' && pending[2] <= '9';
}

// The bytes used by the key at the front of in, or 0 when its end has not
// come yet. With final set it never waits.
std::size_t DecodeOne(TermKeyDecoder& decoder, std::string_view in, bool final, std::deque<ConsoleEvent>& events)
{
    if (in[0] == 0x1B)
        return DecodeEscape(decoder, in, final, events);
    return DecodePlain(decoder, in, final, events);
}

// Inside a terminal's string: its bytes up to its end (ESC \, BEL, or 0x9C
// where input is not UTF-8) are dropped. A control key, or an ESC that
// begins anything else, ends it unfinished and is decoded as it stands:
// no answer holds one, and a key typed meanwhile is not lost.
std::size_t DecodeString(TermKeyDecoder& decoder, std::string_view in, bool final, std::deque<ConsoleEvent>& events)
{
    std::size_t used = 0;
    while (used < in.size() && StringByte(decoder, in[used]))
        used++;
    if (used > 0)
        return used;
    unsigned char c = in[0];
    if (c == 0x07 || c == 0x9C) {
        decoder.InString = false;
        return 1;
    }
    if (c == 0x1B && in.size() == 1 && !final)
        return 0;
    decoder.InString = false;
    if (c == 0x1B && in.size() > 1 && in[1] == '\\')
        return 2;
    return DecodeOne(decoder, in, final, events);
}

// The rest of a sequence longer than any key's: its parameters and final
// byte give no key; anything else ends it and is decoded as it stands.
std::size_t DecodeLongSequence(TermKeyDecoder& decoder, std::string_view in, bool final,
                               std::deque<ConsoleEvent>& events)
{
    std::size_t used = 0;
    while (used < in.size() && in[used] >= 0x20 && in[used] <= 0x3F)
        used++;
    if (used == in.size())
        return used;
    decoder.InLongSequence = false;
    if (in[used] >= 0x40 && in[used] <= 0x7E)
        return used + 1;
    return used > 0 ? used : DecodeOne(decoder, in, final, events);
}

}  // namespace

void DecodeKeys(TermKeyDecoder& decoder, std::string_view bytes, std::int64_t nowMs,
                std::deque<ConsoleEvent>& events)
{
    // A string or sequence that stopped coming is given up: what comes next
    // are keys.
    if (nowMs >= decoder.PendingSince + SequenceWaitMs)
        decoder.InString = decoder.InLongSequence = false;
    if (!bytes.empty()) {
        decoder.Pending.append(bytes.data(), bytes.size());
        decoder.PendingSince = nowMs;
    }
    bool final = !decoder.Pending.empty() && nowMs >= DecodeDeadline(decoder);
    std::string_view pending = decoder.Pending;
    std::size_t used = 0;
    std::deque<ConsoleEvent> presses;
    std::deque<ConsoleEvent> dropped;
    while (used < pending.size()) {
        std::string_view rest = pending.substr(used);
        std::deque<ConsoleEvent>& keys = used < decoder.Dropped ? dropped : presses;
        std::size_t n = decoder.InPaste          ? DecodePaste(decoder, rest, final, keys)
                        : decoder.InString       ? DecodeString(decoder, rest, final, keys)
                        : decoder.InLongSequence ? DecodeLongSequence(decoder, rest, final, keys)
                                                 : DecodeOne(decoder, rest, final, keys);
        if (n == 0)
            break;
        used += n;
    }
    decoder.Pending.erase(0, used);
    decoder.Dropped -= std::min(decoder.Dropped, used);

    // Every press is followed by its release, as a Windows console reports
    // keys: the release is the input that lets ReadKey hand out the second
    // byte of an extended key at once instead of after its one-second wait.
    for (ConsoleEvent& press : presses) {
        events.push_back(press);
        press.KeyDown = false;
        events.push_back(press);
    }
}

std::int64_t DecodeDeadline(const TermKeyDecoder& decoder)
{
    if (decoder.Pending.empty())
        return -1;
    std::int64_t due = decoder.PendingSince + decoder.EscapeWait;
    // The end of a paste or a string may be split, as a begun sequence.
    if (decoder.InPaste || decoder.InString || SequenceStarted(decoder.Pending))
        due = std::max(due, decoder.PendingSince + SequenceWaitMs);
    if (AwaitsAnswer(decoder))
        due = std::max(due, decoder.AnswersAwaitedUntil);
    return due;
}

TermKeyDecoder MakeDecoder(bool utf8, int escapeWait)
{
    TermKeyDecoder decoder;
    decoder.Utf8 = utf8;
    decoder.EscapeWait = escapeWait;
    return decoder;
}

void DropPastedText(TermKeyDecoder& decoder)
{
    decoder.DropPastes = true;
}

void AwaitAnswers(TermKeyDecoder& decoder, std::int64_t until)
{
    decoder.AnswersAwaitedUntil = until;
}

std::vector<TerminalAnswer> TakeDecodedAnswers(TermKeyDecoder& decoder)
{
    return std::exchange(decoder.Answers, {});
}

std::int64_t InputOwedUntil(const TermKeyDecoder& decoder, std::int64_t nowMs)
{
    std::int64_t until = -1;
    if (decoder.InString || decoder.InLongSequence)  // the rest of a terminal's answer
        until = decoder.PendingSince + SequenceWaitMs;
    if (decoder.InPaste)
        until = std::max(until, decoder.PendingSince + PasteGapMs);
    else if (!decoder.Pending.empty())
        until = std::max(until, DecodeDeadline(decoder));
    return until > nowMs ? until : -1;
}

bool PasteUnderWay(const TermKeyDecoder& decoder)
{
    return decoder.InPaste;
}

void DropPendingInput(TermKeyDecoder& decoder)
{
    decoder.Dropped = decoder.Pending.size();
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
