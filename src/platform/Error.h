#pragma once

#include <QByteArrayView>
#include <QString>
#include <exception>
#include <string>

namespace kestrel {

// Base of every error the program raises: carries the message shown to the user.
class EKestrel : public std::exception {
public:
    explicit EKestrel(QString message) : message_(std::move(message)), utf8_(message_.toStdString()) {}
    const QString& Message() const { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }
    // Class name as the error reports name it (e.g. for the unexpected-error handler).
    virtual const char* ClassName() const { return "EKestrel"; }

protected:
    void SetMessage(QString message)
    {
        message_ = std::move(message);
        utf8_ = message_.toStdString();
    }

private:
    QString message_;
    std::string utf8_;
};

// Raised when a stream or file runs out of data or holds data of the wrong shape. The readers it
// passes on its way out say where it happened: the innermost one knows best, so each place is
// recorded once.
class EReadError : public EKestrel {
public:
    explicit EReadError(QString reason) : EKestrel(reason), reason_(std::move(reason)) {}
    const char* ClassName() const override { return "EReadError"; }
    // The message without the place.
    const QString& Reason() const { return reason_; }

    void SetProperty(const QString& className, const QString& property);
    void SetStream(const QString& path);

private:
    void ComposeMessage();

    QString reason_, className_, property_, stream_;
};

// A class or property name read from untrusted bytes, fit to stand in a message: printable
// ASCII as it is, any other byte as \xNN, at most 64 bytes of it.
QString ShownName(QByteArrayView raw);

}  // namespace kestrel
