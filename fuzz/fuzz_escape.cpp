// fillin's batch line on any value, read back as cmd reads it: percent
// signs; carets and quotes (a caret outside quotes keeps the character
// after it, a quote toggles, no unescaped & | < > ( ) outside quotes); and
// for the IF line's first branch delayed expansion's caret rule. Every
// branch gives the variable the value (-e) or the value with carets that
// RemoveCarets takes out again, and the line is never cut.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "charset.h"
#include "fillin.h"
#include "fuzz_check.h"

namespace {

using namespace fillin;

// %% gives %; false for a lone %.
bool UndoPercent(std::string_view text, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < text.size(); i++) {
        if (text[i] == '%' && (i + 1 == text.size() || text[++i] != '%'))
            return false;
        out += text[i];
    }
    return true;
}

// Reads text up to an unescaped ")" outside quotes (stopAtParen) or the
// end; false for any other operator. at: where the reading stopped.
bool ReadCarets(std::string_view text, bool stopAtParen, std::string& out, std::size_t& at)
{
    out.clear();
    bool quoted = false;
    for (at = 0; at < text.size(); at++) {
        char c = text[at];
        if (c == '"')
            quoted = !quoted;
        if (c == '^' && !quoted) {
            if (++at == text.size())
                return false;  // cmd would join the next line
            out += text[at];
            continue;
        }
        if (!quoted && std::string_view("&|<>()").find(c) != std::string_view::npos)
            return stopAtParen && c == ')';
        out += c;
    }
    return !stopAtParen;
}

// Delayed expansion's carets in a text that holds "!"; false for a "!"
// that is not escaped.
bool UndoDelayed(std::string_view text, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < text.size(); i++) {
        if (text[i] == '!')
            return false;
        if (text[i] == '^' && ++i == text.size())
            return false;
        out += text[i];
    }
    return true;
}

void CheckHeld(const std::string& held, const std::string& value, bool exact)
{
    if (exact) {
        FUZZ_CHECK(held == value);
        return;
    }
    std::string edited = held;
    RemoveCarets(edited);
    FUZZ_CHECK(edited == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SetLocaleIsUtf8(0);  // one byte one character, as on Windows 9x with a single-byte code page
    FuzzedDataProvider input(data, size);
    bool nt = input.ConsumeBool();
    bool exact = input.ConsumeBool();
    std::string value = input.ConsumeRemainingBytesAsString();
    value = value.c_str();  // the editor's text ends at its NUL
    if (value.find_first_of("\r\n") != std::string::npos)
        return 0;  // the editor takes no line end

    Platform = PlatformFlags();
    Platform.IsWinNT = nt;
    std::string line = BatchLine("X", value, exact);
    FUZZ_CHECK(line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0);
    std::string text;
    FUZZ_CHECK(UndoPercent(std::string_view(line).substr(0, line.size() - 2), text));
    std::string held;
    std::size_t at;
    if (!nt) {
        FUZZ_CHECK(text == "SET X=" + value);
        return 0;
    }
    const std::string plain = "SET X=", twoBranches = "IF \"!!\"==\"\" (SET X=", otherBranch = " ELSE SET X=";
    if (value.find('!') == std::string::npos) {
        FUZZ_CHECK(text.compare(0, plain.size(), plain) == 0);
        FUZZ_CHECK(ReadCarets(std::string_view(text).substr(plain.size()), false, held, at));
        CheckHeld(held, value, exact);
        return 0;
    }
    FUZZ_CHECK(text.compare(0, twoBranches.size(), twoBranches) == 0);
    std::string_view rest = std::string_view(text).substr(twoBranches.size());
    std::string delayed;
    FUZZ_CHECK(ReadCarets(rest, true, delayed, at));
    FUZZ_CHECK(UndoDelayed(delayed, held));
    CheckHeld(held, value, exact);
    rest.remove_prefix(at + 1);
    FUZZ_CHECK(rest.substr(0, otherBranch.size()) == otherBranch);
    FUZZ_CHECK(ReadCarets(rest.substr(otherBranch.size()), false, held, at));
    CheckHeld(held, value, exact);
    return 0;
}
