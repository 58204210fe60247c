#include "support/LocalHttpServer.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <sys/socket.h>

namespace kestrel::test {

namespace {

QByteArray ReasonOf(int status)
{
    switch (status) {
        case 200:
            return "OK";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

// The path of the request line, also of a proxy's absolute address.
QString RequestPath(const QByteArray& head)
{
    const QList<QByteArray> words = head.left(head.indexOf("\r\n")).split(' ');
    const QString target = QString::fromLatin1(words.value(1));
    return target.startsWith(u'/') ? target : QUrl(target).path();
}

// Ends the connection with a reset instead of an orderly close.
void Reset(QTcpSocket& socket)
{
    const linger now{1, 0};
    setsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &now, sizeof now);
    socket.abort();
}

}  // namespace

QByteArray HttpResponse(const QByteArray& body, int status)
{
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + ReasonOf(status) +
           "\r\nContent-Type: application/octet-stream\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

TLocalHttpServer::TLocalHttpServer() : server_(std::make_unique<QTcpServer>())
{
    server_->listen(QHostAddress::LocalHost);
    QObject::connect(server_.get(), &QTcpServer::newConnection, server_.get(), [this] { Accept(); });
}

TLocalHttpServer::~TLocalHttpServer() = default;

quint16 TLocalHttpServer::Port() const
{
    return server_->serverPort();
}

QString TLocalHttpServer::Url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(Port()).arg(path);
}

void TLocalHttpServer::Serve(const QString& path, const QByteArray& body, int status)
{
    ServeRaw(path, HttpResponse(body, status));
}

void TLocalHttpServer::ServeRaw(const QString& path, const QByteArray& bytes, TEnd end)
{
    answers_[path] = {bytes, end};
}

void TLocalHttpServer::Accept()
{
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        socket->setParent(server_.get());
        auto received = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
            const bool headComplete = received->contains("\r\n\r\n");
            *received += socket->readAll();
            if (headComplete || !received->contains("\r\n\r\n")) return;
            const QByteArray head = received->left(received->indexOf("\r\n\r\n") + 4);
            requests_ << head;
            Answer(*socket, head);
        });
    }
}

void TLocalHttpServer::Answer(QTcpSocket& socket, const QByteArray& head)
{
    const QString path = RequestPath(head);
    const TAnswer answer = answers_.value(path, {HttpResponse("not here", 404), TEnd::Close});
    socket.write(answer.bytes);
    socket.flush();
    switch (answer.end) {
        case TEnd::Close:
            socket.disconnectFromHost();
            break;
        case TEnd::Reset:
            socket.waitForBytesWritten(1000);
            Reset(socket);
            break;
        case TEnd::Stall:
            break;
    }
}

}  // namespace kestrel::test
