// The Windows family decides the line length, the refused characters and
// the caret escaping. On the NT family the environment and the file name
// are read as UTF-16; on Windows 9x the environment is in the ANSI code
// page and the programs' text in the OEM one. The batch file is in the
// code page that cmd reads it in.
#include <windows.h>

#include <vector>

#include "charset.h"
#include "charset_win32.h"
#include "fillin.h"

namespace fillin {

namespace {

std::string ReadWideVariable(const std::string& name, int maxLength)
{
    std::wstring wideName = WideFromUtf8(name);
    DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size <= 1 || size > 2 * static_cast<DWORD>(maxLength) + 1)
        return {};
    std::wstring wide(size, L'\0');
    DWORD length = GetEnvironmentVariableW(wideName.c_str(), &wide[0], size);
    if (length == 0 || length >= size)
        return {};
    wide.resize(length);
    std::string value = Utf8FromWide(wide);
    // A lone surrogate has no UTF-8 form, and a character the file's code
    // page lacks would be written back changed: start empty.
    bool lossless;
    FileText(value, lossless);
    if (!lossless || WideFromUtf8(value) != wide || static_cast<int>(CharCount(value)) > maxLength)
        return {};
    return value;
}

}  // namespace

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
    if (LocaleIsUtf8())
        return ReadWideVariable(name, maxLength);
    std::vector<char> ansi(maxLength + 1);
    DWORD length = GetEnvironmentVariableA(AnsiFromOem(name).c_str(), ansi.data(), maxLength + 1);
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

std::string FileText(std::string_view text, bool& lossless)
{
    return OutputCodePageText(text, lossless);
}

// A file of any other name is called as a batch file.
ResultForm UnlistedForm()
{
    return ResultForm::Batch;
}

}  // namespace fillin
