// Writing version-3 compound files. Everything is laid out contiguously: FAT, DIFAT, directory,
// mini FAT, mini stream, then each large stream in one run of sectors, so that every chain is a
// plain run and stream bytes go out in one write each.

#include <QFileInfo>
#include <cstring>
#include <new>
#include <vector>

#include "platform/ReplacingFile.h"
#include "platform/SystemErrorText.h"
#include "platform/cfb/CfbFormat.h"
#include "platform/cfb/CompoundFile.h"

namespace kestrel {

using namespace cfbformat;

namespace {
constexpr qint64 SectorSize = 512;
constexpr uint32_t FatPerSector = SectorSize / 4;
constexpr uint32_t DifatPerSector = FatPerSector - 1;
constexpr int EntriesPerSector = SectorSize / DirEntrySize;
constexpr uint32_t MiniPerSector = SectorSize / 4;

uint32_t SectorsFor(qint64 bytes, qint64 unit)
{
    return static_cast<uint32_t>((bytes + unit - 1) / unit);
}

struct TOutEntry {
    const TCfbElement* element = nullptr;
    uint32_t left = NoStream;
    uint32_t right = NoStream;
    uint32_t child = NoStream;
    uint8_t color = ColorBlack;
    uint32_t start = EndOfChain;
    uint64_t size = 0;
};

// Where bytes go: a file or a buffer.
class TSink {
public:
    virtual ~TSink() = default;
    virtual void Write(const char* data, qint64 size) = 0;
    void WriteZeros(qint64 size)
    {
        static const char zeros[SectorSize] = {};
        for (; size > 0; size -= SectorSize)
            Write(zeros, std::min(size, SectorSize));
    }
};

class TBufferSink final : public TSink {
public:
    explicit TBufferSink(QByteArray& out) : out_(out) {}
    void Write(const char* data, qint64 size) override { out_.append(data, size); }

private:
    QByteArray& out_;
};

class TFileSink final : public TSink {
public:
    TFileSink(QFileDevice& file, QString name) : file_(file), name_(std::move(name)) {}
    void Write(const char* data, qint64 size) override
    {
        if (file_.write(data, size) != size)
            ThrowStorageError(TStorageErrorCode::WriteFault, name_, FileErrorText(file_));
    }

private:
    QFileDevice& file_;
    QString name_;
};

void PutU16(char* at, uint16_t v) { std::memcpy(at, &v, 2); }
void PutU32(char* at, uint32_t v) { std::memcpy(at, &v, 4); }
void PutU64(char* at, uint64_t v) { std::memcpy(at, &v, 8); }

class TCfbWriter {
public:
    explicit TCfbWriter(const TCfbStorage& root)
    {
        CollectEntries(root);
        PlaceStreams();
        PlaceMetadata();
    }

    qint64 FileSize() const { return (static_cast<qint64>(totalSectors_) + 1) * SectorSize; }

    void WriteTo(TSink& sink) const
    {
        QByteArray head = Header();
        head += FatAndDifat();
        head += Directory();
        head += MiniFat();
        sink.Write(head.constData(), head.size());
        for (const TOutEntry* e : miniStreams_)
            WritePadded(sink, e, MiniSectorSize);
        sink.WriteZeros(static_cast<qint64>(miniStreamSectors_) * SectorSize - static_cast<qint64>(miniSectors_) * MiniSectorSize);
        for (const TOutEntry* e : largeStreams_)
            WritePadded(sink, e, SectorSize);
    }

private:
    // Directory entries in the order storages are visited; each storage's children get
    // consecutive numbers and form a balanced red-black tree.
    void CollectEntries(const TCfbStorage& root)
    {
        entries_.push_back({&root});
        std::vector<size_t> storages{0};
        while (!storages.empty()) {
            const size_t parent = storages.back();
            storages.pop_back();
            const auto& children = static_cast<const TCfbStorage*>(entries_[parent].element)->Children();
            const size_t first = entries_.size();
            for (const auto& child : children) {
                entries_.push_back({child.second.get()});
                if (child.second->IsStorage())
                    storages.push_back(entries_.size() - 1);
            }
            entries_[parent].child = BuildTree(first, entries_.size(), 0, TreeHeight(children.size()));
        }
    }

    static int TreeHeight(size_t count)
    {
        int levels = 0;
        for (; count > 0; count >>= 1)
            ++levels;
        return levels - 1;
    }

    // Middle split keeps every empty link at the last two levels; colouring the nodes of the
    // deepest level red (below a black root) gives every path the same number of black nodes.
    uint32_t BuildTree(size_t begin, size_t end, int depth, int deepest)
    {
        if (begin >= end)
            return NoStream;
        const size_t middle = begin + (end - begin) / 2;
        TOutEntry& node = entries_[middle];
        node.color = depth > 0 && depth == deepest ? ColorRed : ColorBlack;
        node.left = BuildTree(begin, middle, depth + 1, deepest);
        node.right = BuildTree(middle + 1, end, depth + 1, deepest);
        return static_cast<uint32_t>(middle);
    }

