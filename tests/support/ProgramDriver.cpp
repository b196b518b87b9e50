#include "support/ProgramDriver.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>
#include <unistd.h>

namespace testsupport {

QString run(const QString& program, const QStringList& args, int* exitCode,
            const QByteArray& input) {
    QProcess p;
    p.start(program, args);
    if (!input.isNull()) {
        p.write(input);
        p.closeWriteChannel();
    }
    if (!p.waitForFinished(15000))
        p.kill();
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QString xdotool(const QStringList& args) {
    return run(QStringLiteral("xdotool"), args);
}

QString clipboardOut() {
    return run(QStringLiteral("xclip"), {"-selection", "clipboard", "-o"});
}

void clipboardIn(const QByteArray& text) {
    run(QStringLiteral("xclip"), {"-selection", "clipboard"}, nullptr, text);
}

QString shownCaption(const QString& window) {
    // xprop prints _NET_WM_NAME(UTF8_STRING) = "caption", with " and \ escaped.
    const QString line = run(QStringLiteral("xprop"), {"-id", window, "_NET_WM_NAME"});
    const qsizetype open = line.indexOf(QLatin1Char('"'));
    if (open < 0 || !line.endsWith(QLatin1Char('"')))
        return {};
    QString caption = line.mid(open + 1, line.size() - open - 2);
    caption.replace(QStringLiteral("\\\""), QStringLiteral("\""))
        .replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    return caption;
}

QString findWindow(const QString& pattern) {
    const QRegularExpression shown(pattern);
    // xdotool's --name also matches the old WM_NAME; what the desktop shows
    // is _NET_WM_NAME, so each candidate is checked against that.
    const QStringList candidates = xdotool({"search", "--onlyvisible", "--name", "."})
                                       .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& id : candidates) {
        if (shown.match(shownCaption(id)).hasMatch())
            return id;
    }
    return {};
}

QString waitForWindow(const QString& pattern) {
    for (int i = 0; i < 50; ++i) {
        const QString id = findWindow(pattern);
        if (!id.isEmpty())
            return id;
        QTest::qWait(100);
    }
    return {};
}

bool RunningProgram::installFrom(const QString& programFolder) const {
    const QDir from(programFolder);
    for (const QString& name : from.entryList(QDir::Files)) {
        if (!QFile::copy(from.filePath(name), folder() + name))
            return false;
    }
    return true;
}

bool RunningProgram::start(const QByteArray& settings, const QStringList& env, bool copyProgram) {
    const QString exe = folder() + QStringLiteral("Mirabou");
    if (copyProgram && !QFile::copy(QStringLiteral(MIRABOU_EXE), exe))
        return false;
    if (!settings.isNull())
        writeFile(folder() + QStringLiteral("settings.ini"), settings);
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString& kv : env)
        e.insert(kv.section(QLatin1Char('='), 0, 0), kv.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(e);
    process.setWorkingDirectory(QDir::tempPath()); // never the program folder
    if (unprivileged && ::geteuid() == 0) {
        // The folder and its files become the other user's, with the
        // permissions the test gave them.
        const uid_t nobody = 65534;
        bool owned = ::chown(QFile::encodeName(dir.path()).constData(), nobody, nobody) == 0;
        for (const QString& name :
             QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            owned = ::chown(QFile::encodeName(folder() + name).constData(), nobody, nobody) == 0 &&
                    owned;
        if (!owned)
            return false;
        process.start(QStringLiteral("setpriv"),
                      {"--reuid=65534", "--regid=65534", "--clear-groups", exe});
    } else {
        process.start(exe, {});
    }
    if (!process.waitForStarted())
        return false;
    for (int i = 0; i < 100 && window.isEmpty(); ++i) {
        window = findWindow(QStringLiteral("^Mirabou 1\\.8$"));
        if (window.isEmpty())
            QTest::qWait(100);
    }
    if (window.isEmpty())
        return false;
    xdotool({"windowfocus", "--sync", window});
    QTest::qWait(200);
    return true;
}

void RunningProgram::click(int x, int y, int button) {
    xdotool({"mousemove", "--window", window, QString::number(x), QString::number(y)});
    QTest::qWait(50);
    xdotool({"click", QString::number(button)});
    QTest::qWait(150);
}

void RunningProgram::key(const QString& keys) {
    xdotool({"key", keys});
    QTest::qWait(100);
}

bool RunningProgram::finished(int* code) {
    if (process.state() != QProcess::NotRunning)
        process.waitForFinished(10000);
    if (process.state() != QProcess::NotRunning)
        return false;
    *code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return true;
}

RunningProgram::~RunningProgram() {
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
}

} // namespace testsupport
