#include "paper/PapersUI.h"

#include <algorithm>

#include "paper/PaperInfo.h"
#include "paper/PaperRecords.h"
#include "paper/PapersV2.h"

namespace kestrel {

namespace {

const QString DirectPrintGenrePrefix = QStringLiteral("ダイレクトプリント");

QString ValueOrUnset(const QString& value)
{
    return value.isEmpty() ? UnsetPaperValue : value;
}

// allEntry first, current moved (or added) to the end.
QStringList WithEntries(QStringList list, const QString& allEntry, const QString& current)
{
    if (!allEntry.isEmpty()) list.prepend(allEntry);
    if (!current.isEmpty()) {
        list.removeAll(current);
        list.append(current);
    }
    return list;
}

QString Mapped(const QMap<QString, QString>& map, const QString& name)
{
    return map.value(name, name);
}

}  // namespace

QMap<QString, QString> GlobalInfoMap(const TPapersV2& catalogue, const QString& listName)
{
    QStringList lines;
    catalogue.ReadGlobalInfo(listName, lines);
    QMap<QString, QString> map;
    for (const QString& line : lines) {
        const int equals = line.indexOf(u'=');
        if (equals > 0) map.insert(line.left(equals), line.mid(equals + 1));
    }
    return map;
}

QStringList DirectPrintGroups(const TPapersV2& catalogue)
{
    QStringList groups;
    const QMap<QString, QString> genres = GlobalInfoMap(catalogue, QStringLiteral("GenreInfo"));
    for (auto it = genres.cbegin(); it != genres.cend(); ++it)
        if (it.value().startsWith(DirectPrintGenrePrefix)) groups << it.key();
    return groups;
}

bool IsDirectPrintPaper(const TPapersV2& catalogue, const TPaperInfo& paper)
{
    return paper.ReadOnly() && DirectPrintGroups(catalogue).contains(paper.GroupName());
}

TStandardGenres StandardGenres(const TPapersV2& catalogue)
{
    TStandardGenres result;
    result.groupToGenre = GlobalInfoMap(catalogue, QStringLiteral("GenreInfo"));
    QStringList catalogueGenres;
    if (result.groupToGenre.isEmpty()) {
        // Without a genre list every group of a system paper is its own genre.
        for (int i = 0; i < catalogue.Count(); ++i) {
            const TPaperInfo& paper = catalogue.Paper(i);
            if (paper.ReadOnly() && !catalogueGenres.contains(paper.GroupName())) {
                catalogueGenres << paper.GroupName();
                result.groupToGenre.insert(paper.GroupName(), paper.GroupName());
            }
        }
    } else {
        QStringList lines;
        catalogue.ReadGlobalInfo(QStringLiteral("GenreInfo"), lines);
        for (const QString& line : lines) {
            const QString genre = line.mid(line.indexOf(u'=') + 1);
            if (line.contains(u'=') && !genre.isEmpty() && !catalogueGenres.contains(genre)) catalogueGenres << genre;
        }
    }
    result.genres << RecentGenreName << catalogueGenres << UserGenreName << OtherGenreName;
    result.recentGenre = 0;
    result.userGenre = static_cast<int>(result.genres.size()) - 2;
    result.defaultGenre = static_cast<int>(result.genres.size()) - 1;
    return result;
}

TPapersUI::TPapersUI(TPapersV2& catalogue) : catalogue_(catalogue) {}

void TPapersUI::SetGenres(const QStringList& genres, const QMap<QString, QString>& groupToGenre)
{
    genres_ = genres;
    groupToGenre_ = groupToGenre;
    Rebuild();
}

void TPapersUI::SetSpecialGenres(int userGenre, int defaultGenre, int recentGenre)
{
    userGenre_ = userGenre;
    defaultGenre_ = defaultGenre;
    recentGenre_ = recentGenre;
}

void TPapersUI::SetRecentPapers(const QStringList& names)
{
    recentNames_ = names;
}

int TPapersUI::GenreOf(const TPaperInfo& paper) const
{
    if (!paper.ReadOnly()) return userGenre_;
    const auto genre = groupToGenre_.constFind(paper.GroupName());
    if (genre == groupToGenre_.cend()) return defaultGenre_;
    const int index = static_cast<int>(genres_.indexOf(*genre));
    return index >= 0 ? index : defaultGenre_;
}

void TPapersUI::Rebuild()
{
    rows_.clear();
    genreRows_.clear();
    makers_.reset();
    groups_.reset();
    Build();
}

void TPapersUI::Build()
{
    genreRows_.resize(genres_.size());
    for (int i = 0; i < catalogue_.Count(); ++i) {
        const TPaperInfo& paper = catalogue_.Paper(i);
        TPaperInfoUI row;
        row.index = i;
        row.paperName = paper.PaperName();
        row.groupName = paper.GroupName();
        row.userPaper = !paper.ReadOnly();
        row.genre = GenreOf(paper);
        if (row.genre >= 0 && row.genre < int(genreRows_.size())) genreRows_[row.genre].push_back(i);
        rows_.push_back(std::move(row));
    }
    std::vector<int> recent;
    for (const QString& name : std::as_const(recentNames_)) {
        const int index = catalogue_.IndexOfName(name);
        if (index < 0 || rows_[index].recent) continue;
        rows_[index].recent = true;
        recent.push_back(index);
    }
    // The recently used papers are listed as the catalogue orders them.
    std::sort(recent.begin(), recent.end());
    if (recentGenre_ >= 0 && recentGenre_ < int(genreRows_.size()))
        genreRows_[recentGenre_].insert(genreRows_[recentGenre_].end(), recent.begin(), recent.end());
}

void TPapersUI::FillRow(TPaperInfoUI& row) const
{
    const auto record = catalogue_.GetExtra(ExtraInfosBaseName, row.paperName);
    const auto* extra = dynamic_cast<const TExPaperInfo*>(record.get());
    row.maker = ValueOrUnset(extra ? extra->Company() : QString());
    row.purpose = ValueOrUnset(extra ? extra->Purpose() : QString());
    row.filled = true;
}

const TPaperInfoUI& TPapersUI::Row(int index)
{
    TPaperInfoUI& row = rows_.at(index);
    if (!row.filled) FillRow(row);
    return row;
}

std::vector<int> TPapersUI::Rows(int genre) const
{
    if (genre >= 0 && genre < int(genreRows_.size())) return genreRows_[genre];
    std::vector<int> all(rows_.size());
    for (int i = 0; i < int(all.size()); ++i) all[i] = i;
    return all;
}

QStringList TPapersUI::Distinct(bool makers)
{
    std::optional<QStringList>& cache = makers ? makers_ : groups_;
    if (!cache) {
        QStringList list = (makers ? catalogue_.CompanyList() : catalogue_.GroupList()).Lines();
        for (int i = 0; i < RowCount(); ++i) {
            const QString& value = makers ? Row(i).maker : rows_[i].groupName;
            if (!list.contains(value)) list << value;
        }
        cache = list;
    }
    return *cache;
}

QStringList TPapersUI::GenreDistinct(int genre, bool makers)
{
    QStringList values;
    for (const int i : Rows(genre)) {
        const QString& value = makers ? Row(i).maker : rows_[i].groupName;
        if (!values.contains(value)) values << value;
    }
    const QStringList order = Distinct(makers);
    std::stable_sort(values.begin(), values.end(), [&](const QString& a, const QString& b) {
        const auto rank = [&](const QString& v) {
            const qsizetype at = order.indexOf(v);
            return at < 0 ? order.size() : at;
        };
        return rank(a) < rank(b);
    });
    return values;
}

QStringList TPapersUI::DistinctMakers(const QString& allEntry, const QString& current)
{
    return WithEntries(Distinct(true), allEntry, current);
}

QStringList TPapersUI::DistinctGroups(const QString& allEntry, const QString& current)
{
    return WithEntries(Distinct(false), allEntry, current);
}

QStringList TPapersUI::GenreMakers(int genre, const QString& allEntry, const QString& current)
{
    return WithEntries(GenreDistinct(genre, true), allEntry, current);
}

QStringList TPapersUI::GenreGroups(int genre, const QString& allEntry, const QString& current)
{
    return WithEntries(GenreDistinct(genre, false), allEntry, current);
}

QString TPapersUI::Fold(const QString& text) const
{
    return fold_ ? fold_(text.toUpper()) : text.toUpper();
}

std::vector<int> TPapersUI::Search(const QString& text) const
{
    const QString key = Fold(text);
    if (key.isEmpty()) return Rows(-1);
    // A search word may stand for another word of the names ("SearchExtKeyInfo": word, partner).
    QString partner;
    QStringList pairs;
    catalogue_.ReadGlobalInfo(QStringLiteral("SearchExtKeyInfo"), pairs);
    for (int i = 0; i + 1 < pairs.size(); i += 2)
        if (Fold(pairs[i]).compare(key, Qt::CaseInsensitive) == 0) {
            partner = Fold(pairs[i + 1]);
            break;
        }
    std::vector<int> found;
    for (const TPaperInfoUI& row : rows_) {
        const QString name = Fold(row.paperName);
        if (name.contains(key) || (!partner.isEmpty() && name.contains(partner))) found.push_back(row.index);
    }
    return found;
}

int TPapersUI::MatchDocumentPaper(const TPaperInfo& documentPaper, const TExPaperInfo* extra,
                                  const TImagePaperInfo* images, std::unique_ptr<TPaperInfo>& paper)
{
    const int same = catalogue_.IndexOfName(documentPaper.PaperName());
    if (same >= 0) {
        paper = documentPaper.Clone();
        if (!IsDirectPrintPaper(catalogue_, documentPaper)) paper->SetGroupName(catalogue_.Paper(same).GroupName());
        return same;
    }
    const QString groupName =
        Mapped(GlobalInfoMap(catalogue_, QStringLiteral("V2ToV3GroupInfo")), documentPaper.GroupName());
    if (documentPaper.ReadOnly()) {
        const QString v2 = Mapped(GlobalInfoMap(catalogue_, QStringLiteral("V1ToV2PaperInfo")), documentPaper.PaperName());
        const QMap<QString, QString> v2ToV3 = GlobalInfoMap(catalogue_, QStringLiteral("V2ToV3PaperInfo"));
        const QString v3 = v2ToV3.contains(v2) ? v2ToV3.value(v2) : v2.mid(v2.indexOf(u' ') + 1);
        if (const int index = catalogue_.IndexOfName(v3); index >= 0) {
            paper = catalogue_.Paper(index).Clone();
            return index;
        }
        paper = documentPaper.Clone();
        paper->SetGroupName(groupName);
        return -1;
    }
    paper = documentPaper.Clone();
    paper->SetGroupName(groupName);
    catalogue_.Store(*paper);
    TExPaperInfo maker;
    maker.SetPaperName(paper->PaperName());
    if (extra && extra->PaperName() == paper->PaperName()) maker.Assign(*extra);
    catalogue_.StoreExtra(ExtraInfosBaseName, maker);
    if (images && images->PaperName() == paper->PaperName()) catalogue_.StoreExtra(PaperImagesBaseName, *images);
    Rebuild();
    return catalogue_.IndexOfName(paper->PaperName());
}

}  // namespace kestrel
