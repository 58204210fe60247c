#include "music/InputItems.h"

#include <QRegularExpression>

#include "document/Capabilities.h"
#include "document/DOList.h"
#include "document/DrawObject.h"
#include "music/AlbumLines.h"
#include "music/Albums.h"
#include "text/LOText.h"

namespace kestrel {

namespace {

enum class TItemGroup { Title, Artist, Songs, Time, Album };

struct TItemPrefix {
    const char16_t* text;
    TItemGroup group;
};

// Tried in this order; the first the name begins with decides (so "アルバム名" is a title).
constexpr TItemPrefix kPrefixes[] = {
    {u"タイトル", TItemGroup::Title},         {u"アルバム名", TItemGroup::Title},
    {u"アーティスト名裏", TItemGroup::Artist}, {u"アーティスト名", TItemGroup::Artist},
    {u"アーティスト", TItemGroup::Artist},     {u"演奏者", TItemGroup::Artist},
    {u"曲名表", TItemGroup::Songs},           {u"曲名裏", TItemGroup::Songs},
    {u"曲名", TItemGroup::Songs},             {u"曲", TItemGroup::Songs},
    {u"演奏時間", TItemGroup::Time},           {u"アルバム名", TItemGroup::Album},
};

const QString kTitleItem = QStringLiteral("タイトル");
const QString kArtistItem = QStringLiteral("アーティスト名");
const QString kSongsPrefix = QStringLiteral("曲名");

// A whole number in half-width or full-width digits, or -1.
int RangeNumber(QString text)
{
    for (QChar& c : text)
        if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19) c = QChar(u'0' + (c.unicode() - 0xFF10));
    bool ok = false;
    const int number = text.toInt(&ok);
    return ok ? number : -1;
}

// The non-empty values of the tracks in the range, joined by blanks.
QString JoinedTrackValues(const TAlbumInfo& album, TTrackRange range, const QString& (TTrackInfo::*value)() const)
{
    QStringList values;
    for (int i = std::max(range.first, 1); i <= std::min(range.last, album.TrackCount()); ++i) {
        const QString& text = (album.Track(i - 1).*value)();
        if (!text.isEmpty()) values << text;
    }
    return values.join(u' ');
}

QString SingleLineValue(const TAlbumInfo& album, const QString& name)
{
    for (const TItemPrefix& prefix : kPrefixes) {
        const QString text = QString::fromUtf16(prefix.text);
        if (!name.startsWith(text)) continue;
        const TTrackRange range = ParseTrackRange(name.mid(text.size()));
        const TTrackRange allTracks{1, album.TrackCount()};
        switch (prefix.group) {
            case TItemGroup::Title: return range.Valid() ? JoinedTrackValues(album, range, &TTrackInfo::Title) : album.Title();
            case TItemGroup::Artist: return range.Valid() ? JoinedTrackValues(album, range, &TTrackInfo::Artist) : album.Artist();
            case TItemGroup::Songs: return JoinedTrackValues(album, range.Valid() ? range : allTracks, &TTrackInfo::Title);
            case TItemGroup::Time: return range.Valid() ? JoinedTrackValues(album, range, &TTrackInfo::Time) : QString();
            case TItemGroup::Album: return range.Valid() ? JoinedTrackValues(album, range, &TTrackInfo::Album) : QString();
        }
    }
    return {};
}

QString TrimmedRight(QString text)
{
    while (!text.isEmpty() && text.back().isSpace()) text.chop(1);
    return text;
}

void CollectFrom(int face, TComponent& object, std::vector<TInputItem>& items)
{
    if (auto* text = dynamic_cast<TLOText*>(&object); text && !InputCaption(object).isEmpty()) {
        const QString name = InputCaption(object);
        auto item = std::find_if(items.begin(), items.end(), [&](const TInputItem& i) { return i.name == name; });
        if (item == items.end()) {
            items.push_back({name, text->Text(), text->Text().size() == 1, {}});
            item = items.end() - 1;
        }
        item->targets.push_back({face, text});
    }
    object.GetChildren([&](TComponent& child) { CollectFrom(face, child, items); });
}

}  // namespace

TTrackRange ParseTrackRange(const QString& text)
{
    static const QRegularExpression dash(QStringLiteral("[～〜]"));
    const QStringList parts = text.split(dash);
    if (parts.size() == 1) {
        const int number = RangeNumber(parts[0]);
        return {number, number};
    }
    if (parts.size() == 2) return {RangeNumber(parts[0]), RangeNumber(parts[1])};
    return {};
}

QString InputCaption(const TComponent& object)
{
    const auto* input = dynamic_cast<const IDOWizardInput*>(&object);
    return input && input->InputEnabled() ? input->InputCaption() : QString();
}

void CollectInputItems(int face, const TDOList& objects, std::vector<TInputItem>& items)
{
    for (TDrawObject* object : objects.Items()) CollectFrom(face, *object, items);
}

void FillInputItems(const TAlbumInfo& album, std::vector<TInputItem>& items)
{
    if (album.TrackCount() == 0) return;
    for (TInputItem& item : items) {
        if (item.name == kTitleItem) item.text = QStringList{album.Title()};
        if (item.name == kArtistItem) item.text = QStringList{album.Artist()};
    }
    const QStringList lines = BuildAlbumLines(album, {TAlbumLineOptions::TrackFlags, QStringLiteral(" "), 0});
    std::vector<TInputItem*> songs;
    for (TInputItem& item : items)
        if (item.name.startsWith(kSongsPrefix, Qt::CaseInsensitive)) songs.push_back(&item);
    const int k = int(songs.size());
    const int count = int(lines.size());
    for (int j = 0; j < k; ++j) {
        const int from = (j * count + k / 2) / k;
        const int to = ((j + 1) * count + k / 2) / k;
        QStringList share;
        for (int i = from; i < to; ++i) share << TrimmedRight(lines[i]);
        songs[size_t(j)]->text = share;
    }
    for (TInputItem& item : items)
        if (item.singleLine) item.text = QStringList{SingleLineValue(album, item.name)};
}

void WriteInputItems(const std::vector<TInputItem>& items, const std::function<void(TLOText&, const std::function<void()>&)>& change)
{
    for (const TInputItem& item : items) {
        for (const TInputItem::TTarget& target : item.targets) {
            const auto write = [&] { target.object->SetText(item.text); };
            if (change)
                change(*target.object, write);
            else
                write();
        }
    }
}

}  // namespace kestrel
