// The terminal key decoder on any bytes, however they are split into reads:
// it never waits for more than a sequence's worth of bytes, never keeps a
// byte once the Esc wait is over, decodes the same keys whatever the split
// (but for the code points of one character, one key only when they come
// in one read), a key that follows garbage still arrives whole, and an ESC
// with a key after it is never taken for the Esc key (outside a paste,
// which the bytes may leave open). fuzz_termkeys.dict holds the pieces of
// the sequences, answers and strings it knows.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "charset.h"
#include "fuzz_check.h"
#include "termkeys_posix.h"

namespace {

using Events = std::deque<ConsoleEvent>;

// Longer than any sequence the decoder knows; more pending means it waits
// on garbage.
constexpr std::size_t MostPending = 64;

constexpr std::int64_t Start = 1000000;

bool Same(const ConsoleEvent& a, const ConsoleEvent& b)
{
    return a.IsKey == b.IsKey && a.KeyDown == b.KeyDown && a.VirtualKey == b.VirtualKey &&
           a.ScanCode == b.ScanCode && a.Text == b.Text && a.ControlKeyState == b.ControlKeyState;
}

// The events with a key of several code points (a grapheme cluster that
// came in one read) cut into one per code point, as reads split between
// them give.
Events PerCodePoint(const Events& events)
{
    Events cut;
    for (const ConsoleEvent& event : events) {
        std::string_view text = event.Text;
        char32_t code;
        std::size_t length;
        if (text.size() <= 1 || DecodeUtf8(text, code, length) != Utf8Status::Valid || length == text.size()) {
            cut.push_back(event);
            continue;
        }
        ConsoleEvent first = event;
        first.Text = text.substr(0, length);
        cut.push_back(first);
        for (text.remove_prefix(length); !text.empty(); text.remove_prefix(length)) {
            DecodeUtf8(text, code, length);
            ConsoleEvent next;
            next.Text = text.substr(0, length);
            cut.push_back(next);
        }
    }
    return cut;
}

bool SameEvents(const Events& a, const Events& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); i++) {
        if (!Same(a[i], b[i]))
            return false;
    }
    return true;
}

// Every key comes as a press and then its release; only the presses are
// kept.
void Decode(TermKeyDecoder& decoder, std::string_view bytes, std::int64_t now, Events& presses)
{
    Events events;
    DecodeKeys(decoder, bytes, now, events);
    FUZZ_CHECK(events.size() % 2 == 0);
    for (std::size_t i = 0; i < events.size(); i += 2) {
        ConsoleEvent release = events[i];
        release.KeyDown = false;
        FUZZ_CHECK(events[i].KeyDown && Same(events[i + 1], release));
        presses.push_back(events[i]);
    }
}

void Feed(TermKeyDecoder& decoder, const std::string& bytes, std::int64_t now, Events& events)
{
    Decode(decoder, bytes, now, events);
    FUZZ_CHECK(decoder.Pending.size() <= MostPending);
    FUZZ_CHECK(decoder.Pending.empty() ? DecodeDeadline(decoder) == -1 : DecodeDeadline(decoder) > now);
}

// Lets the Esc wait run out, exactly at its deadline: nothing may be left.
void Flush(TermKeyDecoder& decoder, Events& events)
{
    std::int64_t deadline = DecodeDeadline(decoder);
    if (deadline >= 0)
        Decode(decoder, {}, deadline, events);
    FUZZ_CHECK(decoder.Pending.empty());
    FUZZ_CHECK(DecodeDeadline(decoder) == -1);
}

// A two-byte character of UTF-8 input alone: from U+00A0 on, its two
// bytes as two keys; the C1 controls are dropped; no other byte may stand
// in for it, least of all a control key such as Ctrl+C (U+0103).
bool OneCharacterRight(unsigned code)
{
    TermKeyDecoder decoder;
    decoder.Utf8 = true;
    std::string bytes = {static_cast<char>(0xC0 | code >> 6), static_cast<char>(0x80 | (code & 0x3F))};
    Events events;
    Decode(decoder, bytes, Start, events);
    if (code < 0xA0)
        return events.empty();
    return events.size() == 1 && events[0].Text == bytes;
}

// The bytes of the characters beyond ASCII that the keys carry, in order:
// from UTF-8 input they are whole, valid characters.
std::string CharacterBytes(const Events& events)
{
    std::string bytes;
    for (const ConsoleEvent& event : events) {
        if (!event.Text.empty() && static_cast<unsigned char>(event.Text[0]) >= 0x80 && event.ScanCode == 0)
            bytes += event.Text;
    }
    return bytes;
}

std::size_t EscKeys(const Events& events)
{
    return std::count_if(events.begin(), events.end(),
                         [](const ConsoleEvent& event) { return event.VirtualKey == 0x1B && event.ControlKeyState == 0; });
}

