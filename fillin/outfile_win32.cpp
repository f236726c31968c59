// The output file on Windows. A disk file is replaced by a new file made
// in its folder: on NT by ReplaceFileW, which keeps the old file's
// attributes and security, on the Windows 9x family (which lacks it) by a
// delete and a move. A console or device name (CON, NUL, COM1) is written
// in place, and so is a disk file whose folder takes no new file, its old
// bytes kept until the new ones are all in. Names reach the system as
// UTF-16 on NT (the programs hold them as UTF-8), in the ANSI code page on
// 9x (held in the OEM one).
#include <windows.h>

#include <algorithm>
#include <string>

#include "charset.h"
#include "charset_win32.h"
#include "fillin.h"
#include "outfile.h"

namespace fillin {

namespace {

struct NewFile {
    HANDLE Handle = INVALID_HANDLE_VALUE;
    std::string Name;      // the file made beside the old one; empty for in place
    bool OverOld = false;  // a disk file written in place
};
NewFile File;

std::string FolderOf(const std::string& path)
{
    std::size_t slash = path.find_last_of("\\/:");
    if (slash == std::string::npos)
        return ".";
    if (path[slash] == ':' || slash == 0)
        return path.substr(0, slash + 1);  // "C:" or "\" itself
    return path.substr(0, slash);
}

HANDLE CreateNamed(const std::string& name, DWORD access, DWORD share, DWORD disposition, DWORD flags)
{
    if (LocaleIsUtf8())
        return CreateFileW(WideFromUtf8(name).c_str(), access, share, nullptr, disposition, flags, nullptr);
    return CreateFileA(AnsiFromOem(name).c_str(), access, share, nullptr, disposition, flags, nullptr);
}

DWORD AttributesOf(const std::string& name)
{
    if (LocaleIsUtf8())
        return GetFileAttributesW(WideFromUtf8(name).c_str());
    return GetFileAttributesA(AnsiFromOem(name).c_str());
}

bool DeleteNamed(const std::string& name)
{
    if (LocaleIsUtf8())
        return DeleteFileW(WideFromUtf8(name).c_str()) != 0;
    return DeleteFileA(AnsiFromOem(name).c_str()) != 0;
}

// 9x has no MoveFileEx: only a move onto a free name.
bool MoveNamed(const std::string& from, const std::string& to, DWORD flags)
{
    if (LocaleIsUtf8())
        return MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(), flags) != 0;
    return MoveFileA(AnsiFromOem(from).c_str(), AnsiFromOem(to).c_str()) != 0;
}

// A new file in the folder: the new file's own name (see OpenBeside).
std::string NewFileName(const std::string& path, unsigned count)
{
    std::string folder = FolderOf(path);
    if (folder.back() != '\\' && folder.back() != '/' && folder.back() != ':')
        folder += '\\';
    return folder + "fillin-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(count) + ".tmp";
}

// Whether the folder takes a new file is known only by making one: its
// permissions are the system's to judge. The probe goes at its close.
bool FolderTakesFiles(const std::string& path)
{
    HANDLE probe = CreateNamed(NewFileName(path, 0), GENERIC_WRITE, 0, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE);
    if (probe == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_EXISTS;  // left by an earlier run of this id
    CloseHandle(probe);
    return true;
}

using ReplaceFileFn = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID);

// Looked up rather than imported: the 9x family's kernel32 lacks it.
ReplaceFileFn FindReplaceFile()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? reinterpret_cast<ReplaceFileFn>(
                        reinterpret_cast<void*>(GetProcAddress(kernel, "ReplaceFileW")))
                  : nullptr;
}

// The name with its folder: Wine's ReplaceFile refuses relative names.
std::wstring FullPath(const std::string& name)
{
    std::wstring wide = WideFromUtf8(name);
    DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return wide;
    std::wstring full(size, L'\0');
    DWORD length = GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size)
        return wide;
    full.resize(length);
    return full;
}

// The bytes from the file's start on; the 32-bit calls, which the 9x family
// has too, are enough for a file of one line.
bool WriteFromStart(HANDLE file, std::string_view bytes)
{
    DWORD written = 0;
    return SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 &&
           (bytes.empty() ||
            (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
             written == bytes.size()));
}

bool CutAt(HANDLE file, DWORD length)
{
    return SetFilePointer(file, static_cast<LONG>(length), nullptr, FILE_BEGIN) == length && SetEndOfFile(file);
}

