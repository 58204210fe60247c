#pragma once

// Published-property machinery shared by every persistent class. Each class declares its
// properties once, in stream order, in a descriptor table (TPropsOf<C>); the stream writer,
// the reader and the class registry all work from those tables.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <variant>
#include <vector>

namespace kestrel {

class TPersistent;
class TComponent;
class TCollection;
class TReader;
class TWriter;
class TBoundedReader;

// What a property is on the wire (see the writer for the encoding of each).
enum class TPropKind {
    Integer,     // 32-bit and smaller; smallest integer tag
    Int64,       // int64 tag only when it does not fit 32 bits
    Char,        // one-byte string
    Bool,        // false/true tags
    Enum,        // identifier from TEnumInfo
    Set,         // set of TEnumInfo names; value is a bit mask (bit n = ordinal n)
    Color,       // integer or colour identifier
    Cursor,      // integer or cursor identifier
    Charset,     // integer or font character set identifier
    String,      // code page 932 text, short or long string
    Float,       // extended
    Strings,     // string list, written as "<name>.Strings"
    Persistent,  // nested object, written as dotted paths
    Collection,  // collection tag
    Component,   // reference to a component, by name
    Method,      // event handler, by method name
};

// Names of an enumeration's values in ordinal order (also the element type of a set).
struct TEnumInfo {
    QByteArray typeName;
    std::vector<QByteArray> names;
    int IndexOf(QByteArrayView name) const;  // -1 if absent
};

inline constexpr std::nullopt_t NoDefault = std::nullopt;

// Typed accessors of one property. The setter takes the value as the stream holds it; def is
// the value at which the property is left out (nullopt: nodefault, always stored).
template <typename T>
struct TPropSlot {
    std::function<T(const TPersistent&)> get;
    std::function<void(TPersistent&, const T&)> set;
    std::optional<T> def;
};

// A nested object or collection: part of its owner, so it is as mutable as the owner.
struct TObjectSlot {
    std::function<TPersistent*(const TPersistent&)> reach;
};

// Which slot a kind has: ordinal kinds an int64_t slot, Float a double slot, String, Component
// and Method a QString slot, Strings a QStringList slot, Persistent and Collection an object slot.
using TPropAccess = std::variant<std::monostate, TPropSlot<int64_t>, TPropSlot<double>, TPropSlot<QString>,
                                 TPropSlot<QStringList>, TObjectSlot>;

struct TPropInfo {
    QByteArray name;
    TPropKind kind = TPropKind::Integer;
    const TEnumInfo* enumInfo = nullptr;
    // Not stored at all (e.g. an element's device bounds); such a property has no accessors.
    bool neverStored = false;
    // The class's "stored" condition; empty means stored.
    std::function<bool(const TPersistent&)> stored;
    TPropAccess access;

    bool IsOrdinal() const;
    bool IsObject() const { return kind == TPropKind::Persistent || kind == TPropKind::Collection; }
    // The class's own "stored" condition (and not NeverStored), whatever the value.
    bool IsStoredFor(const TPersistent& obj) const;
    // The one rule every writer asks: stored condition, then the value against the default.
    // Nested objects and collections count as stored whenever they are present.
    bool IsStored(const TPersistent& obj) const;

    int64_t Ordinal(const TPersistent& obj) const { return Slot<int64_t>().get(obj); }
    void SetOrdinal(TPersistent& obj, int64_t v) const { Slot<int64_t>().set(obj, v); }
    std::optional<int64_t> OrdinalDefault() const { return Slot<int64_t>().def; }
    double Float(const TPersistent& obj) const { return Slot<double>().get(obj); }
    void SetFloat(TPersistent& obj, double v) const { Slot<double>().set(obj, v); }
    QString Text(const TPersistent& obj) const { return Slot<QString>().get(obj); }
    void SetText(TPersistent& obj, const QString& v) const { Slot<QString>().set(obj, v); }
    QStringList Lines(const TPersistent& obj) const { return Slot<QStringList>().get(obj); }
    void SetLines(TPersistent& obj, const QStringList& v) const { Slot<QStringList>().set(obj, v); }
    const TPersistent* Object(const TPersistent& obj) const { return std::get<TObjectSlot>(access).reach(obj); }
    TPersistent* Object(TPersistent& obj) const { return std::get<TObjectSlot>(access).reach(obj); }

