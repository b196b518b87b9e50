#pragma once

#include <QString>
#include <optional>

/// The system clipboard, as plain text.
namespace clipboard {

/// Empties the clipboard and puts text on it.
void putText(const QString& text);

/// The clipboard's text, or nothing when it holds no text.
std::optional<QString> getText();

} // namespace clipboard
