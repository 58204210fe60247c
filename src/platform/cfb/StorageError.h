#pragma once

#include <QString>
#include <cstdint>

#include "platform/Error.h"

namespace kestrel {

// Codes numbered as the structured-storage system numbers them, so that a reported code means
// the same as on the platform the files come from.
enum class TStorageErrorCode : uint32_t {
    InvalidFunction = 0x80030001,
    FileNotFound = 0x80030002,
    PathNotFound = 0x80030003,
    AccessDenied = 0x80030005,
    InsufficientMemory = 0x80030008,
    SeekError = 0x80030019,
    WriteFault = 0x8003001D,
    ReadFault = 0x8003001E,
    FileAlreadyExists = 0x80030050,
    InvalidParameter = 0x80030057,
    InvalidHeader = 0x800300FB,
    InvalidName = 0x800300FC,
    Reverted = 0x80030102,
    DocFileCorrupt = 0x80030109,
    DocFileTooLarge = 0x80030111,
};

// A failed storage or stream operation: the storage error code and a Japanese message.
class EStorageError : public EKestrel {
public:
    EStorageError(TStorageErrorCode code, QString message) : EKestrel(std::move(message)), code_(code) {}
    TStorageErrorCode Code() const { return code_; }
    const char* ClassName() const override { return "EStorageError"; }

private:
    TStorageErrorCode code_;
};

// The standard message for a code about subject (a file or element name); detail, when given,
// says what exactly was wrong.
QString StorageErrorMessage(TStorageErrorCode code, const QString& subject, const QString& detail = QString());

[[noreturn]] void ThrowStorageError(TStorageErrorCode code, const QString& subject, const QString& detail = QString());

}  // namespace kestrel
