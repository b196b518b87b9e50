#include "help/ChmFile.h"

#include "help/Logging.h"

#include <QFile>
#include <QRegularExpression>
#include <QtEndian>
#include <dlfcn.h>

namespace help {

std::unique_ptr<ChmLibrary> ChmLibrary::load(const QString& fileName) {
    void* handle = dlopen(QFile::encodeName(fileName).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        qCWarning(lcHelp) << "no help: the CHM library cannot be loaded (Debian package libchm1):"
                          << dlerror();
        return nullptr;
    }
    std::unique_ptr<ChmLibrary> lib(new ChmLibrary);
    lib->m_handle = handle;
    auto bind = [handle](auto& fn, const char* name) {
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(handle, name));
        return fn != nullptr;
    };
    if (!bind(lib->chm_open, "chm_open") || !bind(lib->chm_close, "chm_close") ||
        !bind(lib->chm_resolve_object, "chm_resolve_object") ||
        !bind(lib->chm_retrieve_object, "chm_retrieve_object") ||
        !bind(lib->chm_enumerate, "chm_enumerate")) {
        qCWarning(lcHelp) << "no help:" << fileName << "lacks the CHM functions it should have";
        return nullptr;
    }
    return lib;
}

ChmLibrary::~ChmLibrary() {
    if (m_handle)
        dlclose(m_handle);
}

std::vector<SitemapEntry> parseSitemap(const QByteArray& bytes) {
    const QString html = QString::fromUtf8(bytes);
    static const QRegularExpression token(
        QStringLiteral("<(/?)ul\\b[^>]*>|<object\\b[^>]*>(.*?)</object\\s*>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression param(
        QStringLiteral("<param\\s+name\\s*=\\s*\"([^\"]*)\"\\s+value\\s*=\\s*\"([^\"]*)\""),
        QRegularExpression::CaseInsensitiveOption);
    std::vector<SitemapEntry> entries;
    int depth = 0;
    for (auto it = token.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!m.captured(0).startsWith(QLatin1String("<object"), Qt::CaseInsensitive)) {
            depth += m.captured(1).isEmpty() ? 1 : -1; // <ul> or </ul>
            continue;
        }
        SitemapEntry e;
        e.depth = qMax(0, depth - 1);
        for (auto p = param.globalMatch(m.captured(2)); p.hasNext();) {
            const QRegularExpressionMatch pm = p.next();
            const QString name = pm.captured(1).toLower();
            if (name == QLatin1String("name") && e.name.isEmpty())
                e.name = pm.captured(2);
            else if (name == QLatin1String("local") && e.local.isEmpty())
                e.local = pm.captured(2);
        }
        if (!e.name.isEmpty())
            entries.push_back(e);
    }
    return entries;
}

QHash<quint32, QString> parsePopupTopics(const QByteArray& bytes) {
    QHash<quint32, QString> topics;
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    bool inTopic = false;
    quint32 id = 0;
    QStringList text;
    auto finish = [&] {
        if (inTopic)
            topics.insert(id, text.join(QLatin1Char('\n')).trimmed());
        text.clear();
    };
    for (QString line : lines) {
        line.remove(QLatin1Char('\r'));
        if (line.startsWith(QLatin1String(".topic"), Qt::CaseInsensitive)) {
            finish();
            bool ok = false;
            id = line.mid(6).trimmed().toUInt(&ok);
            inTopic = ok;
        } else if (inTopic) {
            text << line;
        }
    }
    finish();
    return topics;
}

ChmFile::ChmFile(const ChmLibrary& library, const QString& path) : m_lib(library), m_path(path) {
    // chmlib trusts the header it is given; hand it only files that start as
    // a compiled help file and are as long as their header says.
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QByteArray head = f.read(0x60);
    if (head.size() < 0x38 || !head.startsWith("ITSF"))
        return;
    const quint64 dirOffset = qFromLittleEndian<quint64>(head.constData() + 0x48);
    const quint64 dirLength = qFromLittleEndian<quint64>(head.constData() + 0x50);
    if (head.size() < 0x58 || dirOffset + dirLength > quint64(f.size()))
        return;
    m_file = m_lib.chm_open(QFile::encodeName(path).constData());
}

ChmFile::~ChmFile() {
    if (m_file)
        m_lib.chm_close(m_file);
}

