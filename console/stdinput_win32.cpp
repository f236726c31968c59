// Standard input in the OEM code page: there is no console whose code page
// could say otherwise. A pipe is watched for a time-out by looking at it
// now and then; a file or NUL answers at once.
#include "stdinput.h"

#include <windows.h>

#include <algorithm>

#include "charset.h"
#include "charset_win32.h"

namespace {

// Taken before ConsoleOpen points the standard input at the console.
HANDLE Input = GetStdHandle(STD_INPUT_HANDLE);

constexpr DWORD PipeLookMs = 20;

// One byte of standard input; a pipe is waited for up to milliseconds
// (below 0: no limit), a read blocks otherwise.
InputRead ReadByte(char& byte, std::int64_t milliseconds)
{
    if (milliseconds >= 0 && GetFileType(Input) == FILE_TYPE_PIPE) {
        DWORD start = GetTickCount();
        DWORD available = 0;
        // A pipe whose writer is gone fails the look; the read tells the end.
        while (PeekNamedPipe(Input, nullptr, 0, nullptr, &available, nullptr) && available == 0) {
            std::int64_t left = milliseconds - static_cast<std::int64_t>(GetTickCount() - start);
            if (left <= 0)
                return InputRead::TimeUp;
            Sleep(static_cast<DWORD>(std::min<std::int64_t>(left, PipeLookMs)));
        }
    }
    DWORD read = 0;
    if (!ReadFile(Input, &byte, 1, &read, nullptr) || read != 1)
        return InputRead::End;
    return InputRead::Key;
}

}  // namespace

InputRead ReadInputKey(std::string& key, std::int32_t timeoutSeconds)
{
    key.clear();
    DWORD mode;
    if (GetConsoleMode(Input, &mode))
        return InputRead::End;
    char byte;
    InputRead read = ReadByte(byte, timeoutSeconds > 0 ? std::int64_t{timeoutSeconds} * 1000 : -1);
    if (read != InputRead::Key)
        return read;
    std::string bytes(1, byte);
    if (IsDBCSLeadByteEx(GetOEMCP(), static_cast<BYTE>(byte))) {
        if (ReadByte(byte, -1) != InputRead::Key)
            return InputRead::Key;  // cut off by the end: no character
        bytes += byte;
    }
    if (!LocaleIsUtf8()) {
        key = bytes;  // Windows 9x holds text in that code page
        return InputRead::Key;
    }
    wchar_t wide[2];
    int length = MultiByteToWideChar(CP_OEMCP, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                     wide, 2);
    if (length > 0)
        key = Utf8FromWide(std::wstring_view(wide, length));
    return InputRead::Key;
}

void WriteErrorLine(std::string_view line)
{
    std::string text(line);
    text += "\r\n";
    DWORD written;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}
