#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <memory>

class QTcpServer;
class QTcpSocket;

namespace kestrel::test {

// An HTTP server on 127.0.0.1 for the network tests, served by the event loop of the test's own
// thread (the download waits in one). Each path gets a canned answer; every request head is kept.
// Asked as a proxy ("GET http://host:port/path"), it answers the path itself.
class TLocalHttpServer {
public:
    // What happens after the answer's bytes are sent.
    enum class TEnd { Close, Reset, Stall };

    TLocalHttpServer();
    ~TLocalHttpServer();

    quint16 Port() const;
    QString Url(const QString& path) const;

    // A complete answer: status line, Content-Length and body.
    void Serve(const QString& path, const QByteArray& body, int status = 200);
    // Exactly these bytes, then the end.
    void ServeRaw(const QString& path, const QByteArray& bytes, TEnd end = TEnd::Close);

    // The request heads received, oldest first.
    const QList<QByteArray>& Requests() const { return requests_; }

private:
    struct TAnswer {
        QByteArray bytes;
        TEnd end;
    };
    void Accept();
    void Answer(QTcpSocket& socket, const QByteArray& head);

    std::unique_ptr<QTcpServer> server_;
    QMap<QString, TAnswer> answers_;
    QList<QByteArray> requests_;
};

// "HTTP/1.1 <status> ...", Content-Length and the body.
QByteArray HttpResponse(const QByteArray& body, int status = 200);

}  // namespace kestrel::test
