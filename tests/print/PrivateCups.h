#pragma once

// A CUPS scheduler of the test's own: a private port, a temporary configuration and one queue
// whose device is a file, so a print can be checked where it arrives. Nothing of the machine's
// own print system is touched.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace kestrel::test {

class TPrivateCups {
public:
    static constexpr const char* Queue = "kestreltest";

    TPrivateCups();
    ~TPrivateCups();
    // False (with the reason) when cupsd is missing or will not start here.
    bool Start(QString& why);
    // What the queue's device received so far.
    QString ReceivedFile() const { return dir_.path() + "/received.pdf"; }
    // Jobs the scheduler knows of; active only, or also the finished ones.
    int JobCount(bool activeOnly) const;
    // Waits until no job is active any more.
    bool WaitUntilIdle() const;

private:
    void WriteConfiguration();
    bool Listening() const;

    QTemporaryDir dir_;
    int port_ = 0;
    std::unique_ptr<QProcess> cupsd_;
};

}  // namespace kestrel::test