    template <typename T>
    const TPropSlot<T>& Slot() const { return std::get<TPropSlot<T>>(access); }
};

// Class metadata: name, parent, factory (empty for abstract classes) and published properties.
class TClassInfo {
public:
    using Factory = std::function<std::unique_ptr<TPersistent>()>;
    using PropsBuilder = std::function<std::vector<TPropInfo>()>;

    TClassInfo(QByteArray name, const TClassInfo* parent, Factory factory, PropsBuilder ownProps);

    const QByteArray& Name() const { return name_; }
    const TClassInfo* Parent() const { return parent_; }
    bool IsAbstract() const { return !factory_; }
    std::unique_ptr<TPersistent> Create() const;
    bool InheritsFrom(const TClassInfo& other) const;

    // Every published property in stream order: base classes first; a redeclared property
    // keeps the position of the one it redeclares.
    const std::vector<TPropInfo>& Properties() const;
    const TPropInfo* FindProperty(QByteArrayView name) const;

private:
    QByteArray name_;
    const TClassInfo* parent_;
    Factory factory_;
    PropsBuilder ownPropsBuilder_;
    mutable std::optional<std::vector<TPropInfo>> props_;
};

template <class C>
TClassInfo::Factory FactoryOf()
{
    return [] { return std::unique_ptr<TPersistent>(new C()); };
}

// Custom records a class adds after its properties (DefineProperties).
class TFiler {
public:
    virtual ~TFiler() = default;
    // A property record whose value the class reads and writes with the value codec.
    virtual void DefineProperty(const QByteArray& name, const std::function<void(TReader&)>& read,
                                const std::function<void(TWriter&)>& write, bool hasData) = 0;
    // A binary record: the reader gets exactly the payload bytes; the writer appends them.
    virtual void DefineBinaryProperty(const QByteArray& name, const std::function<void(TBoundedReader&)>& read,
                                      const std::function<void(QByteArray&)>& write, bool hasData) = 0;
};

class TPersistent {
public:
    virtual ~TPersistent() = default;
    static const TClassInfo& StaticClass();
    virtual const TClassInfo& ClassInfo() const { return StaticClass(); }
    QByteArray ClassName() const { return ClassInfo().Name(); }

    virtual void DefineProperties(TFiler&) {}
    // Copies source's published properties when source is of this class or derives from it;
    // otherwise falls back to source.AssignTo(*this), which fails. A class overrides it only
    // for what its table cannot hold (custom records, state outside the table), calling the
    // base first.
    virtual void Assign(const TPersistent& source);

protected:
    virtual void AssignTo(TPersistent& dest) const;
};

#define KESTREL_PERSISTENT()                                                              \
public:                                                                                   \
    static const ::kestrel::TClassInfo& StaticClass();                                    \
    const ::kestrel::TClassInfo& ClassInfo() const override { return StaticClass(); }     \
                                                                                          \
private:

// Something with a name that can own streamed children.
class TComponent : public TPersistent {
    KESTREL_PERSISTENT()
public:
    const QString& Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }
    int Tag() const { return tag_; }
    virtual void SetTag(int tag) { tag_ = tag; }

    // Children written after the properties, in the order the class chooses.
    virtual void GetChildren(const std::function<void(TComponent&)>& proc) const;
    // Takes a child read from a stream; a class without streamed children refuses it.
    virtual void AdoptChild(std::unique_ptr<TComponent> child);
    // Called before a binary stream's properties are read into the object: a property the
    // stream leaves out then tells an older format from a newly created object.
    virtual void ReadingStream() {}
    // Called once after the whole stream is read, parents before children.
    virtual void Loaded() {}

private:
    QString name_;
    int tag_ = 0;
};

class TCollectionItem : public TPersistent {
    KESTREL_PERSISTENT()
};

