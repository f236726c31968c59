// Test-only: prints the version information of each file named on the
// command line as Windows reads it (GetFileVersionInfo, the language of the
// first translation listed): one "name: value" line per field, the fixed
// file version first. Exit code 1 when a file has none.
#include <windows.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    static const char* const names[] = {"ProductName", "FileDescription", "FileVersion", "ProductVersion",
                                        "LegalCopyright", "OriginalFilename"};
    int code = 0;
    for (int i = 1; i < argc; ++i) {
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeA(argv[i], &ignored);
        std::vector<char> block(size);
        VS_FIXEDFILEINFO* fixed = nullptr;
        WORD* translation = nullptr;
        UINT length = 0;
        if (size == 0 || !GetFileVersionInfoA(argv[i], 0, size, block.data()) ||
            !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
            !VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                            &length) || length < 4) {
            std::printf("%s: no version information\n", argv[i]);
            code = 1;
            continue;
        }
        std::printf("FILEVERSION: %u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS),
                    LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                    LOWORD(fixed->dwFileVersionLS));
        for (const char* name : names) {
            char path[80];
            std::snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], name);
            char* value = nullptr;
            if (VerQueryValueA(block.data(), path, reinterpret_cast<void**>(&value), &length) && length > 0)
                std::printf("%s: %s\n", name, value);
            else
                std::printf("%s: missing\n", name);
        }
    }
    return code;
}
