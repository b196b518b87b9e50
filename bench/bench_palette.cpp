// Reading palette files at the limits: a GIMP palette, an Adobe swatch file
// and a plain-text palette of 100,000 colours, a GIMP palette of 16 MiB (long
// names), and a 100 MB file refused unread. For each, the median time of
// seven reads and the memory a read takes beyond the file's bytes (the
// growth of the peak resident size, measured in a child process of its
// own, from what is resident before), against the file's size.
#include "palette/AseFile.h"
#include "palette/GplFile.h"
#include "palette/ImportExport.h"
#include "palette/TextFiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace palette;

namespace {

/// A line "Key:   123 kB" of /proc/self/status, in KiB.
long statusKiB(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').front().toLong();
    }
    return -1;
}

/// The memory one read takes: the growth of the peak resident size from
/// what is resident before, the peak set back to it first.
long readGrowthKiB(const std::function<void()>& read) {
    malloc_trim(0); // what earlier reads freed is not counted as resident
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        return -1;
    clear.close();
    const long before = statusKiB("VmRSS:");
    read();
    return statusKiB("VmHWM:") - before;
}

Palette sample(int colors, int nameLength) {
    Palette p{QStringLiteral("Bench"), 0, {}};
    p.colors.reserve(colors);
    for (int i = 0; i < colors; ++i) {
        QString name = QStringLiteral("colour %1 ").arg(i);
        name += QString(std::max(0, nameLength - int(name.size())), QLatin1Char('n'));
        p.colors.append(Swatch{PackedColor(i * 2654435761u & 0xFFFFFF), name});
    }
    return p;
}

struct Case {
    const char* what;
    QByteArray bytes;
    std::function<bool(const QByteArray&)> read;
    qint64 fileBytes = -1; ///< when not the bytes given
};

/// The median of seven reads in ms, and the peak's growth in KiB over one
/// read, in a child process so that each case starts from the same peak.
void run(const Case& c) {
    std::vector<double> ms;
    bool ok = true;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer clock;
        clock.start();
        ok = c.read(c.bytes) && ok;
        ms.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return;
    const pid_t child = fork();
    if (child == 0) {
        const long grown = readGrowthKiB([&c] { c.read(c.bytes); });
        if (write(pipeFds[1], &grown, sizeof grown) != sizeof grown)
            _exit(1);
        _exit(0);
    }
    long grown = -1;
    close(pipeFds[1]);
    if (read(pipeFds[0], &grown, sizeof grown) != sizeof grown)
        grown = -1;
    close(pipeFds[0]);
    waitpid(child, nullptr, 0);
    const double fileKiB = double(c.fileBytes < 0 ? c.bytes.size() : c.fileBytes) / 1024;
    std::printf("| %-48s | %9.0f | %8.1f | %9ld | %5.1f | %s |\n", c.what, fileKiB, ms[3], grown,
                fileKiB > 0 ? double(grown) / fileKiB : 0.0, ok ? "read" : "refused");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Palette many = sample(MaxColors, 12);
    const Palette longNames = sample(16000, 1000);
    const QByteArray text = writeText(many);
    std::printf("| %-48s | %9s | %8s | %9s | %5s | %s |\n", "file", "KiB", "ms", "peak +KiB",
                "x file", "result");
    std::printf("| --- | ---: | ---: | ---: | ---: | --- |\n");
    run({"GIMP palette, 100,000 colours", writeGpl(many),
         [](const QByteArray& b) { return readGpl(b).ok(); }});
    run({"Adobe swatch file, 100,000 colours", writeAse(many),
         [](const QByteArray& b) { return readAse(b).ok(); }});
    run({"plain text, 100,000 colours", text,
         [](const QByteArray& b) { return readText(b, readHexOrDec).ok(); }});
    run({"GIMP palette, 16,000 names of 1000 characters", writeGpl(longNames),
         [](const QByteArray& b) { return readGpl(b).ok(); }});
    run({"Adobe swatch file, 8,000 names of 1000 characters", writeAse(sample(8000, 1000)),
         [](const QByteArray& b) { return readAse(b).ok(); }});

    // A file of 100 MB (sparse) is refused before a byte of it is read.
    QTemporaryDir dir;
    const QString huge = dir.filePath(QStringLiteral("huge.gpl"));
    QFile file(huge);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(100 << 20))
        return 1;
    file.close();
    run({"100 MB file, refused unread", QByteArray(),
         [&huge](const QByteArray&) { return importPalette(huge).ok(); }, 100 << 20});
    return 0;
}
