// Audio file tags and times: the bytes as an MPEG or WAVE file, read as the folder import does.
#include "fuzz/FuzzTarget.h"
#include "music/Mp3FileInfo.h"

KESTREL_FUZZ_TARGET(Tags)
{
    kestrel::TMP3FileInfo info;
    info.SetFileName(QStringLiteral("fuzz.mp3"));
    kestrel::TMemorySource source(data.toByteArray());
    info.Read(source);
}
