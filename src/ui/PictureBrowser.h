#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>

class QLineEdit;
class QListWidget;

namespace kestrel {

class TFolderImagePack;
class TImageCacheStorage;
class TPreviewLoader;
struct TThumbnailCounts;

// "イメージ一覧": the pictures of a folder as previews. A preview comes from the folder's own
// "Preview.ic" or the user's "ImageCache.ic" when they hold it; the others are made in the
// background and stored in the user's cache, so the first previews show at once and a second
// opening decodes nothing.
class TPictureBrowser : public QDialog {
    Q_OBJECT
public:
    // userCache may be null (nothing is stored).
    TPictureBrowser(TImageCacheStorage* userCache, QWidget* parent);
    ~TPictureBrowser() override;

    void ShowFolder(const QString& folder);
    const QString& Folder() const { return folder_; }
    // The picture file chosen; empty when none.
    QString ChosenFile() const;
    // How the previews shown so far were found.
    const TThumbnailCounts& Counts() const;
    bool Finished() const;
    // From ShowFolder to the first preview shown; -1 before.
    qint64 FirstPreviewMilliseconds() const { return firstPreview_; }

    // The chosen file of a browser opened on the folder last browsed (the picture folder
    // history); empty when cancelled.
    static QString Choose(QWidget* parent);

Q_SIGNALS:
    void AllShown();

private:
    void ChooseFolder();
    // Asks for previews in name order for a short slice of time: those in a cache show at once,
    // the others are queued for the loader's workers.
    void AskSome();
    void ShowPreview(int row);
    void CheckFinished();

    TImageCacheStorage* userCache_;
    QLineEdit* folderBox_;
    QListWidget* list_;
    QString folder_;
    // The loader is declared after the pack it works on, so that it goes first.
    std::unique_ptr<TFolderImagePack> pack_;
    std::unique_ptr<TPreviewLoader> loader_;
    int next_ = 0;
    bool finished_ = true;
    QElapsedTimer sinceShown_;
    qint64 firstPreview_ = -1;
    QTimer asking_;
};

}  // namespace kestrel
