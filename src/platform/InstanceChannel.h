#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QLocalServer;
class QLocalSocket;

namespace kestrel {

// How a second start of the program hands its command line to the running one: a local socket
// beside the single-instance lock of the same name. A message is a 32-bit big-endian length and
// that many bytes of a JSON array of strings; the receiver answers one byte when it took it.

// The socket's path: the lock file's, ending in ".sock".
QString InstanceSocketName(const QString& lockName);
// Longest message accepted.
inline constexpr int MaxInstanceMessage = 64 * 1024;

QByteArray EncodeInstanceMessage(const QStringList& arguments);
// Nothing unless data is one whole, well-formed message.
std::optional<QStringList> DecodeInstanceMessage(const QByteArray& data);

// Listens for the arguments of later starts. Only the holder of the lock may listen; a socket
// left behind by a process that died is replaced.
class TInstanceServer : public QObject {
public:
    explicit TInstanceServer(const QString& lockName, QObject* parent = nullptr);
    ~TInstanceServer() override;
    bool Listening() const;

    // Called after the sender has been answered.
    std::function<void(const QStringList& arguments)> onArguments;

private:
    void Accept();
    void Read(QLocalSocket* socket);

    QLocalServer* server_;
};

// Sends the arguments to the running program; false when none answered within the time.
bool SendToRunningInstance(const QString& lockName, const QStringList& arguments, int timeoutMs = 3000);

}  // namespace kestrel
