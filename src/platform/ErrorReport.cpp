#include "platform/ErrorReport.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {

namespace {

void showMessageBox(const QString& text) {
    QMessageBox::critical(nullptr, QApplication::applicationName(), text, QMessageBox::Ok);
}

ErrorReporter& reporter() {
    static ErrorReporter current = showMessageBox;
    return current;
}

} // namespace

QString errorReportText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void reportError(const QString& message) {
    reporter()(errorReportText(message));
}

ErrorReporter setErrorReporter(ErrorReporter next) {
    ErrorReporter previous = std::move(reporter());
    reporter() = next ? std::move(next) : ErrorReporter(showMessageBox);
    return previous;
}

} // namespace platform
