#pragma once

#include <QString>

/// Converts an unsigned whole number written in the digits of fromBase into
/// the digits of toBase (2 to 36). Digits are upper case without leading
/// zeros; zero gives the empty text. Bad input (empty text, a character that
/// is not a digit of fromBase, a sum above 2^63-1, a base out of range) gives
/// exactly "Error".
QString ConvertBase(const QString& text, int fromBase, int toBase);

/// The marker ConvertBase returns for bad input.
inline const QString& convertError() {
    static const QString error = QStringLiteral("Error");
    return error;
}
