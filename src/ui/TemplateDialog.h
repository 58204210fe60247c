#pragma once

#include <QDialog>
#include <optional>

#include "label/Templates.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;

namespace kestrel {

// "テンプレートの選択": the shipped collection by genre (with IDs), documents on disk, and the
// user's favourites, shown as the faces' previews.
class TfrmTemplate2 : public QDialog {
public:
    // wanted: the current face (a face without a purpose is looked for as a disc face).
    TfrmTemplate2(QWidget* parent, const TFaceGeometry& wanted);

    // The entry chosen on OK.
    std::optional<TTemplateInfo> Chosen() const;
    // Finds a template by its four-character ID on the collection tab and selects it; the
    // messages are those of the dialog.
    void FindById(const QString& id);

    QTabWidget& Tabs() const { return *tabs_; }
    QComboBox& GenreBox() const { return *genre_; }
    QListWidget& CollectionList() const { return *collection_; }
    QListWidget& FavouriteList() const { return *favouriteList_; }
    QLabel& Warning() const { return *warning_; }
    void AddSelectedToFavourites();
    void RemoveSelectedFavourite();

private:
    QWidget* CollectionTab();
    QWidget* DocumentsTab();
    QWidget* FavouritesTab();
    void ShowGenre(int index);
    void ShowFavourites();
    QListWidget* CurrentList() const;
    void Fill(QListWidget& list, const TTemplateList& entries, bool withIds);
    void SaveFavourites();
    void UpdateButtons();

    TFaceGeometry wanted_;
    TTemplateGroup group_;
    TIdIndex ids_;
    TTemplateList shown_;
    TTemplateList documents_;
    TTemplateList favourites_;
    QTabWidget* tabs_ = nullptr;
    QComboBox* genre_ = nullptr;
    QLineEdit* id_ = nullptr;
    QLabel* warning_ = nullptr;
    QListWidget* collection_ = nullptr;
    QListWidget* documentList_ = nullptr;
    QListWidget* favouriteList_ = nullptr;
    class QPushButton* ok_ = nullptr;
};

}  // namespace kestrel
