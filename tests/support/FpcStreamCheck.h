#pragma once

// Free Pascal's own component streaming (tests/document/fpc/streamcheck.pas), an implementation
// written independently of ours, run as a program.

#include <QByteArray>
#include <QString>

namespace kestrel::test {

// Compiles the Pascal helper into the test's folder and returns its path; fails the current
// test and returns an empty path when fpc is missing or the build fails.
QString BuildFpcStreamCheck();

// Runs the helper ("totext" prints ObjectBinaryToText of the file, "write" writes its own
// component); fails the current test unless it exits with 0. Returns its standard output.
QByteArray RunFpcStreamCheck(const QString& helper, const QString& mode, const QString& file);

}  // namespace kestrel::test
