// Reading compound files. Every sector number, chain, size and directory link comes from the
// file and is checked before use: a damaged file raises DocFileCorrupt, it never reads outside
// the data or loops.

#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "platform/BoundedReader.h"
#include "platform/RegularFile.h"
#include "platform/SystemErrorText.h"
#include "platform/cfb/CfbFormat.h"
#include "platform/cfb/CompoundFile.h"

namespace kestrel {

using namespace cfbformat;

namespace {
constexpr qint64 UntilEndOfChain = -1;

struct TDirEntryFields {
    QString name;
    uint8_t type = TypeUnused;
    uint32_t left = NoStream;
    uint32_t right = NoStream;
    uint32_t child = NoStream;
    TClsid clsid{};
    uint32_t stateBits = 0;
    TFileTime created = 0;
    TFileTime modified = 0;
    uint32_t start = EndOfChain;
    uint64_t size = 0;
};

qint64 SectorsFor(qint64 bytes, qint64 sectorSize)
{
    return (bytes + sectorSize - 1) / sectorSize;
}

// Where sectors are read from. Stream bytes are read straight into their final buffers, so a
// file is never held in memory twice.
class TByteSource {
public:
    virtual ~TByteSource() = default;
    virtual qint64 Size() const = 0;
    // Reads exactly count bytes at offset, which the caller has checked against Size().
    virtual void ReadAt(qint64 offset, char* out, qint64 count) = 0;
};

class TMemorySource final : public TByteSource {
public:
    explicit TMemorySource(QByteArrayView bytes) : bytes_(bytes) {}
    qint64 Size() const override { return bytes_.size(); }
    void ReadAt(qint64 offset, char* out, qint64 count) override { std::memcpy(out, bytes_.data() + offset, count); }

private:
    QByteArrayView bytes_;
};

class TFileSource final : public TByteSource {
public:
    TFileSource(QFile& file, QString name) : file_(file), size_(file.size()), name_(std::move(name)) {}
    qint64 Size() const override { return size_; }
    void ReadAt(qint64 offset, char* out, qint64 count) override
    {
        if (!file_.seek(offset) || file_.read(out, count) != count)
            ThrowStorageError(TStorageErrorCode::ReadFault, name_, FileErrorText(file_));
    }

private:
    QFile& file_;
    qint64 size_;
    QString name_;
};
}  // namespace

class TCfbReader {
public:
    TCfbReader(TByteSource& file, QString name, TStreamFilter wanted = {})
        : file_(file), name_(std::move(name)), wanted_(std::move(wanted))
    {
    }

    std::shared_ptr<TCfbStorage> Read()
    {
        try {
            ReadHeader();
            ReadFat();
            directory_ = ReadWholeChain(firstDirSector_);
            ReadMiniFat();
            return BuildTree();
        } catch (const EReadError&) {
            Corrupt(QStringLiteral("データが途中で終わっています"));
        } catch (const std::bad_alloc&) {
            ThrowStorageError(TStorageErrorCode::InsufficientMemory, name_);
        }
    }

private:
    [[noreturn]] void Corrupt(const QString& detail) const
    {
        ThrowStorageError(TStorageErrorCode::DocFileCorrupt, name_, detail);
    }

    qint64 SectorOffset(uint32_t sector) const { return (static_cast<qint64>(sector) + 1) * sectorSize_; }

    void ReadHeader()
    {
        if (file_.Size() < HeaderSize)
            ThrowStorageError(TStorageErrorCode::InvalidHeader, name_);
        char header[HeaderSize];
        file_.ReadAt(0, header, HeaderSize);
        if (std::memcmp(header, Signature, sizeof Signature) != 0)
            ThrowStorageError(TStorageErrorCode::InvalidHeader, name_);
        TBoundedReader in(QByteArrayView(header, HeaderSize));
        in.Seek(0x1A);
        const uint16_t major = in.ReadU16();
        const uint16_t byteOrder = in.ReadU16();
        const uint16_t sectorShift = in.ReadU16();
        const uint16_t miniShift = in.ReadU16();
        if (byteOrder != ByteOrderMark || miniShift != 6 || !((major == 3 && sectorShift == 9) || (major == 4 && sectorShift == 12)))
            ThrowStorageError(TStorageErrorCode::InvalidHeader, name_);
        sectorSize_ = 1u << sectorShift;
        if (file_.Size() < sectorSize_)
            Corrupt(QStringLiteral("ヘッダーが途中で終わっています"));
        in.Seek(0x2C);
        fatSectorCount_ = in.ReadU32();
        firstDirSector_ = in.ReadU32();
        in.Skip(4);  // transaction signature
        cutoff_ = in.ReadU32();
        firstMiniFatSector_ = in.ReadU32();
        in.Skip(4);  // mini FAT sector count: the chain decides
        firstDifatSector_ = in.ReadU32();
        in.Skip(4);  // DIFAT sector count: the chain decides
        for (int i = 0; i < HeaderDifatCount; ++i)
            headerDifat_[i] = in.ReadU32();
        fileSectors_ = SectorsFor(file_.Size() - sectorSize_, sectorSize_);
        isVersion3_ = major == 3;
    }

