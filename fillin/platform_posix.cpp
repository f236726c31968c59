// POSIX has neither Windows family: no refused characters, no carets. Text
// inside the program is ISO-8859-1 where the locale speaks UTF-8, as the
// argument list and the terminal deliver it.
#include <cstdlib>

#include "charset.h"
#include "fillin.h"

namespace fillin {

namespace {

// True for valid UTF-8 that holds a character beyond U+00FF: a word the
// argument list could not convert and kept as it came. Text converted to
// ISO-8859-1 practically never has this shape.
bool KeptAsTyped(const std::string& word)
{
    std::string latin1;
    return IsValidUtf8(word) && !Utf8ToLatin1(word, latin1);
}

}  // namespace

void DetectPlatform()
{
    Platform = PlatformFlags();
}

std::string SystemText(const std::string& word)
{
    if (!LocaleIsUtf8() || KeptAsTyped(word))
        return word;
    return Latin1ToUtf8(word);
}

std::string ValueInFile(const std::string& value)
{
    return LocaleIsUtf8() ? Latin1ToUtf8(value) : value;
}

std::string ReadVariable(const std::string& name, int maxLength)
{
    const char* found = std::getenv(SystemText(name).c_str());
    if (found == nullptr)
        return {};
    std::string value = found;
    // Text the editor cannot show would be written back changed: start empty.
    if (LocaleIsUtf8() && !Utf8ToLatin1(found, value))
        return {};
    if (static_cast<int>(value.size()) > maxLength)
        return {};
    return value;
}

}  // namespace fillin
