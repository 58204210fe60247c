#pragma once

#include <QMap>
#include <QString>
#include <functional>

namespace kestrel {

// Sends a finished PDF to a CUPS queue as one job and answers its id. keepSending is asked
// between pieces of the upload; when it says no, the job is cancelled and purged on the server
// and 0 is answered. A refused job fails with a Japanese message naming the queue.
int SubmitPdfToQueue(const QString& queue, const QString& pdfPath, const QString& title,
                     const QMap<QString, QString>& options, const std::function<bool()>& keepSending);

}  // namespace kestrel
