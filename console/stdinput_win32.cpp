// Standard input in the OEM code page: there is no console whose code page
// could say otherwise. A read with a time-out runs in a thread of its own,
// which the wait watches: a pipe gives no other sign of data that works
// everywhere (Wine's pipes answer neither PeekNamedPipe nor a wait).
#include "stdinput.h"

#include <windows.h>

#include <algorithm>

#include "charset.h"
#include "charset_win32.h"

namespace {

// Taken before ConsoleOpen points the standard input at the console.
HANDLE Input = GetStdHandle(STD_INPUT_HANDLE);

struct ByteRead {
    char Byte = 0;
    bool Done = false;  // one byte came
};
ByteRead Timed;             // what the thread read
HANDLE Reader = nullptr;    // the thread, until its read is taken

bool ReadOne(ByteRead& read)
{
    DWORD count = 0;
    read.Done = ReadFile(Input, &read.Byte, 1, &count, nullptr) && count == 1;
    return read.Done;
}

DWORD WINAPI ReaderThread(LPVOID)
{
    ReadOne(Timed);
    return 0;
}

// One byte of standard input, waiting up to milliseconds (below 0: no
// limit). A read that the time left running is taken by the next call.
InputRead ReadByte(char& byte, std::int64_t milliseconds)
{
    ByteRead read;
    if (Reader == nullptr && milliseconds >= 0)
        Reader = CreateThread(nullptr, 0, ReaderThread, nullptr, 0, nullptr);
    if (Reader != nullptr) {
        DWORD wait = milliseconds < 0 ? INFINITE : static_cast<DWORD>(std::min<std::int64_t>(milliseconds, 0x7FFFFFFF));
        if (WaitForSingleObject(Reader, wait) == WAIT_TIMEOUT)
            return InputRead::TimeUp;
        CloseHandle(Reader);
        Reader = nullptr;
        read = Timed;
    } else {
        ReadOne(read);
    }
    byte = read.Byte;
    return read.Done ? InputRead::Key : InputRead::End;
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
