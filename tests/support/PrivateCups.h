#pragma once

// A CUPS scheduler of the test's own: a private port, a temporary configuration and queues whose
// devices are files, so a print can be checked where it arrives. Nothing of the machine's own
// print system is touched.

#include <QMap>
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
    // Another queue with the driver of a PPD file (before Start).
    void AddQueue(const QString& name, const QString& ppdFile);
    // False (with the reason) when cupsd is missing or will not start here.
    bool Start(QString& why);
    // What the queue's device received so far.
    QString ReceivedFile(const QString& queue = Queue) const;
    // Jobs the scheduler knows of on the queue; active only, or also the finished ones.
    int JobCount(bool activeOnly, const QString& queue = Queue) const;
    // Waits until no job of any queue is active any more.
    bool WaitUntilIdle(int timeoutMs = 10000) const;
    // The job's attributes as text (the options it was sent with among them), and its state
    // ("job-state" 9 is completed).
    QMap<QString, QString> JobAttributes(int jobId) const;

private:
    void WriteConfiguration();
    bool Listening() const;

    QTemporaryDir dir_;
    QMap<QString, QString> queues_;  // name -> PPD text
    int port_ = 0;
    std::unique_ptr<QProcess> cupsd_;
};

}  // namespace kestrel::test
