#pragma once

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

private:
    QString message_;
    std::string utf8_;
};

// Raised when a stream or file runs out of data or holds data of the wrong shape.
class EReadError : public EKestrel {
public:
    using EKestrel::EKestrel;
    const char* ClassName() const override { return "EReadError"; }
};

}  // namespace kestrel
