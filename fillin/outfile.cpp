// Writing the output file: a regular file is replaced in one step, so that
// whatever fails before (a full disk, a file-size limit) leaves the old
// file as it was; a device or a FIFO is written in place. The system side
// is in outfile_posix.cpp and outfile_win32.cpp.
#include "fillin.h"
#include "outfile.h"

namespace fillin {

namespace {

bool CanWrite(const OutPlace& place)
{
    // An existing file that may not be written stays protected, even where
    // its folder would let a new one take its place.
    return place.Exists ? place.Writable : place.FolderTakesFiles;
}

bool WrittenInPlace(const OutPlace& place)
{
    // A file we may write in a folder we may not is written as before.
    return !place.Regular || (place.Exists && !place.FolderTakesFiles);
}

}  // namespace

bool FileCanBeWritten(const std::string& name)
{
    return CanWrite(FindOutPlace(name));
}

FileWrite WriteWholeFile(const std::string& name, std::string_view bytes, bool ownerOnly)
{
    OutPlace place = FindOutPlace(name);
    if (!CanWrite(place))
        return FileWrite::CannotOpen;
    if (WrittenInPlace(place)) {
        if (!OpenInPlace(place.Path))
            return FileWrite::CannotOpen;
        return WriteAndClose(bytes) ? FileWrite::Written : FileWrite::Failed;
    }
    if (!OpenBeside(place.Path))
        return FileWrite::CannotOpen;
    if (WriteAndClose(bytes) && PutInPlace(place, ownerOnly))
        return FileWrite::Written;
    DropNewFile();
    return FileWrite::Failed;
}

}  // namespace fillin
