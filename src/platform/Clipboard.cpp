#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace clipboard {

void putText(const QString& text) {
    QClipboard* cb = QGuiApplication::clipboard();
    cb->clear();
    cb->setText(text);
}

std::optional<QString> getText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return std::nullopt;
    return data->text();
}

} // namespace clipboard
