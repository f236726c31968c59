// The Windows family decides the line length, the refused characters and
// the caret escaping. The environment is in the ANSI code page, the console
// and the batch file in the OEM one.
#include <windows.h>

#include <vector>

#include "fillin.h"

namespace fillin {

void DetectPlatform()
{
    Platform = PlatformFlags();
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = 148;
    if (!GetVersionExA(&version))
        return;
    Platform.IsWin9x = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    Platform.IsWinNT = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::string ReadVariable(const std::string& name, int maxLength)
{
    std::vector<char> ansi(maxLength + 1);
    DWORD length = GetEnvironmentVariableA(name.c_str(), ansi.data(), maxLength + 1);
    // A value that does not fit comes back as the size it needs, unstored.
    if (length == 0 || length > static_cast<DWORD>(maxLength))
        return {};
    std::string oem(length, '\0');
    CharToOemBuffA(ansi.data(), &oem[0], length);
    // A character the OEM code page lacks would be written back changed.
    std::string back(length, '\0');
    OemToCharBuffA(oem.data(), &back[0], length);
    if (back.compare(0, length, ansi.data(), length) != 0)
        return {};
    return oem;
}

// The value is typed in the console's code page, the batch file's own.
std::string ResultText(std::string_view value)
{
    return std::string(value);
}

}  // namespace fillin
