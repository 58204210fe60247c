#pragma once

// The paper chooser's model over a catalogue: one row per paper sorted into genres, the
// recently used papers, the distinct makers and groups, the search, and the matching of a
// document's paper to the catalogue.

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kestrel {

class TExPaperInfo;
class TImagePaperInfo;
class TPaperInfo;
class TPapersV2;

// Shown for a maker or purpose the catalogue does not know.
inline const QString UnsetPaperValue = QStringLiteral("未設定");

// One row of the chooser.
struct TPaperInfoUI {
    int index = -1;
    QString paperName;
    QString groupName;
    QString maker;
    QString purpose;
    bool userPaper = false;
    int genre = -1;
    bool recent = false;
    // Maker and purpose are read from the catalogue the first time the row is asked for.
    bool filled = false;
};

// Text brought to one form before search text and names are compared.
using TSearchFold = std::function<QString(const QString&)>;

class TPapersUI {
public:
    explicit TPapersUI(TPapersV2& catalogue);

    TPapersV2& Catalogue() const { return catalogue_; }

    // Sets the genres and the map from group name to genre name, then builds.
    void SetGenres(const QStringList& genres, const QMap<QString, QString>& groupToGenre);
    const QStringList& Genres() const { return genres_; }
    // Genre indices of user papers, of system papers whose group has no genre, and of the
    // recently used papers (-1: none).
    void SetSpecialGenres(int userGenre, int defaultGenre, int recentGenre);
    int UserGenre() const { return userGenre_; }
    int DefaultGenre() const { return defaultGenre_; }
    int RecentGenre() const { return recentGenre_; }
    // The recently used paper names (their genre lists them in catalogue order); names the
    // catalogue does not know are skipped when building.
    void SetRecentPapers(const QStringList& names);

    void Build();
    void Rebuild();

    int RowCount() const { return static_cast<int>(rows_.size()); }
    const TPaperInfoUI& Row(int index);
    // The row indices of a genre (every row for a genre index beyond the list).
    std::vector<int> Rows(int genre) const;

    // CompanyList (or GroupList) first, then the row values not yet listed, in row order; then
    // allEntry (when given) first and current (when given) moved or added at the end.
    QStringList DistinctMakers(const QString& allEntry = {}, const QString& current = {});
    QStringList DistinctGroups(const QString& allEntry = {}, const QString& current = {});
    // The distinct values of one genre's rows in the order of the full list, values missing
    // from it last.
    QStringList GenreMakers(int genre, const QString& allEntry = {}, const QString& current = {});
    QStringList GenreGroups(int genre, const QString& allEntry = {}, const QString& current = {});

    // How names and search text are compared; upper-casing alone until one is given.
    void SetSearchFold(TSearchFold fold) { fold_ = std::move(fold); }
    // The rows whose paper name holds the text (or the text's "SearchExtKeyInfo" partner).
    std::vector<int> Search(const QString& text) const;

    // The catalogue index the chooser selects for a document's paper, storing a user paper
    // the catalogue does not know (then the rows are rebuilt); -1 when none fits. paper gets the
    // copy the document's paper becomes.
    int MatchDocumentPaper(const TPaperInfo& documentPaper, const TExPaperInfo* extra,
                           const TImagePaperInfo* images, std::unique_ptr<TPaperInfo>& paper);

private:
    void FillRow(TPaperInfoUI& row) const;
    int GenreOf(const TPaperInfo& paper) const;
    QStringList Distinct(bool makers);
    QStringList GenreDistinct(int genre, bool makers);
    QString Fold(const QString& text) const;

    TPapersV2& catalogue_;
    QStringList genres_;
    QMap<QString, QString> groupToGenre_;
    int userGenre_ = -1;
    int defaultGenre_ = -1;
    int recentGenre_ = -1;
    QStringList recentNames_;
    std::vector<TPaperInfoUI> rows_;
    std::vector<std::vector<int>> genreRows_;
    std::optional<QStringList> makers_;
    std::optional<QStringList> groups_;
    TSearchFold fold_;
};

// Lines "name=value" of a catalogue's global list as a map (later lines win).
QMap<QString, QString> GlobalInfoMap(const TPapersV2& catalogue, const QString& listName);
// The groups whose genre begins with "ダイレクトプリント": their system papers are discs printed
// straight from a printer's tray.
QStringList DirectPrintGroups(const TPapersV2& catalogue);
// A system paper of a direct-print group.
bool IsDirectPrintPaper(const TPapersV2& catalogue, const TPaperInfo& paper);

// The chooser's genres: the recently used papers, the catalogue's genres ("GenreInfo", else
// its groups, a "\" in a name making a sub-genre), the user papers and the rest.
struct TStandardGenres {
    QStringList genres;
    QMap<QString, QString> groupToGenre;
    int recentGenre = 0;
    int userGenre = 0;
    int defaultGenre = 0;
};
TStandardGenres StandardGenres(const TPapersV2& catalogue);
inline const QString RecentGenreName = QStringLiteral("最近使った用紙");
inline const QString UserGenreName = QStringLiteral("ユーザー用紙");
inline const QString OtherGenreName = QStringLiteral("その他");

}  // namespace kestrel
