#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace kestrel {

class TClassInfo;
class TClassRegistry;
class TDrawObject;
class TObjectSite;

// One kind of object the user or a stream creates by name: a class, or a creation command that
// stands for one ("TLOImagePaste" makes a picture from the clipboard). Each kind is described
// once, by the folder that builds it.
struct TObjectKind {
    using TPrepare = std::function<void(TDrawObject&, TObjectSite&)>;

    // A kind named after the class it creates, placed by dragging; the builders below describe
    // the rest.
    static TObjectKind OfClass(const TClassInfo& info);
    // Another name for the class: streams and creation by that name make the class.
    static TObjectKind OtherName(QByteArray name, const TClassInfo& info);
    // A command of that name that makes its object with make.
    static TObjectKind Command(QByteArray name, std::function<std::unique_ptr<TDrawObject>()> make);
    TObjectKind&& PreparedBy(TPrepare how) &&;
    // Described in the property editor first and placed at once.
    TObjectKind&& EditedFirst() &&;
    TObjectKind&& PlacedAtOnce() &&;
    TObjectKind&& InMenu(QString menuCaption, QString menuHint, int place) &&;

    QByteArray name;
    // The class streams name; registered with the class registry together with the kind. None
    // for a command that stands for another kind's class.
    const TClassInfo* classInfo = nullptr;
    // Makes a new object instead of the class (a class standing in for another, a command).
    std::function<std::unique_ptr<TDrawObject>()> create;
    // Runs on a new object before it is placed on its site (picture source, clipboard contents,
    // default size ...).
    TPrepare prepare;
    // The property editor is shown before the object is placed; cancelling drops the object.
    bool editorFirst = false;
    // The user places the object by dragging it out.
    bool drag = true;
    // Its entry in the insert menu: none without a caption; lower places come first.
    QString caption;
    QString hint;
    int menuPlace = 0;
};

// The kinds of this program, filled once at start-up (each folder registers its own) and fixed
// from then on.
class TObjectKinds {
public:
    static TObjectKinds& Global();

    // The kind's class (and its ancestors) joins the class registry. A name registered before
    // keeps its first description.
    void Register(TObjectKind kind, TClassRegistry& classes);
    void Register(TObjectKind kind);
    const TObjectKind* Find(QByteArrayView name) const;
    // A new object of the kind; a name no kind has creates the registered draw-object class of
    // that name. Null when there is neither.
    std::unique_ptr<TDrawObject> NewObject(QByteArrayView name, const TClassRegistry& classes) const;
    std::unique_ptr<TDrawObject> NewObject(QByteArrayView name) const;
    // The kinds offered in the insert menu, by place.
    std::vector<const TObjectKind*> Insertable() const;

private:
    std::vector<std::unique_ptr<TObjectKind>> kinds_;
};

}  // namespace kestrel
