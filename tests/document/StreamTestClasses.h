#pragma once

// Small persistent classes that exercise every kind of published property.

#include <QStringList>
#include <memory>
#include <vector>

#include "document/stream/Persistent.h"

namespace kestrel::test {

enum TTestStyle { tsPlain, tsBold, tsItalic };
enum TTestOption { toFirst, toSecond, toThird };

const TEnumInfo& TestStyleInfo();
const TEnumInfo& TestOptionInfo();

class TTestItem : public TCollectionItem {
    KESTREL_PERSISTENT()
public:
    int Value() const { return value_; }
    void SetValue(int v) { value_ = v; }
    QString Caption() const { return caption_; }
    void SetCaption(const QString& c) { caption_ = c; }

private:
    int value_ = 0;
    QString caption_;
};

// A nested (non-component) object, written as dotted paths.
class TTestFont : public TPersistent {
    KESTREL_PERSISTENT()
public:
    int Size() const { return size_; }
    void SetSize(int s) { size_ = s; }
    QString FaceName() const { return faceName_; }
    void SetFaceName(const QString& n) { faceName_ = n; }

private:
    int size_ = 9;
    QString faceName_;
};

// Rectangle-like object with one property of every kind, custom records and children.
class TTestRect : public TComponent {
    KESTREL_PERSISTENT()
public:
    TTestRect();

    int Left() const { return left_; }
    void SetLeft(int v) { left_ = v; }
    int Top() const { return top_; }
    void SetTop(int v) { top_ = v; }
    int Width() const { return width_; }
    void SetWidth(int v) { width_ = v; }
    int Height() const { return height_; }
    void SetHeight(int v) { height_ = v; }
    int Cursor() const { return cursor_; }
    void SetCursor(int v) { cursor_ = v; }
    QString Caption() const { return caption_; }
    void SetCaption(const QString& v) { caption_ = v; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    int BlendRatio() const { return blendRatio_; }
    void SetBlendRatio(int v) { blendRatio_ = v; }
    int Color() const { return color_; }
    void SetColor(int v) { color_ = v; }
    TTestStyle Style() const { return style_; }
    void SetStyle(TTestStyle v) { style_ = v; }
    int Options() const { return options_; }
    void SetOptions(int v) { options_ = v; }
    double Ratio() const { return ratio_; }
    void SetRatio(double v) { ratio_ = v; }
    int64_t Big() const { return big_; }
    void SetBig(int64_t v) { big_ = v; }
    int Initial() const { return initial_; }
    void SetInitial(int v) { initial_ = v; }
    QStringList Lines() const { return lines_; }
    void SetLines(const QStringList& v) { lines_ = v; }
    TTestFont* Font() { return &font_; }
    TCollection* Items() { return &items_; }
    const TCollection& ItemList() const { return items_; }
    QString PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(const QString& v) { popupMenu_ = v; }
    QString OnModify() const { return onModify_; }
    void SetOnModify(const QString& v) { onModify_ = v; }

    // Custom records: a binary "Data" record and an "Extra" list of integers.
    QByteArray data;
    std::vector<int> extra;

    std::vector<std::unique_ptr<TComponent>> children;
    void GetChildren(const std::function<void(TComponent&)>& proc) const override;
    void AdoptChild(std::unique_ptr<TComponent> child) override;
    void DefineProperties(TFiler& filer) override;
    void Loaded() override;

    // Names of the objects that got Loaded, in call order, across all instances.
    static QStringList& LoadedLog();

private:
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    int cursor_ = 0;
    QString caption_;
    bool visible_ = true;
    int blendRatio_ = 100;
    int color_ = 0x1FFFFFFF;
    TTestStyle style_ = tsPlain;
    int options_ = 0;
    double ratio_ = 0;
    int64_t big_ = 0;
    int initial_ = 0;
    QStringList lines_;
    TTestFont font_;
    TCollection items_;
    QString popupMenu_;
    QString onModify_;
};

// A descendant that is not a "draw object" for the object-list filter.
class TTestOther : public TComponent {
    KESTREL_PERSISTENT()
};

}  // namespace kestrel::test
