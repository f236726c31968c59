// fillin's escaping on any value and limit. With every escape taken out
// again, the result is the value after the cut rule (a value that fills
// the limit loses the growth its escapes cause; a shorter one nothing),
// every special character is escaped, and no caret is left dangling.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "charset.h"
#include "fillin.h"
#include "fuzz_check.h"

namespace {

using namespace fillin;

// Takes the escapes out; false when the text holds a character of an
// escaped set without its escape, or a broken escape.
bool Unescape(const std::string& text, bool carets, bool percents, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < text.size(); i++) {
        char c = text[i];
        if (percents && c == '%') {
            if (text.compare(i, 2, "%%") != 0)
                return false;
            out += '%';
            i++;
        } else if (carets && ShellSpecialChars.find(c) != std::string_view::npos) {
            if (text.compare(i, 3, "^^^") != 0 || i + 3 == text.size() ||
                ShellSpecialChars.find(text[i + 3]) == std::string_view::npos)
                return false;
            out += text[i + 3];
            i += 3;
        } else {
            out += c;
        }
    }
    return true;
}

// One escape alone: a text that fills the limit is first cut by the growth
// its members will cause, when it is that long; then every member is
// escaped.
void CheckOne(const std::string& value, std::int32_t limit, bool carets)
{
    std::string_view set = carets ? ShellSpecialChars : "%";
    std::size_t growth = carets ? 3 : 1;
    std::size_t members = CountCharsInSet(value, set);
    std::string expected = value;
    if (limit <= static_cast<std::int64_t>(value.size()) && growth * members <= value.size())
        expected.resize(value.size() - growth * members);

    std::string text = value;
    if (carets)
        EscapeSpecials(text, limit);
    else
        EscapePercent(text, limit);
    std::string back;
    FUZZ_CHECK(Unescape(text, carets, !carets, back));
    FUZZ_CHECK(back == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SetLocaleIsUtf8(0);  // one byte one character, as on Windows 9x with a single-byte code page
    FuzzedDataProvider input(data, size);
    bool nt = input.ConsumeBool();
    std::int32_t limit = input.ConsumeBool() ? input.ConsumeIntegral<std::int32_t>()
                                             : input.ConsumeIntegralInRange<std::int32_t>(-2, 2100);
    std::string value = input.ConsumeRemainingBytesAsString();
    value = value.c_str();  // the editor's text ends at its NUL

    CheckOne(value, limit, true);
    CheckOne(value, limit, false);

    Platform = PlatformFlags();
    Platform.IsWinNT = nt;
    std::string text = value;
    EscapeValue(text, limit);
    std::string back;
    FUZZ_CHECK(Unescape(text, nt, true, back));
    // Cut, if at all, at the end, and only when the value filled the limit.
    FUZZ_CHECK(value.compare(0, back.size(), back) == 0);
    if (static_cast<std::int64_t>(value.size()) < limit)
        FUZZ_CHECK(back == value);
    FUZZ_CHECK(text.size() <= 4 * value.size());
    return 0;
}
