// fillin's batch line on any value, run through the model of cmd
// (tests/cmdmodel.h) with delayed expansion off and on: on the NT family
// it sets the value (-e), or the value with the carets that %X% and
// RemoveCarets take out again, whole and within cmd's line length;
// elsewhere the line holds the value with its percent signs doubled.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "charset.h"
#include "cmdmodel.h"
#include "fillin.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace fillin;
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
    if (!nt) {
        FUZZ_CHECK(line == "SET X=" + EscapePercent(value) + "\r\n");
        return 0;
    }
    std::string held = exact ? value : EscapeSpecials(value);
    for (bool delayed : {false, true})
        FUZZ_CHECK(cmdmodel::CmdSets(line, delayed) == held);
    FUZZ_CHECK(cmdmodel::AsPercentArgument(EscapeSpecials(value)) == value);
    std::string edited = EscapeSpecials(value);
    RemoveCarets(edited);
    FUZZ_CHECK(edited == value);
    FUZZ_CHECK(line.size() <= 40 + 12 * value.size());
    return 0;
}
