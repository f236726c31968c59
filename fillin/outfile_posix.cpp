// The output file on POSIX. A symbolic link is followed to the file it
// names, which is the one replaced, so the link stays a link. The new file
// is a hidden one in the same folder (rename works only within one file
// system), made owner-only by mkstemp and given its final permissions just
// before the rename. A file written in place keeps in memory the old bytes
// that the new ones cover. A file-size limit fails a write (SIGXFSZ is
// ignored from the start) rather than end the process.
#include <algorithm>
#include <cerrno>
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
    std::string Name;       // the file made beside the old one; empty for in place
    bool OverOld = false;   // a regular file written in place
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

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(n);
    }
    return true;
}

// Fills bytes from the file's start; false when it cannot be read.
bool ReadStart(int fd, std::string& bytes)
{
    std::size_t got = 0;
    while (got < bytes.size()) {
        ssize_t n = pread(fd, &bytes[got], bytes.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += n;
    }
    bytes.resize(got);
    return true;
}

// The new bytes over the old ones, the file cut to their length only once
// they are all in; after a failure the old bytes and length again.
bool WriteOver(int fd, std::string_view bytes)
{
    struct stat info;
    if (fstat(fd, &info) != 0)
        return false;
    std::string old(std::min(static_cast<std::size_t>(info.st_size), bytes.size()), '\0');
    if (!ReadStart(fd, old))
        return false;
    if (lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes) &&
        ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && fsync(fd) == 0)
        return true;
    // The old bytes go back where they were, which takes no new room.
    if (lseek(fd, 0, SEEK_SET) == 0)
        (void)WriteAll(fd, old);
    (void)!ftruncate(fd, info.st_size);
    return false;
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
    place.Readable = access(place.Path.c_str(), R_OK) == 0;
    place.Owned = info.st_uid == geteuid() || geteuid() == 0;
    return place;
}

bool OpenInPlace(const OutPlace& place, bool ownerOnly)
{
    File = NewFile();
    // A device or a FIFO as ever: opened for reading too, a FIFO would be
    // its own reader.
    File.OverOld = place.Regular;
    File.Fd = open(place.Path.c_str(), (File.OverOld ? O_RDWR : O_WRONLY | O_TRUNC) | O_NOCTTY | O_CLOEXEC);
    if (File.Fd < 0)
        return false;
    if (File.OverOld && ownerOnly && fchmod(File.Fd, 0600) != 0) {
        close(File.Fd);
        return false;
    }
    return true;
}

bool OpenBeside(const std::string& path)
{
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
    bool written = File.OverOld ? WriteOver(File.Fd, bytes) : WriteAll(File.Fd, bytes);
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
