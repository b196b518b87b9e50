#pragma once

// Private to the palette layer: the lines of the text files it reads.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace palette::detail {

/// The lines of a text file, each without its end: LF, CRLF and a lone CR
/// each end a line, the last line may lack one, and a UTF-8 byte-order mark
/// before the first is skipped.
class TextLines {
public:
    explicit TextLines(const QByteArray& bytes);
    /// Moves to the next line; false after the last.
    bool next();
    QByteArrayView line() const { return m_line; }
    /// The line's number, from 1.
    qint64 number() const { return m_number; }

private:
    QByteArrayView m_rest;
    QByteArrayView m_line;
    qint64 m_number = 0;
};

/// Without blanks, tabs and other ASCII white space at either end.
QByteArrayView trimmed(QByteArrayView bytes);

/// The text of bytes: UTF-8, or Latin-1 when they are not valid UTF-8 (as
/// files from older programs often are).
QString decodeText(QByteArrayView bytes);

/// Whether c is a blank or a tab, the separators of a palette's fields.
constexpr bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace palette::detail
