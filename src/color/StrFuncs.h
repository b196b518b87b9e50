#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

/// Splits text at every separator. The list holds one field more than the
/// text holds separators; fields may be empty and are not trimmed.
QStringList SplitFields(const QString& text, QChar separator);
