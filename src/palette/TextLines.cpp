#include "palette/TextLines.h"

#include <QStringDecoder>
#include <algorithm>

namespace palette::detail {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n';
}

} // namespace

TextLines::TextLines(const QByteArray& bytes) : m_rest(bytes) {
    if (m_rest.startsWith("\xEF\xBB\xBF"))
        m_rest = m_rest.sliced(3);
}

bool TextLines::next() {
    if (m_rest.isEmpty())
        return false;
    const char* begin = m_rest.data();
    const char* end = begin + m_rest.size();
    const char* stop = std::find_if(begin, end, [](char c) { return c == '\n' || c == '\r'; });
    m_line = QByteArrayView(begin, stop - begin);
    if (stop != end)
        stop += *stop == '\r' && stop + 1 != end && stop[1] == '\n' ? 2 : 1;
    m_rest = QByteArrayView(stop, end - stop);
    ++m_number;
    return true;
}

QByteArrayView trimmed(QByteArrayView bytes) {
    while (!bytes.isEmpty() && isSpace(bytes.front()))
        bytes = bytes.sliced(1);
    while (!bytes.isEmpty() && isSpace(bytes.back()))
        bytes.chop(1);
    return bytes;
}

QString decodeText(QByteArrayView bytes) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }))
        return QString::fromLatin1(bytes);
    // A byte-order mark within a line is a character like any other.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

} // namespace palette::detail
