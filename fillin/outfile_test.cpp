#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fillin.h"

namespace {

using namespace fillin;
namespace fs = std::filesystem;

std::string Read(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A folder of its own, with one old file in it: in the current folder,
// which is the build's own (builds may run their tests side by side).
struct Folder {
    fs::path Path = fs::current_path() / "fillin_outfile_test";
    Folder()
    {
        fs::remove_all(Path);
        fs::create_directories(Path / "sub");
        std::ofstream(Path / "old.bat", std::ios::binary) << "old\r\n";
    }
    ~Folder() { fs::remove_all(Path); }
    std::size_t Entries() const
    {
        return std::distance(fs::directory_iterator(Path), fs::directory_iterator());
    }
};

TEST(FillinOutFile, WrittenWholeOrNotAtAll)
{
    struct Case {
        std::string Name;
        bool CanBeWritten;
        FileWrite Result;
        std::string Content;  // of the name afterwards; "-" where it is no file
    } cases[] = {
        {"new.bat", true, FileWrite::Written, "SET X=1\r\n"},
        {"old.bat", true, FileWrite::Written, "SET X=1\r\n"},
        {"sub", false, FileWrite::CannotOpen, "-"},
        {"missing/new.bat", false, FileWrite::CannotOpen, "-"},
        {"old.bat/new.bat", false, FileWrite::CannotOpen, "-"},
        {std::string(300, 'n'), false, FileWrite::CannotOpen, "-"},
    };
    for (const Case& c : cases) {
        Folder folder;
        std::string name = (folder.Path / c.Name).string();
        std::size_t before = folder.Entries();
        EXPECT_EQ(FileCanBeWritten(name, false), c.CanBeWritten) << c.Name;
        EXPECT_EQ(WriteWholeFile(name, "SET X=1\r\n", false), c.Result) << c.Name;
        if (c.Content != "-") {
            EXPECT_EQ(Read(name), c.Content) << c.Name;
        }
        // Nothing left beside it: one entry more only for a new file.
        EXPECT_EQ(folder.Entries(), before + (c.Name == "new.bat")) << c.Name;
        EXPECT_EQ(Read(folder.Path / "old.bat"), c.Name == "old.bat" ? c.Content : "old\r\n") << c.Name;
    }
}

}  // namespace
