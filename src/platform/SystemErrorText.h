#pragma once

// The operating system's and Qt's error texts reach the user inside our messages; they are
// turned into Japanese here, in one place, whatever locale the process runs in.

#include <QJsonParseError>
#include <QString>

class QFileDevice;

namespace kestrel {

// The reason an errno value gives, in Japanese.
QString SystemErrorText(int errorNumber);

// Why the last operation on the file failed, in Japanese: the errno Qt reported when its text is
// one of the known ones, else the kind of failure Qt recorded.
QString FileErrorText(const QFileDevice& file);

// Why a network transfer failed, in Japanese, from Qt's QNetworkReply::NetworkError; host names
// the server (or the proxy, for the proxy's errors).
QString NetworkErrorText(int networkError, const QString& host);

// "JSON の構文エラー(n バイト目: reason)" for a failed parse.
QString JsonSyntaxErrorText(const QJsonParseError& error);

}  // namespace kestrel
