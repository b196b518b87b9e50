// libFuzzer target for the help file's own texts: any bytes as a table of
// contents or index (.hhc, .hhk) and as a popup topic file (CSHelp.txt).
// Every entry found has a name and a depth that some list opened; every
// topic is one trimmed text. What was found, written out again as the help
// compiler's sources write it, parses back to the same entries and topics.
#include "help/ChmFile.h"

#include <QByteArray>
#include <QList>
#include <QRegularExpression>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool holds) {
    if (!holds)
        std::abort();
}

bool same(const std::vector<help::SitemapEntry>& a, const std::vector<help::SitemapEntry>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.name == y.name && x.local == y.local && x.depth == y.depth;
    });
}

/// A sitemap of entries, each list opened and closed to its depth.
QByteArray writeSitemap(const std::vector<help::SitemapEntry>& entries) {
    QByteArray html = "<HTML><BODY>\n<OBJECT type=\"text/site properties\">\n</OBJECT>\n";
    int open = 0;
    for (const help::SitemapEntry& e : entries) {
        for (; open < e.depth + 1; ++open)
            html += "<UL>\n";
        for (; open > e.depth + 1; --open)
            html += "</UL>\n";
        html += "<LI> <OBJECT type=\"text/sitemap\">\n<param name=\"Name\" value=\"" +
                e.name.toUtf8() + "\">\n";
        if (!e.local.isEmpty())
            html += "<param name=\"Local\" value=\"" + e.local.toUtf8() + "\">\n";
        html += "</OBJECT>\n";
    }
    for (; open > 0; --open)
        html += "</UL>\n";
    return html + "</BODY></HTML>\n";
}

void checkSitemap(const QByteArray& bytes) {
    const std::vector<help::SitemapEntry> entries = help::parseSitemap(bytes);
    static const QRegularExpression list(QStringLiteral("<ul\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    const qsizetype lists = QString::fromUtf8(bytes).count(list);
    for (const help::SitemapEntry& e : entries) {
        check(!e.name.isEmpty() && !e.name.contains(QLatin1Char('"')));
        check(!e.local.contains(QLatin1Char('"')));
        check(e.depth >= 0 && e.depth < std::max<qsizetype>(lists, 1));
    }
    check(same(help::parseSitemap(writeSitemap(entries)), entries));
}

void checkPopupTopics(const QByteArray& bytes) {
    const QHash<quint32, QString> topics = help::parsePopupTopics(bytes);
    const qsizetype lines = bytes.count('\n') + 1;
    check(topics.size() <= lines);
    QList<quint32> ids = topics.keys();
    std::sort(ids.begin(), ids.end());
    QByteArray written;
    bool plain = true; // no line of a text reads as a topic's start
    for (const quint32 id : ids) {
        const QString& text = topics[id];
        check(text == text.trimmed() && !text.contains(QLatin1Char('\r')));
        for (const QString& line : text.split(QLatin1Char('\n')))
            plain = plain && !line.startsWith(QLatin1String(".topic"), Qt::CaseInsensitive);
        written += ".topic " + QByteArray::number(id) + "\r\n" + text.toUtf8() + "\r\n";
    }
    if (plain)
        check(help::parsePopupTopics(written) == topics);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkSitemap(bytes);
    checkPopupTopics(bytes);
    return 0;
}
