// POSIX has neither Windows family: no refused characters, no carets. The
// environment, the arguments and the batch file hold the terminal's own
// text, used unchanged.
#include <cstdlib>

#include "charset.h"
#include "fillin.h"

namespace fillin {

void DetectPlatform()
{
    Platform = PlatformFlags();
}

std::string ReadVariable(const std::string& name, int maxLength)
{
    const char* found = std::getenv(name.c_str());
    if (found == nullptr)
        return {};
    std::string value = found;
    // Text the editor cannot show would be written back changed: start empty.
    if (!IsConsoleText(value) || static_cast<int>(CharCount(value)) > maxLength)
        return {};
    return value;
}

std::string FileText(std::string_view text, bool& lossless)
{
    lossless = true;
    return std::string(text);
}

// A file a script made with mktemp, or named as it likes, is sourced by a
// shell here: only NAME.bat and NAME.cmd are batch files.
ResultForm UnlistedForm()
{
    return ResultForm::Sh;
}

}  // namespace fillin
