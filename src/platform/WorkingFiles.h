#pragma once

// Working files (the "mtf" compound files of open documents and databases, the "PPR" and "PPZ"
// files of catalogue downloads) belong to the process that made them: their names carry its
// process id, the termination signals remove them, and a later start removes those whose process
// is gone.

#include <QString>
#include <functional>

namespace kestrel {

inline constexpr char WorkingFilePrefix[] = "mtf";
inline constexpr char CatalogueDownloadPrefix[] = "PPR";
inline constexpr char CompressedDownloadPrefix[] = "PPZ";

// A QTemporaryFile template in the temporary folder: prefix, this process's id, "-XXXXXX", suffix.
QString WorkingFileTemplate(const QString& suffix, const char* prefix = WorkingFilePrefix);

// While registered, a working file is removed when a termination signal ends the process or the
// process calls exit(); ordinary destruction removes it otherwise.
void RegisterWorkingFile(const QString& path);
void UnregisterWorkingFile(const QString& path);

// Removes the working files in the folder (the temporary folder when empty) that belong to this
// user and name a process that no longer runs; returns how many were removed.
int RemoveStaleWorkingFiles(const QString& folder = QString());

// SIGTERM, SIGINT and SIGHUP. With requestQuit (a program with an event loop) the first signal
// calls it on the main thread so that everything closes as on a normal exit; a second signal,
// or any signal without requestQuit, removes the registered working files and ends the process
// with the signal. Working files are also removed when the process calls exit().
void InstallTerminationHandlers(std::function<void()> requestQuit = {});

}  // namespace kestrel
