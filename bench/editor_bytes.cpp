// What one typed character costs the line editor on a 2,000-character text:
// the bytes, writes and cursor moves sent to the console (counted by the
// virtual console), and the processor time per key; for ASCII on a
// single-byte console and for CJK (中, three bytes, two cells) on a UTF-8 one.
#include <chrono>
#include <cstdio>
#include <string>

#include "lineedit.h"
#include "virtual_console.h"

namespace {

// The field's text and the key typed: ASCII, or CJK in UTF-8.
struct Script {
    const char* Name;
    bool Utf8;
    std::string Text;
    std::string Key;
};
Script Current;

std::string Repeat(const std::string& text, int times)
{
    std::string result;
    while (times-- > 0)
        result += text;
    return result;
}

struct Cost {
    long Bytes;
    int Writes;
    int Moves;
};

// One edit of the long text: Home first when asked, then the typed text,
// then Enter.
Cost RunEdit(bool atStart, const std::string& typed)
{
    VirtualConsoleReset(80, 60, 1, 1);
    VirtualConsoleSetUtf8(Current.Utf8);
    if (atStart)
        PushExtended(71);
    PushKeys(typed);
    PushKeys("\r");
    std::string text = Current.Text;
    EditLine(text, 2047, 0, {});
    return {static_cast<long>(OutputBytes.size()), OutputWrites, CursorMoves};
}

// The edit with one typed character less what the same edit costs without it.
void ReportOneKey(const char* where, bool atStart)
{
    Cost without = RunEdit(atStart, "");
    Cost with = RunEdit(atStart, Current.Key);
    std::printf("%s: one key typed %-28s %5ld bytes, %d writes, %d cursor moves\n", Current.Name, where,
                with.Bytes - without.Bytes, with.Writes - without.Writes, with.Moves - without.Moves);
}

void ReportTimePerKey(const char* where, bool atStart)
{
    const int runs = 200;
    const std::string typed = Repeat(Current.Key, 40);
    auto time = [&](const std::string& keys) {
        auto begin = std::chrono::steady_clock::now();
        for (int i = 0; i < runs; i++)
            RunEdit(atStart, keys);
        return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - begin).count();
    };
    double perKey = (time(typed) - time("")) / runs / 40.0;
    std::printf("%s: time per key typed %-23s %8.2f microseconds\n", Current.Name, where, perKey);
}

}  // namespace

int main()
{
    const Script scripts[] = {
        {"ASCII", false, std::string(2000, 'a'), "x"},
        {"CJK  ", true, Repeat("\xE4\xB8\xAD", 2000), "\xE6\x96\x87"},
    };
    for (const Script& script : scripts) {
        Current = script;
        ReportOneKey("at the end of 2000 chars:", false);
        ReportOneKey("at the start of 2000 chars:", true);
        ReportTimePerKey("at the end of 2000 chars:", false);
        ReportTimePerKey("at the start of 2000 chars:", true);
    }
}
