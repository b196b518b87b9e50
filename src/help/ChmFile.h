#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace help {

/// The system's CHM reader library (chmlib), bound with dlopen; never linked.
class ChmLibrary {
public:
    /// Loads the library of that file name; null when it or one of its entry
    /// points is missing.
    static std::unique_ptr<ChmLibrary> load(const QString& fileName);
    ~ChmLibrary();

    struct UnitInfo {
        quint64 start;
        quint64 length;
        int space;
        int flags;
        char path[513];
    };
    using Enumerator = int (*)(void* file, UnitInfo* unit, void* context);

    void* (*chm_open)(const char* path) = nullptr;
    void (*chm_close)(void* file) = nullptr;
    int (*chm_resolve_object)(void* file, const char* path, UnitInfo* unit) = nullptr;
    qint64 (*chm_retrieve_object)(void* file, UnitInfo* unit, unsigned char* buffer,
                                  quint64 address, qint64 length) = nullptr;
    int (*chm_enumerate)(void* file, int what, Enumerator e, void* context) = nullptr;

private:
    ChmLibrary() = default;
    void* m_handle = nullptr;
};

/// One entry of a table of contents or an index.
struct SitemapEntry {
    QString name;
    QString local; ///< the page inside the file, as written ("views.htm")
    int depth = 0;
};

/// Parses the sitemap HTML of a .hhc or .hhk file.
std::vector<SitemapEntry> parseSitemap(const QByteArray& bytes);

/// Parses a popup topic file: ".topic N" lines, each followed by its text.
QHash<quint32, QString> parsePopupTopics(const QByteArray& bytes);

/// The page a context number names in a compiled context map, as written:
/// ivb holds a byte count, then pairs of a context number and an offset
/// into strings, which holds names each ending in a zero byte. An empty text
/// for 0, a number not listed, or an offset outside strings.
QString contextPage(const QByteArray& ivb, const QByteArray& strings, quint32 id);

/// An open compiled help file.
class ChmFile {
public:
    ChmFile(const ChmLibrary& library, const QString& path);
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    bool isOpen() const { return m_file != nullptr; }
    const QString& path() const { return m_path; }

    /// The bytes of the object at path ("/page.htm"); look-ups ignore case.
    std::optional<QByteArray> read(const QString& path) const;
    /// Whether the file holds an object at path.
    bool contains(const QString& path) const;
    /// Every object's path inside the file.
    QStringList files() const;

    std::vector<SitemapEntry> contents() const;
    std::vector<SitemapEntry> index() const;
    /// The page of a context number from the file's compiled context map, or
    /// an empty text.
    QString topicForContext(quint32 id) const;
    /// The page shown first: the first page of the contents.
    QString defaultTopic() const;

private:
    QString firstFileEnding(const QString& suffix) const;
    /// The object path for a page named in the file: tried as written, then
    /// with leading folders dropped (the compiler may store full paths).
    QString resolvePage(const QString& page) const;

    const ChmLibrary& m_lib;
    QString m_path;
    void* m_file = nullptr;
};

} // namespace help