    std::vector<uint32_t> WholeSectorWords(uint32_t sector)
    {
        if (sector >= fileSectors_ || SectorOffset(sector) + sectorSize_ > file_.Size())
            Corrupt(QStringLiteral("セクタ番号 %1 がファイルの範囲外です").arg(sector));
        std::vector<uint32_t> words(sectorSize_ / 4);
        file_.ReadAt(SectorOffset(sector), reinterpret_cast<char*>(words.data()), sectorSize_);
        return words;
    }

    std::vector<uint32_t> FatSectorNumbers()
    {
        if (fatSectorCount_ > fileSectors_)
            Corrupt(QStringLiteral("FAT のセクタ数が不正です"));
        std::vector<uint32_t> sectors;
        sectors.reserve(fatSectorCount_);
        for (int i = 0; i < HeaderDifatCount && sectors.size() < fatSectorCount_; ++i)
            sectors.push_back(headerDifat_[i]);
        const int perDifatSector = static_cast<int>(sectorSize_ / 4) - 1;
        std::vector<uint8_t> seen(fileSectors_, 0);
        uint32_t next = firstDifatSector_;
        while (sectors.size() < fatSectorCount_) {
            const std::vector<uint32_t> words = WholeSectorWords(next);
            if (seen[next])
                Corrupt(QStringLiteral("DIFAT のチェーンが循環しています"));
            seen[next] = 1;
            for (int i = 0; i < perDifatSector && sectors.size() < fatSectorCount_; ++i)
                sectors.push_back(words[i]);
            next = words[perDifatSector];
        }
        return sectors;
    }

    void ReadFat()
    {
        const std::vector<uint32_t> fatSectors = FatSectorNumbers();
        fat_.resize(fatSectors.size() * (sectorSize_ / 4));
        const qint64 bytes = static_cast<qint64>(fat_.size()) * 4;
        CopyChain(fatSectors, file_, sectorSize_, sectorSize_, reinterpret_cast<char*>(fat_.data()), bytes);
        fatStamps_.assign(fat_.size(), 0);
    }

    // The sector numbers of the chain from start: exactly expected of them, or (UntilEndOfChain)
    // up to the end marker. A sector met twice in one chain is a loop.
    std::vector<uint32_t> Follow(const std::vector<uint32_t>& table, std::vector<uint32_t>& stamps, uint32_t start,
                                 qint64 expected)
    {
        std::vector<uint32_t> chain;
        if (expected > 0)
            chain.reserve(expected);
        const uint32_t id = ++chainId_;
        for (uint32_t s = start; s != EndOfChain && static_cast<qint64>(chain.size()) != expected; s = table[s]) {
            if (s >= table.size())
                Corrupt(QStringLiteral("セクタ番号 %1 が範囲外です").arg(s));
            if (stamps[s] == id)
                Corrupt(QStringLiteral("セクタのチェーンが循環しています"));
            stamps[s] = id;
            chain.push_back(s);
        }
        if (expected != UntilEndOfChain && static_cast<qint64>(chain.size()) < expected)
            Corrupt(QStringLiteral("セクタのチェーンがストリームの大きさより短くなっています"));
        return chain;
    }

    // Copies size bytes from the chain's sectors of source (offset of sector s: base + s * unit),
    // run by run of consecutive sectors.
    void CopyChain(const std::vector<uint32_t>& chain, TByteSource& source, qint64 base, qint64 unit, char* out,
                   qint64 size) const
    {
        qint64 done = 0;
        for (size_t i = 0; done < size;) {
            size_t last = i;
            while (last + 1 < chain.size() && chain[last + 1] == chain[last] + 1)
                ++last;
            const qint64 bytes = std::min(static_cast<qint64>(last - i + 1) * unit, size - done);
            const qint64 offset = base + static_cast<qint64>(chain[i]) * unit;
            if (offset + bytes > source.Size())
                Corrupt(QStringLiteral("ファイルが途中で切れています"));
            source.ReadAt(offset, out + done, bytes);
            done += bytes;
            i = last + 1;
        }
    }

