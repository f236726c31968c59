#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fillin.h"

namespace {

using namespace fillin;
namespace fs = std::filesystem;

std::string Read(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

mode_t ModeOf(const fs::path& path)
{
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

struct Folder {
    fs::path Path = fs::current_path() / "fillin_outfile_posix_test";
    Folder()
    {
        fs::remove_all(Path);
        fs::create_directories(Path);
        std::ofstream(Path / "old.sh") << "export X='old'\n";
        chmod((Path / "old.sh").c_str(), 0640);
        fs::create_symlink("old.sh", Path / "link.sh");
    }
    ~Folder() { fs::remove_all(Path); }
    std::size_t Entries() const
    {
        return std::distance(fs::directory_iterator(Path), fs::directory_iterator());
    }
};

// The permission bits: kept when replaced, the umask's for a new file,
// the owner's alone with -m either way. A link stays a link.
TEST(FillinOutFilePosix, Permissions)
{
    mode_t mask = umask(022);
    struct Case {
        const char* Name;
        bool OwnerOnly;
        const char* File;  // that holds the new content
        mode_t Mode;
    } cases[] = {
        {"old.sh", false, "old.sh", 0640},
        {"old.sh", true, "old.sh", 0600},
        {"new.sh", false, "new.sh", 0644},
        {"new.sh", true, "new.sh", 0600},
        {"link.sh", false, "old.sh", 0640},
    };
    for (const Case& c : cases) {
        Folder folder;
        EXPECT_EQ(WriteWholeFile((folder.Path / c.Name).string(), "new\n", c.OwnerOnly), FileWrite::Written);
        EXPECT_EQ(Read(folder.Path / c.File), "new\n") << c.Name;
        EXPECT_EQ(ModeOf(folder.Path / c.File), c.Mode) << c.Name;
        EXPECT_TRUE(fs::is_symlink(folder.Path / "link.sh")) << c.Name;
    }
    umask(mask);
}

// A device, and a file the process has open (/dev/fd/N, as /dev/stdout
// is), are written through in place: the same file afterwards.
TEST(FillinOutFilePosix, WrittenInPlace)
{
    Folder folder;
    int fd = open((folder.Path / "old.sh").c_str(), O_RDONLY);
    fs::create_symlink("/dev/null", folder.Path / "null.sh");
    std::string names[] = {"/dev/null", (folder.Path / "null.sh").string(), "/dev/fd/" + std::to_string(fd)};
    for (const std::string& name : names) {
        struct stat before {}, after {};
        stat(name.c_str(), &before);
        EXPECT_EQ(WriteWholeFile(name, "new\n", true), FileWrite::Written) << name;
        stat(name.c_str(), &after);
        EXPECT_EQ(before.st_ino, after.st_ino) << name;
        EXPECT_EQ(before.st_mode, after.st_mode) << name;
    }
    EXPECT_EQ(Read(folder.Path / "old.sh"), "new\n");
    close(fd);
}

}  // namespace