    void PlaceStreams()
    {
        for (TOutEntry& e : entries_) {
            if (e.element->IsStorage())
                continue;
            const qint64 size = static_cast<const TCfbStream*>(e.element)->Size();
            e.size = static_cast<uint64_t>(size);
            if (size == 0)
                continue;
            if (static_cast<uint64_t>(size) < MiniStreamCutoff) {
                e.start = miniSectors_;
                miniSectors_ += SectorsFor(size, MiniSectorSize);
                miniStreams_.push_back(&e);
            } else {
                e.start = largeSectors_;  // relative until the metadata is placed
                largeSectors_ += SectorsFor(size, SectorSize);
                largeStreams_.push_back(&e);
            }
        }
    }

    void PlaceMetadata()
    {
        dirSectors_ = SectorsFor(static_cast<qint64>(entries_.size()) * DirEntrySize, SectorSize);
        miniFatSectors_ = SectorsFor(static_cast<qint64>(miniSectors_) * 4, SectorSize);
        miniStreamSectors_ = SectorsFor(static_cast<qint64>(miniSectors_) * MiniSectorSize, SectorSize);
        const uint64_t others = uint64_t(dirSectors_) + miniFatSectors_ + miniStreamSectors_ + largeSectors_;
        // The FAT must also describe its own sectors and those of the DIFAT.
        uint64_t fat = 0, difat = 0;
        while (fat * FatPerSector < others + fat + difat) {
            ++fat;
            difat = fat > HeaderDifatCount ? (fat - HeaderDifatCount + DifatPerSector - 1) / DifatPerSector : 0;
        }
        if (others + fat + difat >= MaxRegularSector)
            ThrowStorageError(TStorageErrorCode::DocFileTooLarge, QStringLiteral("Root Entry"));
        fatSectors_ = static_cast<uint32_t>(fat);
        difatSectors_ = static_cast<uint32_t>(difat);
        firstDir_ = fatSectors_ + difatSectors_;
        firstMiniFat_ = firstDir_ + dirSectors_;
        firstMiniStream_ = firstMiniFat_ + miniFatSectors_;
        const uint32_t firstLarge = firstMiniStream_ + miniStreamSectors_;
        totalSectors_ = firstLarge + largeSectors_;
        for (TOutEntry* e : largeStreams_)
            e->start += firstLarge;
        TOutEntry& root = entries_[0];
        root.start = miniSectors_ ? firstMiniStream_ : EndOfChain;
        root.size = static_cast<uint64_t>(miniSectors_) * MiniSectorSize;
    }

    static void Chain(std::vector<uint32_t>& table, uint32_t first, uint32_t count)
    {
        if (count == 0)
            return;
        uint32_t* at = table.data() + first;
        for (uint32_t i = 1; i < count; ++i)
            *at++ = first + i;
        *at = EndOfChain;
    }

    QByteArray Header() const
    {
        QByteArray h(HeaderSize, '\0');
        char* p = h.data();
        std::memcpy(p, Signature, sizeof Signature);
        PutU16(p + 0x18, MinorVersion);
        PutU16(p + 0x1A, 3);
        PutU16(p + 0x1C, ByteOrderMark);
        PutU16(p + 0x1E, 9);
        PutU16(p + 0x20, 6);
        PutU32(p + 0x2C, fatSectors_);
        PutU32(p + 0x30, firstDir_);
        PutU32(p + 0x38, MiniStreamCutoff);
        PutU32(p + 0x3C, miniFatSectors_ ? firstMiniFat_ : EndOfChain);
        PutU32(p + 0x40, miniFatSectors_);
        PutU32(p + 0x44, difatSectors_ ? fatSectors_ : EndOfChain);
        PutU32(p + 0x48, difatSectors_);
        for (uint32_t i = 0; i < HeaderDifatCount; ++i)
            PutU32(p + HeaderDifatOffset + 4 * i, i < fatSectors_ ? i : FreeSector);
        return h;
    }

    QByteArray FatAndDifat() const
    {
        std::vector<uint32_t> fat(static_cast<size_t>(fatSectors_) * FatPerSector, FreeSector);
        std::fill_n(fat.begin(), fatSectors_, FatSector);
        std::fill_n(fat.begin() + fatSectors_, difatSectors_, DifatSector);
        Chain(fat, firstDir_, dirSectors_);
        Chain(fat, firstMiniFat_, miniFatSectors_);
        Chain(fat, firstMiniStream_, miniStreamSectors_);
        for (const TOutEntry* e : largeStreams_)
            Chain(fat, e->start, SectorsFor(static_cast<qint64>(e->size), SectorSize));

        // DIFAT sectors list the FAT sectors beyond the header's 109; the last word links on.
        std::vector<uint32_t> difat(static_cast<size_t>(difatSectors_) * FatPerSector, FreeSector);
        for (uint32_t i = HeaderDifatCount; i < fatSectors_; ++i) {
            const uint32_t k = i - HeaderDifatCount;
            difat[(k / DifatPerSector) * FatPerSector + k % DifatPerSector] = i;
        }
        for (uint32_t d = 0; d < difatSectors_; ++d)
            difat[d * FatPerSector + DifatPerSector] = d + 1 < difatSectors_ ? fatSectors_ + d + 1 : EndOfChain;

        QByteArray out;
        out.reserve((fat.size() + difat.size()) * 4);
        out.append(reinterpret_cast<const char*>(fat.data()), fat.size() * 4);
        out.append(reinterpret_cast<const char*>(difat.data()), difat.size() * 4);
        return out;
    }

