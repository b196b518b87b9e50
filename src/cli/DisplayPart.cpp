#include "cli/DisplayPart.h"

#include "files/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <dlfcn.h>

namespace cli {

QStringList displayPartPlaces() {
    const QString folder = files::executableFolder();
    const QString name = QStringLiteral(MIRABOU_DISPLAY_PART);
    return {folder + name,
            QDir::cleanPath(folder + QStringLiteral(MIRABOU_DISPLAY_FROM_BIN "/") + name)};
}

int runWithDisplay(int argc, char** argv, const Request& request) {
    QByteArray why;
    for (const QString& place : displayPartPlaces()) {
        if (!QFileInfo::exists(place))
            continue;
        // Bound at once, as an executable that links it would be; kept for
        // the process's life (Qt's libraries it brings are not unloaded).
        void* module = ::dlopen(QFile::encodeName(place).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            why = ::dlerror();
            continue;
        }
        const auto entry = reinterpret_cast<DisplayMain>(::dlsym(module, DisplayEntry));
        if (!entry) {
            why = place.toLocal8Bit() + ": no " + DisplayEntry;
            continue;
        }
        return entry(argc, argv, &request);
    }
    if (why.isEmpty())
        why = "not found at " + displayPartPlaces().join(QStringLiteral(" or ")).toLocal8Bit();
    std::fprintf(stderr, "mirabou: the windows cannot be loaded: %s\n", why.constData());
    return 1;
}

} // namespace cli