    QByteArray ReadRegular(uint32_t start, qint64 size)
    {
        if (size > file_.Size())
            Corrupt(QStringLiteral("ストリームの大きさがファイルより大きくなっています"));
        const auto chain = Follow(fat_, fatStamps_, start, SectorsFor(size, sectorSize_));
        QByteArray data(size, Qt::Uninitialized);
        CopyChain(chain, file_, sectorSize_, sectorSize_, data.data(), size);
        return data;
    }

    QByteArray ReadMini(uint32_t start, qint64 size)
    {
        if (size > miniStream_.size())
            Corrupt(QStringLiteral("ストリームの大きさがミニストリームより大きくなっています"));
        const auto chain = Follow(miniFat_, miniStamps_, start, SectorsFor(size, MiniSectorSize));
        QByteArray data(size, Qt::Uninitialized);
        TMemorySource miniSource(miniStream_);
        CopyChain(chain, miniSource, 0, MiniSectorSize, data.data(), size);
        return data;
    }

    QByteArray ReadWholeChain(uint32_t start)
    {
        const auto chain = Follow(fat_, fatStamps_, start, UntilEndOfChain);
        const qint64 size = static_cast<qint64>(chain.size()) * sectorSize_;
        QByteArray data(size, Qt::Uninitialized);
        CopyChain(chain, file_, sectorSize_, sectorSize_, data.data(), size);
        return data;
    }

    void ReadMiniFat()
    {
        const QByteArray bytes = ReadWholeChain(firstMiniFatSector_);
        miniFat_.resize(bytes.size() / 4);
        if (!miniFat_.empty())
            std::memcpy(miniFat_.data(), bytes.constData(), miniFat_.size() * 4);
        miniStamps_.assign(miniFat_.size(), 0);
    }

    TDirEntryFields Entry(uint32_t index) const
    {
        if (index >= directory_.size() / DirEntrySize)
            Corrupt(QStringLiteral("ディレクトリ項目 %1 が範囲外です").arg(index));
        TBoundedReader in(QByteArrayView(directory_).sliced(qsizetype(index) * DirEntrySize, DirEntrySize));
        TDirEntryFields e;
        char16_t units[32];
        std::memcpy(units, in.ReadBytes(64).data(), 64);
        const int length = std::min<int>(in.ReadU16() / 2, 32);
        int n = 0;
        while (n < length && units[n] != 0)
            ++n;
        e.name = QString::fromUtf16(units, n);
        e.type = in.ReadU8();
        in.Skip(1);  // colour: the reader only needs the links
        e.left = in.ReadU32();
        e.right = in.ReadU32();
        e.child = in.ReadU32();
        std::memcpy(e.clsid.data(), in.ReadBytes(16).data(), 16);
        e.stateBits = in.ReadU32();
        e.created = in.ReadU64();
        e.modified = in.ReadU64();
        e.start = in.ReadU32();
        e.size = in.ReadU64();
        if (isVersion3_)
            e.size &= 0xFFFFFFFFu;  // older writers left garbage in the high half
        return e;
    }

    static void SetMetadata(TCfbElement& element, const TDirEntryFields& e)
    {
        element.clsid_ = e.clsid;
        element.stateBits_ = e.stateBits;
        element.created_ = e.created;
        element.modified_ = e.modified;
    }

    void Insert(TCfbStorage& parent, std::shared_ptr<TCfbElement> child) const
    {
        QString key = FoldElementName(child->name_);
        if (parent.children_.count(key))
            Corrupt(QStringLiteral("同じ名前の要素「%1」が重複しています").arg(child->name_));
        child->parent_ = &parent;
        parent.children_.emplace(std::move(key), std::move(child));
    }