// The new bytes over the old ones, the file cut to their length only once
// they are all in; after a failure the old bytes and length again.
bool WriteOver(HANDLE file, std::string_view bytes)
{
    DWORD size = GetFileSize(file, nullptr);
    if (size == INVALID_FILE_SIZE)
        return false;
    std::string old(std::min<std::size_t>(size, bytes.size()), '\0');
    DWORD got = 0;
    if (!old.empty() && !ReadFile(file, &old[0], static_cast<DWORD>(old.size()), &got, nullptr))
        return false;
    old.resize(got);
    if (WriteFromStart(file, bytes) && CutAt(file, static_cast<DWORD>(bytes.size())) && FlushFileBuffers(file))
        return true;
    WriteFromStart(file, old);
    CutAt(file, size);
    return false;
}

}  // namespace

OutPlace FindOutPlace(const std::string& name)
{
    OutPlace place;
    place.Path = name;
    place.FolderTakesFiles = FolderTakesFiles(name);
    // Opening for writing without creating tells a device from a disk file
    // and a read-only file from a writable one, and changes nothing.
    HANDLE file = CreateNamed(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0);
    if (file != INVALID_HANDLE_VALUE) {
        place.Exists = true;
        place.Writable = true;
        place.Owned = true;  // -m changes no permissions here
        place.Regular = GetFileType(file) == FILE_TYPE_DISK;
        CloseHandle(file);
        file = CreateNamed(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0);
        place.Readable = file != INVALID_HANDLE_VALUE;
        if (place.Readable)
            CloseHandle(file);
        return place;
    }
    // A folder, a read-only file, one in use.
    place.Exists = AttributesOf(name) != INVALID_FILE_ATTRIBUTES;
    // Not there is one thing; a name the system refuses (too long, a
    // character it does not take) another: only making it tells.
    if (!place.Exists && place.FolderTakesFiles) {
        HANDLE probe = CreateNamed(name, GENERIC_WRITE, 0, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE);
        place.FolderTakesFiles = probe != INVALID_HANDLE_VALUE;
        if (place.FolderTakesFiles)
            CloseHandle(probe);
    }
    return place;
}

bool OpenInPlace(const OutPlace& place, bool)
{
    File = NewFile();
    File.OverOld = place.Regular;
    DWORD access = File.OverOld ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE;
    File.Handle = CreateNamed(place.Path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0);
    return File.Handle != INVALID_HANDLE_VALUE;
}

bool OpenBeside(const std::string& path)
{
    File = NewFile();
    // A name of our own that no other run has: the process id and a count.
    for (unsigned count = 0; count < 100; count++) {
        std::string name = NewFileName(path, count);
        File.Handle = CreateNamed(name, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
        if (File.Handle != INVALID_HANDLE_VALUE) {
            File.Name = name;
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

bool WriteAndClose(std::string_view bytes)
{
    DWORD written = 0;
    bool ok = File.OverOld ? WriteOver(File.Handle, bytes)
                           : bytes.empty() || (WriteFile(File.Handle, bytes.data(), static_cast<DWORD>(bytes.size()),
                                                         &written, nullptr) &&
                                               written == bytes.size());
    if (ok && !File.Name.empty())
        ok = FlushFileBuffers(File.Handle) != 0;
    bool closed = CloseHandle(File.Handle) != 0;
    File.Handle = INVALID_HANDLE_VALUE;
    return ok && closed;
}

bool PutInPlace(const OutPlace& place, bool)
{
    const std::string& from = File.Name;
    const std::string& to = place.Path;
    if (!place.Exists)
        return MoveNamed(from, to, 0);
    if (Platform.IsWin9x)
        return DeleteNamed(to) && MoveNamed(from, to, 0);
    if (ReplaceFileFn replace = FindReplaceFile())
        return replace(FullPath(to).c_str(), FullPath(from).c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                       nullptr, nullptr) != 0;
    DWORD attributes = AttributesOf(to);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(WideFromUtf8(from).c_str(), attributes);
    return MoveNamed(from, to, MOVEFILE_REPLACE_EXISTING);
}

void DropNewFile()
{
    if (!File.Name.empty())
        DeleteNamed(File.Name);
    File.Name.clear();
}

}  // namespace fillin
