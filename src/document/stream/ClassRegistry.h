#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>

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
    const TClassInfo* Find(QByteArrayView name) const;
    // Fails with "クラス %s が見つかりません".
    const TClassInfo& Get(QByteArrayView name) const;

private:
    QHash<QByteArray, const TClassInfo*> classes_;
};

}  // namespace kestrel
