#include "palette/ImportExport.h"

#include "files/AtomicFile.h"
#include "palette/AseFile.h"
#include "palette/GplFile.h"

#include <QFile>
#include <QFileInfo>

namespace palette {

namespace {

Problem onFile(const QString& path, Problem problem) {
    problem.message = path + QStringLiteral(": ") + problem.message;
    return problem;
}

Problem unknownType(const QString& path, const QString& types) {
    return Problem{
        QStringLiteral("%1: not %2 (the type is told by the name's ending)").arg(path, types)};
}

} // namespace

std::optional<FileType> fileTypeOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("gpl"))
        return FileType::Gpl;
    if (suffix == QLatin1String("ase"))
        return FileType::Ase;
    if (suffix == QLatin1String("css"))
        return FileType::Css;
    if (suffix == QLatin1String("json"))
        return FileType::Json;
    if (suffix == QLatin1String("txt"))
        return FileType::Text;
    return std::nullopt;
}

bool canImport(FileType type) {
    return type == FileType::Gpl || type == FileType::Ase || type == FileType::Text;
}

QString importableTypes() {
    return QStringLiteral("a .gpl, .ase or .txt file");
}

QString exportableTypes() {
    return QStringLiteral("a .gpl, .ase, .css, .json or .txt file");
}

Result<QByteArray> readFileBytes(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return Problem{path + QStringLiteral(": no such file")};
    if (!info.isFile())
        return Problem{path + QStringLiteral(": not a file")};
    const auto tooLarge = [&] {
        return Problem{path + QStringLiteral(": larger than %1 MiB").arg(MaxFileBytes >> 20)};
    };
    if (info.size() > MaxFileBytes)
        return tooLarge();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Problem{path + QStringLiteral(": cannot be read (%1)").arg(file.errorString())};
    QByteArray bytes = file.read(MaxFileBytes + 1);
    if (bytes.size() > MaxFileBytes)
        return tooLarge(); // it grew since
    if (file.error() != QFile::NoError)
        return Problem{path + QStringLiteral(": cannot be read (%1)").arg(file.errorString())};
    return bytes;
}

Result<Palette> importPalette(const QString& path, const TextOptions& options) {
    const std::optional<FileType> type = fileTypeOf(path);
    if (!type || !canImport(*type))
        return unknownType(path, importableTypes());
    const Result<QByteArray> bytes = readFileBytes(path);
    if (!bytes)
        return bytes.problem();
    Result<Palette> read = *type == FileType::Gpl   ? readGpl(*bytes)
                           : *type == FileType::Ase ? readAse(*bytes)
                                                    : readText(*bytes, options.read, options.name);
    if (!read)
        return onFile(path, read.problem());
    if (read->name.isEmpty())
        read.value().name = cleanName(QFileInfo(path).completeBaseName());
    return read;
}

QByteArray exportBytes(const Palette& palette, FileType type, const TextOptions& options) {
    switch (type) {
    case FileType::Gpl:
        return writeGpl(palette);
    case FileType::Ase:
        return writeAse(palette);
    case FileType::Css:
        return writeCss(palette);
    case FileType::Json:
        return writeJson(palette);
    case FileType::Text:
        break;
    }
    return writeText(palette, options.write ? options.write : TextFunction(hexText));
}

Status exportPalette(const Palette& palette, const QString& path, const TextOptions& options) {
    const std::optional<FileType> type = fileTypeOf(path);
    if (!type)
        return Status(unknownType(path, exportableTypes()));
    switch (files::writeAtomically(path, exportBytes(palette, *type, options))) {
    case files::AtomicWrite::Written:
        return {};
    case files::AtomicWrite::NotMade:
        return Status::failed(path + QStringLiteral(": cannot be written (no file can be made "
                                                    "in its folder)"));
    case files::AtomicWrite::Failed:
        break;
    }
    return Status::failed(path + QStringLiteral(": could not be written whole (is the disk "
                                                "full?); what was there is unchanged"));
}

} // namespace palette
