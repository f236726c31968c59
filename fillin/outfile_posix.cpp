// The output file on POSIX. A symbolic link is followed to the file it
// names, which is the one replaced, so the link stays a link. The new file
// is a hidden one in the same folder (rename works only within one file
// system), made owner-only by mkstemp and given its final permissions just
// before the rename.
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "outfile.h"

namespace fillin {

namespace {

struct NewFile {
    int Fd = -1;
    std::string Name;  // the file made beside the old one; empty for in place
};
NewFile File;

std::string FolderOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A name under /dev or /proc (/dev/stdout, /dev/fd/3, /proc/self/fd/1)
// stands for a file the process has open, or a device: it is written
// through as it is, never replaced.
bool IsSystemName(const std::string& path)
{
    return path.rfind("/dev/", 0) == 0 || path.rfind("/proc/", 0) == 0;
}

// Where a chain of symbolic links ends; the name itself for any other name.
// Empty when the chain reaches a system name.
std::string FollowLinks(std::string path)
{
    for (int hops = 0; hops < 40; hops++) {
        if (IsSystemName(path))
            return {};
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            break;
        std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
        ssize_t length = readlink(path.c_str(), &target[0], target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size())
            break;
        target.resize(length);
        path = target[0] == '/' ? target : FolderOf(path) + "/" + target;
    }
    return path;
}

bool IsFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

OutPlace FindOutPlace(const std::string& name)
{
    OutPlace place;
    place.Path = FollowLinks(name);
    if (place.Path.empty()) {
        place.Path = name;
        place.Exists = access(name.c_str(), F_OK) == 0;
        place.Regular = false;
        place.Writable = access(name.c_str(), W_OK) == 0;
        return place;
    }
    std::string folder = FolderOf(place.Path);
    place.FolderTakesFiles = IsFolder(folder) && access(folder.c_str(), W_OK | X_OK) == 0;
    struct stat info;
    if (stat(place.Path.c_str(), &info) != 0) {
        // Not there is one thing; a name too long, a loop of links another.
        if (errno != ENOENT)
            place.FolderTakesFiles = false;
        return place;
    }
    place.Exists = true;
    place.Regular = S_ISREG(info.st_mode) || S_ISDIR(info.st_mode);
    place.Writable = !S_ISDIR(info.st_mode) && access(place.Path.c_str(), W_OK) == 0;
    return place;
}

bool OpenInPlace(const std::string& path)
{
    File = NewFile();
    File.Fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
    return File.Fd >= 0;
}

bool OpenBeside(const std::string& path)
{
    // A file-size limit must fail the write, so that the new file is
    // removed, rather than end the process.
    std::signal(SIGXFSZ, SIG_IGN);
    File = NewFile();
    std::string name = FolderOf(path) + "/.fillin-XXXXXX";
    File.Fd = mkstemp(&name[0]);
    if (File.Fd < 0)
        return false;
    File.Name = name;
    return true;
}

bool WriteAndClose(std::string_view bytes)
{
    bool written = true;
    while (written && !bytes.empty()) {
        ssize_t n = write(File.Fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        written = n > 0;
        if (written)
            bytes.remove_prefix(n);
    }
    // On the disk before it takes the old file's place.
    if (written && !File.Name.empty())
        written = fsync(File.Fd) == 0;
    bool closed = close(File.Fd) == 0;
    File.Fd = -1;
    return written && closed;
}

bool PutInPlace(const OutPlace& place, bool ownerOnly)
{
    struct stat old;
    bool hadOne = place.Exists && stat(place.Path.c_str(), &old) == 0;
    // The owner is kept where we may (root); a user's own file needs nothing.
    if (hadOne)
        (void)!chown(File.Name.c_str(), old.st_uid, old.st_gid);
    mode_t mode = 0600;
    if (!ownerOnly && hadOne) {
        mode = old.st_mode & 07777;
    } else if (!ownerOnly) {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    return chmod(File.Name.c_str(), mode) == 0 && rename(File.Name.c_str(), place.Path.c_str()) == 0;
}

void DropNewFile()
{
    if (!File.Name.empty())
        unlink(File.Name.c_str());
    File.Name.clear();
}

}  // namespace fillin