class TCollection : public TPersistent {
    KESTREL_PERSISTENT()
public:
    using ItemFactory = std::function<std::unique_ptr<TCollectionItem>()>;
    explicit TCollection(ItemFactory factory = {}) : factory_(std::move(factory)) {}

    int Count() const { return static_cast<int>(items_.size()); }
    TCollectionItem& Item(int i) const { return *items_.at(i); }
    TCollectionItem& Add();
    // A new item at index (0..Count).
    TCollectionItem& Insert(int index);
    void Delete(int index);
    void Exchange(int a, int b);
    void Clear() { items_.clear(); }
    void Assign(const TPersistent& source) override;

private:
    int CheckedIndex(int index) const;

    ItemFactory factory_;
    std::vector<std::unique_ptr<TCollectionItem>> items_;
};

// Copies every published property of dest's class that source's class has with the same name
// and kind; nested objects are copied property by property, collections item by item.
void AssignPublished(const TPersistent& source, TPersistent& dest);

// Offers every stored text of the object, its nested objects and its collections' items to
// rewrite, which returns the new text or nothing to keep it; string lists are offered as one
// text with their lines joined by CR LF.
void RewriteStoredTexts(TPersistent& object, const std::function<std::optional<QString>(const QString&)>& rewrite);

// Lets the class of a const object enumerate its custom records for writing. DefineProperties
// serves reading as well, hence non-const; a writing filer only calls the write side.
void DefineRecordsForWriting(const TPersistent& object, TFiler& writingFiler);

namespace detail {
template <typename S>
struct SetterArg;
template <typename R, typename K, typename A>
struct SetterArg<R (K::*)(A)> {
    using type = std::remove_cvref_t<A>;
};

template <typename T>
T* AddressOf(T* p) { return p; }
template <typename T>
T* AddressOf(T& r) { return &r; }
}  // namespace detail

// Builds a class's own property descriptors from its getters and setters (member functions of
// C or of a base of C). Every kind takes a declared default (NoDefault: always written); the
// defaults given here are those the stream format implies when none is declared.
template <class C>
class TPropsOf {
public:
    using Default = std::optional<int64_t>;

    template <typename G, typename S>
    TPropsOf& Int(const char* name, G get, S set, Default def = 0) { return Ordinal(name, TPropKind::Integer, nullptr, get, set, def); }
    template <typename G, typename S>
    TPropsOf& Int64(const char* name, G get, S set, Default def = 0) { return Ordinal(name, TPropKind::Int64, nullptr, get, set, def); }
    template <typename G, typename S>
    TPropsOf& Bool(const char* name, G get, S set, Default def = 0) { return Ordinal(name, TPropKind::Bool, nullptr, get, set, def); }
    template <typename G, typename S>
    TPropsOf& Enum(const char* name, const TEnumInfo& info, G get, S set, Default def = 0)
    {
        return Ordinal(name, TPropKind::Enum, &info, get, set, def);
    }
    // The value is a bit mask: bit n stands for the element of ordinal n.
    template <typename G, typename S>
    TPropsOf& Set(const char* name, const TEnumInfo& elements, G get, S set, Default def = 0)
    {
        return Ordinal(name, TPropKind::Set, &elements, get, set, def);
    }
    template <typename G, typename S>
    TPropsOf& Color(const char* name, G get, S set, Default def = 0) { return Ordinal(name, TPropKind::Color, nullptr, get, set, def); }
    template <typename G, typename S>
    TPropsOf& Cursor(const char* name, G get, S set, Default def = 0) { return Ordinal(name, TPropKind::Cursor, nullptr, get, set, def); }
    template <typename G, typename S>
    TPropsOf& Charset(const char* name, G get, S set, Default def = 0) { return Ordinal(name, TPropKind::Charset, nullptr, get, set, def); }
    template <typename G, typename S>
    TPropsOf& Char(const char* name, G get, S set, Default def = 0) { return Ordinal(name, TPropKind::Char, nullptr, get, set, def); }

