// A picture list file of a folder pack: headings, comments, FOLDER lines and files.
#include "fuzz/FuzzTarget.h"
#include "imaging/ImagePack.h"

KESTREL_FUZZ_TARGET(ImageList)
{
    kestrel::TFolderImagePack pack;
    pack.SetFileMask(kestrel::fuzz::WriteInputFile(data, QStringLiteral(".lst")));
    if (pack.GetCount() != int(kestrel::TFolderImagePack::ReadListFile(pack.FileMask()).size()))
        qFatal("the pack does not list what its list file names");
}
