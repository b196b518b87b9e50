#pragma once

#include <QString>
#include <functional>

namespace platform {

/// The standard error report: the message gets a full stop when its last
/// character sorts after '.', then goes to the installed reporter (by default
/// a critical message box captioned with the application title).
void reportError(const QString& message);

/// The text the report shows for a message (the full-stop rule).
QString errorReportText(const QString& message);

using ErrorReporter = std::function<void(const QString& text)>;

/// Replaces the reporter; returns the previous one. Tests use this seam.
ErrorReporter setErrorReporter(ErrorReporter next);

} // namespace platform
