#include "platform/InstanceChannel.h"

#include <QDeadlineTimer>
#include <algorithm>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include "platform/ExecuteBlocker.h"

namespace kestrel {

namespace {

constexpr int LengthBytes = 4;
constexpr char Taken = '1';
// A sender that keeps the line open without finishing its message is dropped after this.
constexpr int ReceiveTimeoutMs = 5000;
constexpr int RetryDelayMs = 100;

}  // namespace

QString InstanceSocketName(const QString& lockName)
{
    QString path = TExecuteBlocker::FileNameFor(lockName);
    path.chop(QStringLiteral(".lock").size());
    return path + QStringLiteral(".sock");
}

QByteArray EncodeInstanceMessage(const QStringList& arguments)
{
    const QByteArray body = QJsonDocument(QJsonArray::fromStringList(arguments)).toJson(QJsonDocument::Compact);
    QByteArray message(LengthBytes, '\0');
    qToBigEndian<quint32>(quint32(body.size()), message.data());
    return message + body;
}

std::optional<QStringList> DecodeInstanceMessage(const QByteArray& data)
{
    if (data.size() < LengthBytes) return std::nullopt;
    const quint32 length = qFromBigEndian<quint32>(data.constData());
    if (length > quint32(MaxInstanceMessage) || qsizetype(length) != data.size() - LengthBytes) return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data.mid(LengthBytes), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) return std::nullopt;
    QStringList arguments;
    for (const QJsonValue& value : document.array()) {
        if (!value.isString()) return std::nullopt;
        arguments << value.toString();
    }
    return arguments;
}

TInstanceServer::TInstanceServer(const QString& lockName, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this))
{
    const QString name = InstanceSocketName(lockName);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(name);
    if (server_->listen(name)) connect(server_, &QLocalServer::newConnection, this, [this] { Accept(); });
}

TInstanceServer::~TInstanceServer()
{
    server_->close();
}

bool TInstanceServer::Listening() const
{
    return server_->isListening();
}

void TInstanceServer::Accept()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        // A silent sender must not hold a socket for ever.
        QTimer::singleShot(ReceiveTimeoutMs, socket, [socket] { socket->abort(); });
    }
}

// Waits until the whole message is there; a message too long or malformed ends the connection.
void TInstanceServer::Read(QLocalSocket* socket)
{
    if (socket->bytesAvailable() < LengthBytes) return;
    const QByteArray head = socket->peek(LengthBytes);
    const quint32 length = qFromBigEndian<quint32>(head.constData());
    if (length > quint32(MaxInstanceMessage)) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < qint64(LengthBytes + length)) return;
    const std::optional<QStringList> arguments = DecodeInstanceMessage(socket->read(LengthBytes + length));
    if (!arguments) {
        socket->abort();
        return;
    }
    socket->write(&Taken, 1);
    socket->flush();
    socket->disconnectFromServer();
    if (onArguments) onArguments(*arguments);
}

bool SendToRunningInstance(const QString& lockName, const QStringList& arguments, int timeoutMs)
{
    const QString name = InstanceSocketName(lockName);
    const QDeadlineTimer deadline(timeoutMs);
    // The running program may still be starting: its socket comes a little after its lock.
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (!socket.waitForConnected(int(deadline.remainingTime()))) {
            QThread::msleep(RetryDelayMs);
            continue;
        }
        socket.write(EncodeInstanceMessage(arguments));
        if (!socket.waitForBytesWritten(int(deadline.remainingTime()))) return false;
        while (socket.bytesAvailable() < 1)
            if (!socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())))) return false;
        return socket.read(1) == QByteArray(1, Taken);
    }
    return false;
}

}  // namespace kestrel
