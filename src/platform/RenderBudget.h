#pragma once

// What one painter of a document (a draw site: the face being edited, a face rendered for a file
// or a preview, a sheet being printed) keeps within bounds while it paints, carried by its
// canvases:
// - the memory the decoded pictures of its objects hold at once. Pictures are decoded for
//   painting and kept as caches; when one more does not fit, the caches used longest ago are
//   dropped (they are made again when needed). A picture that does not fit even in the whole
//   budget is refused: it draws the error picture.
//   Pictures drawn the same way from the same bytes (one photo on every label of a sheet) are
//   decoded once and held once, for every painter sharing the memory.
// - what could not be drawn as stored (a picture beyond the budget or undecodable, a QR code
//   whose data does not fit), in Japanese, for the painter to report.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <list>
#include <memory>

namespace kestrel {

// Room for a few photographs decoded whole, and for a picture covering an A4 sheet at 600 dpi.
inline constexpr qint64 DefaultPictureBudgetBytes = 160LL * 1024 * 1024;

class TPictureMemory;

// A cache of decoded pixels held against a budget: its bytes count while it lives or until the
// budget drops it (then drop() runs and the owner makes it again when needed).
class TBudgetCharge {
public:
    TBudgetCharge() = default;
    ~TBudgetCharge() { Release(); }
    TBudgetCharge(const TBudgetCharge&) = delete;
    TBudgetCharge& operator=(const TBudgetCharge&) = delete;

    // Stops counting; nothing is dropped.
    void Release();
    bool Held() const { return memory_ != nullptr; }

private:
    friend class TPictureMemory;
    TPictureMemory* memory_ = nullptr;
    qint64 bytes_ = 0;
    std::function<void()> drop_;
    std::list<TBudgetCharge*>::iterator at_;
};

class TRenderBudget {
public:
    explicit TRenderBudget(qint64 pictureBytes = DefaultPictureBudgetBytes);
    ~TRenderBudget();
    TRenderBudget(const TRenderBudget&) = delete;
    TRenderBudget& operator=(const TRenderBudget&) = delete;

    // From now on holds its pictures in other's memory, within other's limit: the painters of
    // one job (the faces of a sheet) share their pictures. Its problems stay its own. Only
    // before anything is held.
    void ShareMemoryOf(TRenderBudget& other);

    qint64 Limit() const;
    qint64 Held() const;
    // Makes room for bytes more by dropping the caches used longest ago; false (nothing dropped)
    // when they exceed the whole budget, and then what (when given) is noted as not drawn.
    bool MakeRoom(qint64 bytes, const QString& what = {});
    // Counts bytes for charge (released first if it counted already), as used just now.
    void Hold(TBudgetCharge& charge, qint64 bytes, std::function<void()> drop);
    // The charge's cache was used: it is dropped last.
    void Touch(TBudgetCharge& charge);

    // The picture held under key (the digest of its bytes and how it is drawn), as used just
    // now; null when there is none. Valid until room is next made.
    const QImage* SharedPicture(const QByteArray& key);
    // Holds picture under key, charged once however many painters draw it; room for it must
    // have been made.
    const QImage& SharePicture(const QByteArray& key, QImage picture);
    int SharedPictureCount() const;

    // Something was not drawn as stored; each problem is kept once, in the order met.
    void Note(const QString& problem);
    const QStringList& Problems() const { return problems_; }

private:
    std::shared_ptr<TPictureMemory> memory_;
    QStringList problems_;
};

// "JPEG 画像（8000×8000）「photo.jpg」" and the like, for messages about one picture.
QString PictureDescription(const QString& kind, int width, int height, const QString& source);

}  // namespace kestrel
