// The Windows console's characters. On the NT family text inside the
// programs is UTF-8, converted at the edges (command line, environment,
// keys, output, the batch file); a character is one code point, as wide as
// the console draws it. Windows 9x keeps the console's code page: one byte,
// or a double-byte character's lead and trail byte, is one character.
#include "charset.h"
#include "charset_win32.h"

#include <windows.h>

#include <unordered_map>

namespace {

struct CharsetState {
    int Utf8 = -1;               // -1: not decided yet
    unsigned LeadCodePage = 0;   // double-byte code page of the ANSI path
    HANDLE Measure = nullptr;    // hidden screen buffer; INVALID: none to be had
    std::unordered_map<char32_t, unsigned char> Widths;
};
CharsetState Charset;

unsigned OutputCodePage()
{
    unsigned codePage = GetConsoleOutputCP();
    return codePage != 0 ? codePage : GetOEMCP();
}

void Decide()
{
    // The high bit of GetVersion is set on Windows 9x.
    Charset.Utf8 = (GetVersion() & 0x80000000u) == 0 ? 1 : 0;
    Charset.LeadCodePage = Charset.Utf8 ? 0 : OutputCodePage();
}

bool IsLeadByte(unsigned char c)
{
    return Charset.LeadCodePage != 0 && c >= 0x80 && IsDBCSLeadByteEx(Charset.LeadCodePage, c);
}

// The cells the console gives a character: written once into a screen
// buffer nobody sees, measured by where its cursor went.
int MeasuredWidth(char32_t code, std::string_view character)
{
    auto known = Charset.Widths.find(code);
    if (known != Charset.Widths.end())
        return known->second;
    if (Charset.Measure == nullptr) {
        Charset.Measure = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                    nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
    }
    int width = 1;  // no console: nothing draws it, one cell stands
    if (Charset.Measure != INVALID_HANDLE_VALUE) {
        std::wstring wide = WideFromUtf8(character);
        COORD home = {0, 0};
        CONSOLE_SCREEN_BUFFER_INFO info;
        DWORD written;
        if (SetConsoleCursorPosition(Charset.Measure, home) &&
            WriteConsoleW(Charset.Measure, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) &&
            GetConsoleScreenBufferInfo(Charset.Measure, &info) && info.dwCursorPosition.Y == 0)
            width = info.dwCursorPosition.X > 2 ? 2 : info.dwCursorPosition.X;
    }
    Charset.Widths[code] = static_cast<unsigned char>(width);
    return width;
}

}  // namespace

std::wstring WideFromUtf8(std::string_view text)
{
    if (text.empty())
        return {};
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}

std::string Utf8FromWide(std::wstring_view text)
{
    if (text.empty())
        return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string utf8(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], size, nullptr, nullptr);
    return utf8;
}

std::string AnsiFromOem(const std::string& oem)
{
    std::string ansi(oem);
    if (!ansi.empty())
        OemToCharBuffA(oem.data(), &ansi[0], static_cast<DWORD>(oem.size()));
    return ansi;
}

void SetLeadByteCodePage(unsigned codePage)
{
    Charset.LeadCodePage = codePage;
}

bool LocaleIsUtf8()
{
    if (Charset.Utf8 < 0)
        Decide();
    return Charset.Utf8 == 1;
}

void SetLocaleIsUtf8(int utf8)
{
    Charset.Utf8 = utf8;
    Charset.LeadCodePage = 0;
    if (utf8 < 0)
        Decide();
}

std::size_t CharLength(std::string_view text)
{
    if (!LocaleIsUtf8())
        return text.size() >= 2 && IsLeadByte(text[0]) ? 2 : 1;
    char32_t code;
    std::size_t length;
    return DecodeUtf8(text, code, length) == Utf8Status::Valid ? length : 1;
}

int CharWidth(std::string_view character)
{
    unsigned char c = character[0];
    if (c < 0x20 || c == 0x7F)
        return 0;
    if (!LocaleIsUtf8())
        return character.size() == 2 ? 2 : 1;
    char32_t code;
    std::size_t length;
    if (DecodeUtf8(character, code, length) != Utf8Status::Valid || (code >= 0x80 && code <= 0x9F))
        return 0;
    return code < 0x80 ? 1 : MeasuredWidth(code, character.substr(0, length));
}

std::string UpperCaseText(std::string_view text)
{
    if (LocaleIsUtf8()) {
        // The system's simple mapping, one UTF-16 unit for one.
        std::wstring wide = WideFromUtf8(text);
        if (!wide.empty())
            CharUpperBuffW(&wide[0], static_cast<DWORD>(wide.size()));
        return Utf8FromWide(wide);
    }
    std::string result(text);
    for (std::size_t i = 0; i < result.size(); i += CharLength(std::string_view(result).substr(i))) {
        if (result[i] >= 'a' && result[i] <= 'z')
            result[i] = static_cast<char>(result[i] - 'a' + 'A');
    }
    return result;
}

std::string OutputCodePageText(std::string_view text, bool& lossless)
{
    lossless = true;
    unsigned codePage = OutputCodePage();
    if (!LocaleIsUtf8() || codePage == CP_UTF8 || text.empty())
        return std::string(text);
    std::wstring wide = WideFromUtf8(text);
    int count = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), count, nullptr, 0, nullptr,
                                   &usedDefault);
    DWORD flags = WC_NO_BEST_FIT_CHARS;
    if (size == 0) {
        flags = 0;  // code pages that take no flags: the round trip below tells
        size = WideCharToMultiByte(codePage, 0, wide.data(), count, nullptr, 0, nullptr, nullptr);
    }
    std::string bytes(size, '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), count, &bytes[0], size, nullptr,
                        flags != 0 ? &usedDefault : nullptr);
    int back = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring again(back, L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, &again[0], back);
    lossless = !usedDefault && again == wide;
    return bytes;
}