void CheckEvents(const Events& events)
{
    for (const ConsoleEvent& event : events) {
        FUZZ_CHECK(event.IsKey && event.KeyDown);
        // A key with neither a character nor a scan code gives no key code.
        FUZZ_CHECK(!event.Text.empty() || event.ScanCode != 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    for (unsigned code = 0x80; code < 0x800; code++)
        FUZZ_CHECK(OneCharacterRight(code));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    TermKeyDecoder fresh;
    fresh.Utf8 = input.ConsumeBool();
    AwaitAnswers(fresh, input.ConsumeBool() ? Start + 2000 : 0);
    std::uint8_t key = input.ConsumeIntegral<std::uint8_t>();  // after an ESC
    if (key == 0x1B)
        key = 'x';
    std::vector<std::uint8_t> cuts = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 12));
    std::string bytes = input.ConsumeRemainingBytesAsString();

    // Where the reads end, in order.
    std::vector<std::size_t> ends;
    for (std::uint8_t cut : cuts)
        ends.push_back(cut * bytes.size() / 255);
    ends.push_back(bytes.size());
    std::sort(ends.begin(), ends.end());

    // All at once.
    TermKeyDecoder whole = fresh;
    Events wholeEvents;
    Feed(whole, bytes, Start, wholeEvents);
    Flush(whole, wholeEvents);
    CheckEvents(wholeEvents);
    FUZZ_CHECK(!whole.Utf8 || IsValidUtf8(CharacterBytes(wholeEvents)));

    // The same bytes in several reads within one moment: the same keys.
    TermKeyDecoder split = fresh;
    Events splitEvents;
    std::size_t from = 0;
    for (std::size_t end : ends) {
        Feed(split, bytes.substr(from, end - from), Start, splitEvents);
        from = end;
    }
    Flush(split, splitEvents);
    FUZZ_CHECK(SameEvents(PerCodePoint(splitEvents), PerCodePoint(wholeEvents)));
    std::vector<TerminalAnswer> splitAnswers = TakeDecodedAnswers(split), wholeAnswers = TakeDecodedAnswers(whole);
    FUZZ_CHECK(splitAnswers.size() == wholeAnswers.size());
    for (std::size_t i = 0; i < splitAnswers.size() && i < wholeAnswers.size(); i++)
        FUZZ_CHECK(splitAnswers[i].Row == wholeAnswers[i].Row && splitAnswers[i].Column == wholeAnswers[i].Column &&
                   splitAnswers[i].Mode == wholeAnswers[i].Mode);

    // The reads spread over time, some after the Esc wait: whatever they
    // make of the bytes, nothing is left over.
    TermKeyDecoder slow = fresh;
    Events slowEvents;
    std::int64_t now = Start;
    from = 0;
    for (std::size_t i = 0; i < ends.size(); i++) {
        now += i < cuts.size() ? cuts[i] % 40 : 1;
        Feed(slow, bytes.substr(from, ends[i] - from), now, slowEvents);
        from = ends[i];
    }
    Flush(slow, slowEvents);
    CheckEvents(slowEvents);

    // Enter right after the bytes, in the same read: it is the last key,
    // whole, plain but for the Alt of an ESC the bytes ended in.
    TermKeyDecoder then = fresh;
    Events thenEvents;
    Feed(then, bytes + "\r", Start, thenEvents);
    Flush(then, thenEvents);
    TermKeyDecoder alone = fresh;
    Events aloneEvents;
    Feed(alone, bytes, Start, aloneEvents);
    Flush(alone, aloneEvents);
    if (alone.InPaste)
        return 0;  // what follows is pasted text
    FUZZ_CHECK(!thenEvents.empty());
    const ConsoleEvent& enter = thenEvents.back();
    FUZZ_CHECK(enter.Text == "\r" && enter.VirtualKey == 0x0D && (enter.ControlKeyState & ~LeftAltPressed) == 0);

    // ESC and another byte in time after the bytes: never one Esc key more
    // than the bytes alone give, and an ASCII byte comes last, with Alt.
    TermKeyDecoder alt = fresh;
    Events altEvents;
    Feed(alt, bytes + '\x1b' + static_cast<char>(key), Start, altEvents);
    Flush(alt, altEvents);
    FUZZ_CHECK(EscKeys(altEvents) <= EscKeys(aloneEvents));
    // (the shell's word keys with Alt come as the editor's keys for them;
    // ESC \ ends a string the bytes left open)
    bool endsString = alone.InString && key == '\\';
    if (key < 0x80 && !endsString && std::string_view("bfdBFD\x7f\x08").find(static_cast<char>(key)) == std::string_view::npos) {
        FUZZ_CHECK(!altEvents.empty());
        FUZZ_CHECK((altEvents.back().ControlKeyState & LeftAltPressed) != 0);
    }
    return 0;
}
