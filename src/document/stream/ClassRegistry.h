#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <vector>

namespace kestrel {

class TClassInfo;

// Persistent classes by name, for creating the objects a stream names. Names compare without
// regard to case; the first class registered under a name keeps it.
class TClassRegistry {
public:
    // The process-wide registry that start-up fills.
    static TClassRegistry& Global();

    // Registers the class and every ancestor whose name is not taken yet.
    void Register(const TClassInfo& info);
    // Registers the class, and the name for it too (taking it over from an ancestor of the
    // class, else only when free): streams naming an older class read into its successor.
    void RegisterAs(QByteArrayView name, const TClassInfo& info);
    const TClassInfo* Find(QByteArrayView name) const;
    // Fails with "クラス %s が見つかりません".
    const TClassInfo& Get(QByteArrayView name) const;
    // Every class under its registered name, in the order of registration (ancestors after the
    // class that brought them).
    const std::vector<const TClassInfo*>& Classes() const { return ordered_; }

private:
    QHash<QByteArray, const TClassInfo*> classes_;
    std::vector<const TClassInfo*> ordered_;
};

}  // namespace kestrel
