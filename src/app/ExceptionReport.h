#pragma once

#include <QString>
#include <exception>
#include <functional>

namespace kestrel {

// The application's exception handler. Model code that must not let an error escape (painting,
// idle work) reports it here; the application frame installs the handler that shows it, tests
// install their own.
using TExceptionHandler = std::function<void(const std::exception&)>;

// Installs a handler and returns the previous one.
TExceptionHandler SetExceptionHandler(TExceptionHandler handler);
void ReportUnexpectedException(const std::exception& e);

// The user-readable text of any error: our own errors carry it; the standard library's speak
// English and are worded here.
QString ExceptionMessage(const std::exception& e);

}  // namespace kestrel
