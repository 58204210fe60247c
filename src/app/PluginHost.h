#pragma once

// The plug-in host: shared libraries in the plug-in folder, each with a catalogue of servers,
// created through class factories behind one exported C entry point.

#include <QLibrary>
#include <QString>
#include <QUuid>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "kestrel/KestrelPlugin.h"
#include "platform/Error.h"

namespace kestrel {

QUuid ToUuid(const KGuid& guid);
KGuid ToGuid(const QUuid& uuid);

// A plug-in failed or answered something unusable; the message names the plug-in.
class EPlugin : public EKestrel {
public:
    EPlugin(const QString& plugin, const QString& problem, KResult status = K_E_FAIL);
    const char* ClassName() const override { return "EPlugin"; }
    KResult Status() const { return status_; }

private:
    KResult status_;
};

// A loaded plug-in library; unloaded when the last holder lets go.
class TPluginLibrary {
public:
    // Refuses anything but a regular file that loads and exports the entry point.
    static std::shared_ptr<TPluginLibrary> Load(const QString& file);
    ~TPluginLibrary();
    TPluginLibrary(const TPluginLibrary&) = delete;
    TPluginLibrary& operator=(const TPluginLibrary&) = delete;

    const QString& File() const { return file_; }
    // The file name, as messages name the library.
    QString Label() const;
    // The class factory of classId; fails with the plug-in's status.
    IKClassFactory* ClassFactory(const QUuid& classId, const QString& label) const;

private:
    explicit TPluginLibrary(const QString& file);
    static std::shared_ptr<TPluginLibrary> LoadNew(const QString& file);

    QString file_;
    QLibrary library_;
    KestrelGetClassObjectFunction entry_ = nullptr;
};

// Runs a call into a plug-in: a foreign exception becomes an EPlugin naming the plug-in, and a
// failure status raises one saying what failed.
KResult CallPlugin(const QString& label, const QString& what, const std::function<KResult()>& call);
void CheckPluginCall(const QString& label, const QString& what, const std::function<KResult()>& call);

// Text a plug-in writes through a KTextOut: at most limit characters, valid UTF-16.
QString ReadPluginText(const QString& label, const QString& what, qsizetype limit,
                       const std::function<KResult(const KTextOut*)>& call);
// A name from a plug-in: 1 to 256 printable characters, valid UTF-16; returned unchanged.
QString CheckPluginName(const QString& label, const QString& what, const QString& name);
// Text that must be such a name.
QString ReadPluginName(const QString& label, const QString& what,
                       const std::function<KResult(const KTextOut*)>& call);

// One reference to an interface of a plug-in object, which keeps its library loaded.
template <class I>
class TPluginRef {
public:
    TPluginRef() = default;
    // Takes over the reference the plug-in handed out.
    TPluginRef(std::shared_ptr<TPluginLibrary> library, I* object, QString label)
        : library_(std::move(library)), object_(object), label_(std::move(label))
    {
    }
    TPluginRef(TPluginRef&& other) noexcept { *this = std::move(other); }
    TPluginRef& operator=(TPluginRef&& other) noexcept
    {
        if (this != &other) {
            Reset();
            library_ = std::move(other.library_);
            object_ = std::exchange(other.object_, nullptr);
            label_ = std::move(other.label_);
        }
        return *this;
    }
    ~TPluginRef() { Reset(); }

    I* Get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    const QString& Label() const { return label_; }
    const std::shared_ptr<TPluginLibrary>& Library() const { return library_; }

    // The object's interface iid; empty when it does not offer it.
    template <class J>
    TPluginRef<J> Query(const KGuid& iid) const
    {
        void* other = nullptr;
        const KResult status = CallPlugin(label_, QStringLiteral("インターフェースの問い合わせ"),
                                          [&] { return object_->lpVtbl->QueryInterface(object_, &iid, &other); });
        if (K_FAILED(status) || !other) return {};
        return TPluginRef<J>(library_, static_cast<J*>(other), label_);
    }

    void Reset()
    {
        // Released before the library may go.
        if (I* object = std::exchange(object_, nullptr)) {
            try {
                object->lpVtbl->Release(object);
            } catch (...) {
                // Nothing to do about a plug-in that fails to let go.
            }
        }
        library_.reset();
    }

private:
    std::shared_ptr<TPluginLibrary> library_;
    I* object_ = nullptr;
    QString label_;
};

class TBCAppFrameClient;

// Creates classId from the library as a server and initialises it with the client. Every
// failure raises an EPlugin carrying the status (K_CO_E_ERRORINDLL for a library that does not
// load or lacks the entry point).
TPluginRef<IBCServerV1> CreateFromLibrary(const QString& file, const QUuid& classId, TBCAppFrameClient& client,
                                          const QString& label = {});

// One server found in a library.
struct TServerInfo {
    QUuid ClassId;
    QUuid Category;
    QString Name;
    QString Library;  // full path
};

// A library that could not be used, and why (a message naming it).
struct TRefusedPlugin {
    QString Library;
    QString Reason;
};

// The servers of one category found in plug-in libraries.
class TPluginList {
public:
    // A null category takes the servers of every category (for listing them).
    explicit TPluginList(const QUuid& category);
    ~TPluginList();
    TPluginList(const TPluginList&) = delete;
    TPluginList& operator=(const TPluginList&) = delete;

    const QUuid& Category() const { return category_; }

    // Every "*.so" regular file of the folder, in name order; a library that fails is recorded
    // in Refused() and the others still load.
    void LoadFolder(const QString& folder, TBCAppFrameClient& client);
    // Reads the library's catalogue and appends its servers of the category; raises an EPlugin
    // for a library that cannot be used, which then adds nothing. A library none of whose
    // servers is listed is unloaded again.
    void LoadLibrary(const QString& file, TBCAppFrameClient& client);

    int Count() const { return int(servers_.size()); }
    QString Name(int index) const { return servers_.at(size_t(index)).Name; }
    const TServerInfo& Server(int index) const { return servers_.at(size_t(index)); }
    const std::vector<TRefusedPlugin>& Refused() const { return refused_; }

    TPluginRef<IBCServerV1> CreateServer(int index, TBCAppFrameClient& client) const;
    void Clear();

private:
    QUuid category_;
    std::vector<TServerInfo> servers_;
    std::vector<TRefusedPlugin> refused_;
    std::vector<std::shared_ptr<TPluginLibrary>> libraries_;
};

// How messages name a server: its name and its library's file name.
QString ServerLabel(const TServerInfo& server);
// The category as the program names it; an unknown one as its identifier.
QString CategoryName(const QUuid& category);

}  // namespace kestrel