namespace {

QByteArray objectName(const QString& path) {
    return path.startsWith(QLatin1Char('/')) ? path.toUtf8() : '/' + path.toUtf8();
}

} // namespace

bool ChmFile::contains(const QString& path) const {
    ChmLibrary::UnitInfo unit{};
    return m_file && m_lib.chm_resolve_object(m_file, objectName(path).constData(), &unit) == 0;
}

std::optional<QByteArray> ChmFile::read(const QString& path) const {
    if (!m_file)
        return std::nullopt;
    ChmLibrary::UnitInfo unit{};
    if (m_lib.chm_resolve_object(m_file, objectName(path).constData(), &unit) != 0)
        return std::nullopt;
    if (unit.length > quint64(64) << 20) // no page of a help file is that large
        return std::nullopt;
    QByteArray bytes(qsizetype(unit.length), Qt::Uninitialized);
    const qint64 got = m_lib.chm_retrieve_object(
        m_file, &unit, reinterpret_cast<unsigned char*>(bytes.data()), 0, qint64(unit.length));
    if (got < 0)
        return std::nullopt;
    bytes.truncate(qsizetype(got));
    return bytes;
}

QStringList ChmFile::files() const {
    QStringList out;
    if (!m_file)
        return out;
    auto collect = [](void*, ChmLibrary::UnitInfo* unit, void* context) -> int {
        static_cast<QStringList*>(context)->append(QString::fromUtf8(unit->path));
        return 1; // continue
    };
    m_lib.chm_enumerate(m_file, 1 | 8, collect, &out); // normal files
    return out;
}

QString ChmFile::firstFileEnding(const QString& suffix) const {
    for (const QString& f : files()) {
        if (f.endsWith(suffix, Qt::CaseInsensitive) && f.count(QLatin1Char('/')) == 1)
            return f;
    }
    return {};
}

std::vector<SitemapEntry> ChmFile::contents() const {
    const QString hhc = firstFileEnding(QStringLiteral(".hhc"));
    const auto bytes = hhc.isEmpty() ? std::nullopt : read(hhc);
    return bytes ? parseSitemap(*bytes) : std::vector<SitemapEntry>{};
}

std::vector<SitemapEntry> ChmFile::index() const {
    const QString hhk = firstFileEnding(QStringLiteral(".hhk"));
    const auto bytes = hhk.isEmpty() ? std::nullopt : read(hhk);
    return bytes ? parseSitemap(*bytes) : std::vector<SitemapEntry>{};
}

QString ChmFile::resolvePage(const QString& page) const {
    QString candidate = page;
    candidate.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (!candidate.isEmpty()) {
        if (contains(candidate))
            return candidate.startsWith(QLatin1Char('/')) ? candidate.mid(1) : candidate;
        const qsizetype slash = candidate.indexOf(QLatin1Char('/'), 1);
        if (slash < 0)
            break;
        candidate = candidate.mid(slash);
    }
    return {};
}

QString contextPage(const QByteArray& ivb, const QByteArray& strings, quint32 id) {
    // #IVB: a byte count, then (context number, offset into #STRINGS) pairs.
    if (ivb.size() < 4 || id == 0)
        return {};
    const qsizetype count =
        qMin<qsizetype>(qFromLittleEndian<quint32>(ivb.constData()), ivb.size() - 4) / 8;
    for (qsizetype i = 0; i < count; ++i) {
        const char* pair = ivb.constData() + 4 + i * 8;
        if (qFromLittleEndian<quint32>(pair) != id)
            continue;
        const quint32 offset = qFromLittleEndian<quint32>(pair + 4);
        if (offset >= quint32(strings.size()))
            return {};
        // Up to its zero byte, and never past the end of the object.
        const char* name = strings.constData() + offset;
        return QString::fromUtf8(name, qsizetype(qstrnlen(name, size_t(strings.size()) - offset)));
    }
    return {};
}

QString ChmFile::topicForContext(quint32 id) const {
    const auto ivb = read(QStringLiteral("/#IVB"));
    const auto strings = read(QStringLiteral("/#STRINGS"));
    if (!ivb || !strings)
        return {};
    return resolvePage(contextPage(*ivb, *strings, id));
}

QString ChmFile::defaultTopic() const {
    for (const SitemapEntry& e : contents()) {
        if (!e.local.isEmpty())
            return e.local;
    }
    return QStringLiteral("index.htm");
}

} // namespace help