    QByteArray Directory() const
    {
        QByteArray dir(static_cast<qsizetype>(dirSectors_) * SectorSize, '\0');
        for (size_t i = 0; i < static_cast<size_t>(dirSectors_) * EntriesPerSector; ++i) {
            char* p = dir.data() + i * DirEntrySize;
            if (i >= entries_.size()) {
                PutU32(p + EntryLeft, NoStream);
                PutU32(p + EntryRight, NoStream);
                PutU32(p + EntryChild, NoStream);
                continue;
            }
            EncodeEntry(entries_[i], i == 0, p);
        }
        return dir;
    }

    static void EncodeEntry(const TOutEntry& e, bool isRoot, char* p)
    {
        const TCfbElement& element = *e.element;
        const QString& name = element.Name();
        const int length = std::min<int>(name.size(), MaxElementNameLength);
        std::memcpy(p, name.utf16(), length * 2);
        PutU16(p + EntryNameLength, static_cast<uint16_t>((length + 1) * 2));
        p[EntryType] = static_cast<char>(isRoot ? TypeRoot : element.IsStorage() ? TypeStorage : TypeStream);
        p[EntryColor] = static_cast<char>(e.color);
        PutU32(p + EntryLeft, e.left);
        PutU32(p + EntryRight, e.right);
        PutU32(p + EntryChild, e.child);
        std::memcpy(p + EntryClsid, element.Clsid().data(), 16);
        PutU32(p + EntryStateBits, element.StateBits());
        // Streams carry no times, and the root no creation time.
        if (element.IsStorage()) {
            PutU64(p + EntryCreated, isRoot ? 0 : element.CreationTime());
            PutU64(p + EntryModified, element.ModificationTime());
        }
        PutU32(p + EntryStart, e.start);
        PutU64(p + EntrySize, e.size);
    }

    QByteArray MiniFat() const
    {
        std::vector<uint32_t> miniFat(static_cast<size_t>(miniFatSectors_) * MiniPerSector, FreeSector);
        for (const TOutEntry* e : miniStreams_)
            Chain(miniFat, e->start, SectorsFor(static_cast<qint64>(e->size), MiniSectorSize));
        return QByteArray(reinterpret_cast<const char*>(miniFat.data()), miniFat.size() * 4);
    }

    static void WritePadded(TSink& sink, const TOutEntry* e, qint64 unit)
    {
        const QByteArray& data = static_cast<const TCfbStream*>(e->element)->Data();
        sink.Write(data.constData(), data.size());
        sink.WriteZeros(SectorsFor(data.size(), unit) * unit - data.size());
    }

    std::vector<TOutEntry> entries_;
    std::vector<TOutEntry*> miniStreams_, largeStreams_;
    uint32_t miniSectors_ = 0, largeSectors_ = 0;
    uint32_t dirSectors_ = 0, miniFatSectors_ = 0, miniStreamSectors_ = 0;
    uint32_t fatSectors_ = 0, difatSectors_ = 0;
    uint32_t firstDir_ = 0, firstMiniFat_ = 0, firstMiniStream_ = 0, totalSectors_ = 0;
};
}  // namespace

QByteArray WriteCompoundFile(const TCfbStorage& root)
{
    try {
        const TCfbWriter writer(root);
        QByteArray out;
        out.reserve(writer.FileSize());
        TBufferSink sink(out);
        writer.WriteTo(sink);
        return out;
    } catch (const std::bad_alloc&) {
        ThrowStorageError(TStorageErrorCode::InsufficientMemory, root.Name());
    }
}

void WriteCompoundFileTo(const TCfbStorage& root, const QString& path)
{
    TReplacingFile file(path);
    if (!file.Open()) {
        const QFileInfo folder(QFileInfo(path).absolutePath());
        ThrowStorageError(folder.exists() && !folder.isWritable() ? TStorageErrorCode::AccessDenied
                                                                  : TStorageErrorCode::WriteFault,
                          path, file.ErrorString());
    }
    const TCfbWriter writer(root);
    TFileSink sink(file.Device(), path);
    writer.WriteTo(sink);
    if (!file.Commit())
        ThrowStorageError(TStorageErrorCode::WriteFault, path, file.ErrorString());
}

}  // namespace kestrel
