#include "help/ViewerLoader.h"

#include "help/ChmFile.h"
#include "help/HelpViewer.h"

namespace help {

namespace {

struct Loader {
    QString libraryName = QStringLiteral("libchm.so.1");
    std::unique_ptr<ChmLibrary> library;
    HtmlHelpEntry entry;
    HtmlHelpEntry override;
    bool overrideLoaded = false;
    int attempts = 0;
};

Loader& loader() {
    static Loader l;
    return l;
}

} // namespace

bool ViewerLoaded() {
    return loader().library != nullptr || loader().overrideLoaded;
}

bool LoadViewer() {
    Loader& l = loader();
    if (ViewerLoaded())
        return true;
    l.entry = nullptr;
    ++l.attempts;
    if (l.override) {
        l.overrideLoaded = true;
        l.entry = l.override;
        return true;
    }
    try {
        l.library = ChmLibrary::load(l.libraryName);
    } catch (...) {
        l.library.reset(); // a failed load counts as a missing library
    }
    if (l.library) {
        const ChmLibrary* lib = l.library.get();
        l.entry = [lib](quintptr owner, const QString& file, unsigned command, quintptr data) {
            return viewerHtmlHelp(*lib, owner, file, command, data);
        };
    }
    return ViewerLoaded();
}

bool ViewerAvailable() {
    if (!ViewerLoaded())
        LoadViewer();
    return static_cast<bool>(loader().entry);
}

void UnloadViewer() {
    Loader& l = loader();
    closeAllViewers(); // the windows read through the library
    l.entry = nullptr;
    l.library.reset();
    l.overrideLoaded = false;
}

quintptr HtmlHelp(quintptr owner, const QString& file, unsigned command, quintptr data) {
    const HtmlHelpEntry entry = loader().entry;
    return entry ? entry(owner, file, command, data) : 0;
}

int viewerLoadAttempts() {
    return loader().attempts;
}

void setViewerLibraryName(const QString& name) {
    loader().libraryName = name;
}

void setViewerOverride(HtmlHelpEntry entry) {
    UnloadViewer();
    loader().override = std::move(entry);
}

} // namespace help