    std::shared_ptr<TCfbElement> MakeElement(const TDirEntryFields& e, int depth)
    {
        if (e.type == TypeStorage) {
            if (depth > MaxStorageDepth)
                Corrupt(QStringLiteral("ストレージの入れ子が深すぎます"));
            auto storage = std::make_shared<TCfbStorage>(e.name);
            SetMetadata(*storage, e);
            return storage;
        }
        if (e.type != TypeStream)
            Corrupt(QStringLiteral("ディレクトリ項目の種類が不正です"));
        auto stream = std::make_shared<TCfbStream>(e.name);
        SetMetadata(*stream, e);
        const qint64 size = static_cast<qint64>(std::min<uint64_t>(e.size, INT64_MAX));
        stream->data_ = static_cast<uint64_t>(size) < cutoff_ ? ReadMini(e.start, size) : ReadRegular(e.start, size);
        return stream;
    }

    std::shared_ptr<TCfbStorage> BuildTree()
    {
        const TDirEntryFields rootEntry = Entry(0);
        if (rootEntry.type != TypeRoot)
            Corrupt(QStringLiteral("ルート項目がありません"));
        auto root = TCfbStorage::NewRoot();
        SetMetadata(*root, rootEntry);
        miniStream_ = ReadRegular(rootEntry.start, static_cast<qint64>(std::min<uint64_t>(rootEntry.size, INT64_MAX)));

        struct TPending {
            uint32_t index;
            TCfbStorage* parent;
            int depth;
            QString folder;  // the parent's path below the root, with a trailing backslash
        };
        std::vector<uint8_t> visited(directory_.size() / DirEntrySize, 0);
        visited[0] = 1;
        std::vector<TPending> pending{{rootEntry.child, root.get(), 1, {}}};
        while (!pending.empty()) {
            const TPending p = pending.back();
            pending.pop_back();
            if (p.index == NoStream)
                continue;
            const TDirEntryFields e = Entry(p.index);
            if (visited[p.index])
                Corrupt(QStringLiteral("ディレクトリの参照が循環しています"));
            visited[p.index] = 1;
            if (e.type != TypeStream || !wanted_ || wanted_(p.folder + e.name)) {
                auto element = MakeElement(e, p.depth);
                if (element->IsStorage())
                    pending.push_back({e.child, static_cast<TCfbStorage*>(element.get()), p.depth + 1,
                                       wanted_ ? p.folder + e.name + u'\\' : QString()});
                Insert(*p.parent, std::move(element));
            }
            pending.push_back({e.left, p.parent, p.depth, p.folder});
            pending.push_back({e.right, p.parent, p.depth, p.folder});
        }
        return root;
    }

    TByteSource& file_;
    QString name_;
    TStreamFilter wanted_;
    uint32_t sectorSize_ = 512;
    bool isVersion3_ = true;
    qint64 fileSectors_ = 0;
    uint32_t fatSectorCount_ = 0;
    uint32_t firstDirSector_ = EndOfChain;
    uint32_t cutoff_ = MiniStreamCutoff;
    uint32_t firstMiniFatSector_ = EndOfChain;
    uint32_t firstDifatSector_ = EndOfChain;
    uint32_t headerDifat_[HeaderDifatCount] = {};
    std::vector<uint32_t> fat_, fatStamps_, miniFat_, miniStamps_;
    uint32_t chainId_ = 0;
    QByteArray directory_, miniStream_;
};

std::shared_ptr<TCfbStorage> ReadCompoundFile(QByteArrayView bytes, const QString& sourceName)
{
    TMemorySource source(bytes);
    return TCfbReader(source, sourceName).Read();
}

std::shared_ptr<TCfbStorage> ReadCompoundFileFrom(const QString& path)
{
    return ReadCompoundFileFrom(path, {});
}

std::shared_ptr<TCfbStorage> ReadCompoundFileFrom(const QString& path, const TStreamFilter& wanted)
{
    QFile file;
    try {
        // The reader keeps to the sizes the file's own structure gives.
        OpenRegularFile(file, path, std::numeric_limits<qint64>::max());
    } catch (const EFileRefused& e) {
        using TCause = EFileRefused::TCause;
        if (e.Cause() == TCause::fcMissing) ThrowStorageError(TStorageErrorCode::FileNotFound, path);
        ThrowStorageError(e.Cause() == TCause::fcDenied ? TStorageErrorCode::AccessDenied : TStorageErrorCode::ReadFault,
                          path, e.Reason());
    }
    const QString name = QFileInfo(path).fileName();
    TFileSource source(file, name);
    return TCfbReader(source, name, wanted).Read();
}

}  // namespace kestrel
