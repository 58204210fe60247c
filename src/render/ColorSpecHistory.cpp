#include "render/ColorSpecHistory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/AppFrame.h"
#include "document/storage/DocNameList.h"
#include "document/storage/DocStream.h"
#include "document/stream/ObjectStream.h"
#include "platform/BoundedReader.h"
#include "platform/Graphic.h"
#include "platform/PictureCodecs.h"

namespace kestrel {

namespace {

const QString NameListPath = QStringLiteral("ColorSpec\\NameList");
const QString PreviewFolder = QStringLiteral("Preview\\");
constexpr QByteArrayView FrameName = "TColorSpecWrapper";

QByteArray SpecStreamBytes(const TColorSpec& spec)
{
    TColorSpecWrapper wrapper;
    wrapper.ColorSpec().Assign(spec);
    QByteArray out;
    WriteObjectRes(out, FrameName, wrapper);
    return out;
}

QByteArray PreviewData(const QImage& preview)
{
    QByteArray out;
    if (!preview.isNull()) WriteGraphicData(out, TGraphic(TGraphicClass::gcPng, EncodePng(preview)));
    return out;
}

// Entries named after the key: the key itself, then key-1, key-2, ... for colour specs whose
// key collides with an earlier one.
bool IsKeyEntry(const QString& name, const QString& key)
{
    if (name == key) return true;
    if (!name.startsWith(key + u'-')) return false;
    bool number = false;
    name.mid(key.size() + 1).toInt(&number);
    return number;
}

QString FreeEntryName(const TDocNameList& list, const QString& key)
{
    if (list.IndexOf(key) < 0) return key;
    for (int n = 1;; ++n)
        if (const QString name = key + u'-' + QString::number(n); list.IndexOf(name) < 0) return name;
}

}  // namespace

const TClassInfo& TColorSpecWrapper::StaticClass()
{
    static const TClassInfo info("TColorSpecWrapper", &TComponent::StaticClass(), FactoryOf<TColorSpecWrapper>(), [] {
        return TPropsOf<TColorSpecWrapper>().Nested("ColorSpec", &TColorSpecWrapper::SpecObject).Done();
    });
    return info;
}

const TClassInfo& TColorSpecHistory::StaticClass()
{
    static const TClassInfo info("TColorSpecHistory", &TComponent::StaticClass(), FactoryOf<TColorSpecHistory>(), [] {
        return TPropsOf<TColorSpecHistory>()
            .Int("Limit", &TColorSpecHistory::Limit, &TColorSpecHistory::SetLimit, 10)
            .String("Filename", &TColorSpecHistory::Filename, &TColorSpecHistory::SetFilename)
            .Done();
    });
    return info;
}

QString TColorSpecHistory::FilePath() const
{
    return ExpandMacro(filename_);
}

QImage TColorSpecHistory::RenderPreview(const TColorSpec& spec)
{
    QImage preview(PreviewSize, PreviewSize, QImage::Format_RGB32);
    preview.fill(Qt::white);
    TCanvas canvas(preview);
    spec.FillRect(canvas, {0, 0, PreviewSize, PreviewSize});
    return preview;
}

QString TColorSpecHistory::Key(const TColorSpec& spec, const QImage& preview)
{
    TColorSpecWrapper wrapper;
    wrapper.ColorSpec().Assign(spec);
    wrapper.ColorSpec().SetPicture(QImage());
    QByteArray bytes;
    WriteObject(bytes, wrapper);
    bytes += PreviewData(preview);
    bytes += QByteArray(4, '\0');
    TBoundedReader in(bytes);
    uint64_t h = 0;
    for (qsizetype i = 0; i < bytes.size() / 4; ++i)
        h = (h << 1) ^ static_cast<uint64_t>(static_cast<int64_t>(in.ReadI32()));
    return QString::number(static_cast<int64_t>(h));
}

void TColorSpecHistory::Add(const TColorSpec& spec)
{
    const QImage preview = RenderPreview(spec);
    const QString key = Key(spec, preview);
    const QByteArray specBytes = SpecStreamBytes(spec);

    const QString path = FilePath();
    const bool exists = QFileInfo::exists(path);
    if (!exists) QDir().mkpath(QFileInfo(path).absolutePath());
    TFileStorage file(path, exists ? ModeReadWrite | ShareExclusive : ModeCreate);
    TDocStreamList list;
    list.Open(file, NameListPath);

    // The key is a short hash: an entry under it only counts when it holds the same bytes.
    for (int i = 0; i < list.Count(); ++i) {
        if (!IsKeyEntry(list.Name(i), key) || !list.Exists(i)) continue;
        if (list.OpenStream(i, ModeRead | ShareExclusive)->ReadAll() != specBytes) continue;
        list.Move(i, 0);
        file.Close();
        return;
    }
    const QString name = FreeEntryName(list, key);
    list.Insert(0, name);
    list.OpenStream(0, ModeCreate)->WriteAll(specBytes);
    TDocStream::Open(file, ModeCreate, PreviewFolder + name)->WriteAll(PreviewData(preview));
    while (list.Count() > std::max(1, limit_)) {
        const int last = list.Count() - 1;
        file.DeleteElement(PreviewFolder + list.Name(last));
        list.Delete(last);
    }
    file.Close();
}

int TColorSpecHistory::Count() const
{
    try {
        TFileStorage file(FilePath(), ModeRead | ShareExclusive);
        TDocStreamList list;
        list.Open(file, NameListPath);
        return list.Count();
    } catch (const EKestrel&) {
        return 0;
    }
}

void TColorSpecHistory::Read(int i, TColorSpec& spec) const
{
    TFileStorage file(FilePath(), ModeRead | ShareExclusive);
    TDocStreamList list;
    list.Open(file, NameListPath);
    const QByteArray bytes = list.OpenStream(i, ModeRead | ShareExclusive)->ReadAll();
    TBoundedReader in(bytes);
    TColorSpecWrapper wrapper;
    ReadObjectResInto(in, wrapper);
    spec.Assign(wrapper.ColorSpec());
}

QImage TColorSpecHistory::Preview(int i) const
{
    try {
        TFileStorage file(FilePath(), ModeRead | ShareExclusive);
        TDocStreamList list;
        list.Open(file, NameListPath);
        const QByteArray bytes = TDocStream::Open(file, ModeRead | ShareExclusive, PreviewFolder + list.Name(i))->ReadAll();
        TBoundedReader in(bytes);
        return ReadGraphicData(in).Image();
    } catch (const EKestrel&) {
        return {};
    }
}

void TColorSpecHistory::Clear()
{
    QFile::remove(FilePath());
}

}  // namespace kestrel