    template <typename G, typename S>
    TPropsOf& Float(const char* name, G get, S set, std::optional<double> def = 0.0)
    {
        return Value<double>(name, TPropKind::Float, get, set, def);
    }
    template <typename G, typename S>
    TPropsOf& String(const char* name, G get, S set, std::optional<QString> def = QString())
    {
        return Value<QString>(name, TPropKind::String, get, set, def);
    }
    template <typename G, typename S>
    TPropsOf& Component(const char* name, G get, S set) { return Value<QString>(name, TPropKind::Component, get, set, QString()); }
    template <typename G, typename S>
    TPropsOf& Method(const char* name, G get, S set) { return Value<QString>(name, TPropKind::Method, get, set, QString()); }
    template <typename G, typename S>
    TPropsOf& Strings(const char* name, G get, S set) { return Value<QStringList>(name, TPropKind::Strings, get, set, QStringList()); }
    // A nested persistent object: the accessor returns a pointer or a reference, from a const
    // or a non-const member function.
    template <typename G>
    TPropsOf& Nested(const char* name, G get) { return Object(name, TPropKind::Persistent, get); }
    template <typename G>
    TPropsOf& Collection(const char* name, G get) { return Object(name, TPropKind::Collection, get); }
    // A property the class has but never stores (it still holds a stream position for redeclaration).
    TPropsOf& NeverStored(const char* name, TPropKind kind = TPropKind::Integer)
    {
        TPropInfo p = Base(name, kind);
        p.neverStored = true;
        if (p.IsOrdinal()) p.access = TPropSlot<int64_t>{{}, {}, 0};
        return Add(std::move(p));
    }
    // The "stored" condition of the property added last.
    TPropsOf& StoredIf(std::function<bool(const C&)> cond)
    {
        props_.back().stored = [cond = std::move(cond)](const TPersistent& o) { return cond(Self(o)); };
        return *this;
    }

    std::vector<TPropInfo> Done() { return std::move(props_); }

private:
    static const C& Self(const TPersistent& o) { return static_cast<const C&>(o); }
    static C& Self(TPersistent& o) { return static_cast<C&>(o); }

    static TPropInfo Base(const char* name, TPropKind kind)
    {
        TPropInfo p;
        p.name = name;
        p.kind = kind;
        return p;
    }
    TPropsOf& Add(TPropInfo p)
    {
        props_.push_back(std::move(p));
        return *this;
    }
    template <typename G, typename S>
    TPropsOf& Ordinal(const char* name, TPropKind kind, const TEnumInfo* info, G get, S set, Default def)
    {
        TPropInfo p = Base(name, kind);
        p.enumInfo = info;
        p.access = TPropSlot<int64_t>{
            [get](const TPersistent& o) { return static_cast<int64_t>((Self(o).*get)()); },
            [set](TPersistent& o, const int64_t& v) {
                (Self(o).*set)(static_cast<typename detail::SetterArg<S>::type>(v));
            },
            def};
        return Add(std::move(p));
    }
    template <typename T, typename G, typename S>
    TPropsOf& Value(const char* name, TPropKind kind, G get, S set, std::optional<T> def)
    {
        TPropInfo p = Base(name, kind);
        p.access = TPropSlot<T>{[get](const TPersistent& o) { return T((Self(o).*get)()); },
                                [set](TPersistent& o, const T& v) { (Self(o).*set)(v); }, std::move(def)};
        return Add(std::move(p));
    }
    template <typename G>
    TPropsOf& Object(const char* name, TPropKind kind, G get)
    {
        TPropInfo p = Base(name, kind);
        p.access = TObjectSlot{[get](const TPersistent& o) -> TPersistent* {
            // The nested object belongs to its owner: whoever may change the owner may change it.
            auto* nested = detail::AddressOf((const_cast<C&>(Self(o)).*get)());
            return const_cast<std::remove_const_t<std::remove_pointer_t<decltype(nested)>>*>(nested);
        }};
        return Add(std::move(p));
    }

    std::vector<TPropInfo> props_;
};

}  // namespace kestrel
