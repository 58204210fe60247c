#include "document/storage/FramedObjects.h"

#include "document/storage/DocStream.h"
#include "platform/BoundedReader.h"

namespace kestrel {

void WriteFramedObject(TDocStorage& storage, const QString& name, const TComponent& object)
{
    QByteArray bytes;
    WriteObjectRes(bytes, name.toLatin1(), object);
    TDocStream::Open(storage, ModeCreate, name)->WriteAll(bytes);
}

void ReadFramedObjectInto(TDocStorage& storage, const QString& name, TComponent& object, const TReadOptions& options)
{
    const auto stream = TDocStream::Open(storage, ModeRead, name);
    const QByteArray bytes = stream->ReadAll();
    TBoundedReader in(bytes);
    ReadingStream(stream->Path(), [&] { ReadObjectResInto(in, object, options); });
}

std::unique_ptr<TComponent> ReadFramedObject(TDocStorage& storage, const QString& name, const TReadOptions& options)
{
    const auto stream = TDocStream::Open(storage, ModeRead, name);
    const QByteArray bytes = stream->ReadAll();
    TBoundedReader in(bytes);
    return ReadingStream(stream->Path(), [&] { return ReadObjectRes(in, options); });
}

}  // namespace kestrel
