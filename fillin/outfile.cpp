// Writing the output file: a regular file is replaced in one step, so that
// whatever fails before (a full disk, a file-size limit) leaves the old
// file as it was; a device or a FIFO is written in place, and so is a file
// in a folder that takes no new one, which then gets its old bytes back
// after a failure. The system side
// is in outfile_posix.cpp and outfile_win32.cpp.
#include "fillin.h"
#include "outfile.h"

namespace fillin {

namespace {

bool WrittenInPlace(const OutPlace& place)
{
    // A file we may write in a folder we may not is written as before.
    return !place.Regular || (place.Exists && !place.FolderTakesFiles);
}

bool CanWrite(const OutPlace& place, bool ownerOnly)
{
    // An existing file that may not be written stays protected, even where
    // its folder would let a new one take its place.
    if (!place.Exists)
        return place.FolderTakesFiles;
    if (!place.Writable)
        return false;
    // Written over in place, a file must give back its old bytes if the
    // write fails, and be its owner's alone before a secret goes in.
    if (place.Regular && WrittenInPlace(place))
        return place.Readable && (place.Owned || !ownerOnly);
    return true;
}

}  // namespace

bool FileCanBeWritten(const std::string& name, bool ownerOnly)
{
    return CanWrite(FindOutPlace(name), ownerOnly);
}

FileWrite WriteWholeFile(const std::string& name, std::string_view bytes, bool ownerOnly)
{
    OutPlace place = FindOutPlace(name);
    if (!CanWrite(place, ownerOnly))
        return FileWrite::CannotOpen;
    if (WrittenInPlace(place)) {
        if (!OpenInPlace(place, ownerOnly))
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
