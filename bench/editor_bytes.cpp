// What one typed character costs the line editor on a 2,000-character text:
// the bytes, writes and cursor moves sent to the console (counted by the
// virtual console), and the processor time per key.
#include <chrono>
#include <cstdio>
#include <string>

#include "lineedit.h"
#include "virtual_console.h"

namespace {

const std::string LongText(2000, 'a');

struct Cost {
    long Bytes;
    int Writes;
    int Moves;
};

// One edit of the long text: Home first when asked, then the typed text,
// then Enter.
Cost RunEdit(bool atStart, const std::string& typed)
{
    VirtualConsoleReset(80, 40, 1, 1);
    if (atStart)
        PushExtended(71);
    PushKeys(typed);
    PushKeys("\r");
    static char buffer[EditCapacity];
    LongText.copy(buffer, LongText.size());
    buffer[LongText.size()] = 0;
    EditLine(buffer, 2047, 0, false, false, false, false, false);
    return {static_cast<long>(OutputBytes.size()), OutputWrites, CursorMoves};
}

// The edit with one typed character less what the same edit costs without it.
void ReportOneKey(const char* where, bool atStart)
{
    Cost without = RunEdit(atStart, "");
    Cost with = RunEdit(atStart, "x");
    std::printf("one key typed %-28s %5ld bytes, %d writes, %d cursor moves\n", where,
                with.Bytes - without.Bytes, with.Writes - without.Writes, with.Moves - without.Moves);
}

void ReportTimePerKey(const char* where, bool atStart)
{
    const int runs = 200;
    const std::string typed(40, 'x');
    auto time = [&](const std::string& keys) {
        auto begin = std::chrono::steady_clock::now();
        for (int i = 0; i < runs; i++)
            RunEdit(atStart, keys);
        return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - begin).count();
    };
    double perKey = (time(typed) - time("")) / runs / static_cast<double>(typed.size());
    std::printf("time per key typed %-23s %8.2f microseconds\n", where, perKey);
}

}  // namespace

int main()
{
    ReportOneKey("at the end of 2000 chars:", false);
    ReportOneKey("at the start of 2000 chars:", true);
    ReportTimePerKey("at the end of 2000 chars:", false);
    ReportTimePerKey("at the start of 2000 chars:", true);
}
