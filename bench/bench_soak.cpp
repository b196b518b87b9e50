// A soak of whole picks on a real Wayland desktop (run inside one by
// portal_stack.sh --soak): the program as a user runs it, driven through the
// seat's pointer, pick after pick: a press on the Eye Wizard, a drag to a
// place of a known colour (the bare desktop, or a window of the soak's own),
// a release after a hold of 0.1 to 1 s, then Copy HEX Value and the colour
// read back from the desktop's clipboard. The first half of the picks with
// the magnifier on, the second with it off. A program that ends is a death:
// its exit, its signal and the end of what it said on stderr are kept, and
// it is started again.
//
//   bench_soak [picks, default 300] [seed]
//
// Prints one line of the soak table and the deaths, if any; exits 1 when a
// pick read a wrong colour or the program died.
#include "support/ProgramDriver.h"
#include "support/RealDesktop.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <cstdio>

using namespace testsupport;

namespace {

/// The program in a folder of its own, with its stderr kept.
class Program {
public:
    explicit Program(const QString& folder) : m_folder(folder) {}
    ~Program() { stop(); }

    bool start(bool magnifier) {
        const QString settings = m_folder + QStringLiteral("/settings.ini");
        QFile file(settings);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(QByteArrayLiteral("[settings]\nposx=100\nposy=100\nmagnifier=") +
                   (magnifier ? "1" : "0") + '\n');
        file.close();
        m_process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        // What it says of each pick, for a pick that reads a wrong colour.
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("mirabou.pick.info=true"));
        m_process->setProcessEnvironment(env);
        m_process->start(m_folder + QStringLiteral("/Mirabou"), {});
        m_stderr.clear();
        return m_process->waitForStarted();
    }
    void stop() {
        if (!m_process || m_process->state() == QProcess::NotRunning)
            return;
        m_process->terminate();
        if (!m_process->waitForFinished(10000))
            m_process->kill();
        m_process->waitForFinished();
    }
    /// Whether it still runs; what it said on stderr gathers meanwhile.
    bool alive() {
        m_stderr += m_process->readAllStandardError();
        m_stderr = m_stderr.right(4000);
        return m_process->state() != QProcess::NotRunning;
    }
    /// The last lines it said.
    QString said(int lines) {
        alive();
        const QList<QByteArray> all = m_stderr.trimmed().split('\n');
        QStringList last;
        for (qsizetype i = std::max<qsizetype>(0, all.size() - lines); i < all.size(); ++i)
            last << QString::fromLocal8Bit(all[i]);
        return last.join(QStringLiteral(" / "));
    }
    /// How it ended.
    QString death() {
        alive();
        const bool crashed = m_process->exitStatus() == QProcess::CrashExit;
        return QStringLiteral("%1 %2; stderr: %3")
            .arg(crashed ? QStringLiteral("signal") : QStringLiteral("exit status"))
            .arg(m_process->exitCode())
            .arg(QString::fromLocal8Bit(m_stderr.right(1500)).simplified());
    }

private:
    QString m_folder;
    std::unique_ptr<QProcess> m_process;
    QByteArray m_stderr;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString desktop = qEnvironmentVariable("MIRABOU_REAL_PORTAL");
    const int picks = argc > 1 ? QByteArray(argv[1]).toInt() : 300;
    const quint32 seed = argc > 2 ? QByteArray(argv[2]).toUInt() : 20261209;
    QRandomGenerator random(seed);
    const std::unique_ptr<Desktop> session = openDesktop(desktop);
    if (!session->ready()) {
        std::fputs("bench_soak: no pointer on the desktop's seat\n", stderr);
        return 1;
    }
    const QRect screen = QGuiApplication::primaryScreen()->geometry();

    // A window of the soak's own in one colour, moved to a known place.
    QWidget marker;
    marker.setFixedSize(200, 150);
    marker.setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0xFE, 0xDC, 0xBA));
    marker.setPalette(palette);
    marker.setWindowTitle(QStringLiteral("marker"));
    marker.show();
    if (!QTest::qWaitForWindowExposed(&marker))
        return 1;
    const QPoint place(screen.width() - 250, screen.height() - 200);
    const auto placed = [&] {
        return session->placeToStay(QStringLiteral("marker"), QStringLiteral("bench_soak"), place);
    };
    if (!placed()) {
        std::fputs("bench_soak: the marker window could not be placed\n", stderr);
        return 1;
    }
    // KWin alone draws no wallpaper: its bare desktop is black.
    const QString bare =
        desktop == QLatin1String("kde") ? QStringLiteral("#000000") : QStringLiteral("#123456");
    const QList<std::pair<QPoint, QString>> targets{
        {QPoint(5, screen.height() - 5), bare},
        {place + QPoint(100, 75), QStringLiteral("#FEDCBA")}};

    QTemporaryDir folder;
    if (!copyProgram(folder.path()))
        return 1;
    Program program(folder.path());
    int right = 0, done = 0, replaced = 0;
    QStringList deaths, wrong;
    QRect at;
    const auto startProgram = [&](bool magnifier) {
        program.stop();
        if (!program.start(magnifier))
            return false;
        // Where the desktop placed it, once it stays there.
        at = session->settledWindow(QStringLiteral("mirabou"));
        return at.isValid();
    };
    QElapsedTimer soak;
    soak.start();
    for (int n = 0; n < picks; ++n) {
        const bool magnifier = n < picks / 2;
        if ((n == 0 || n == picks / 2 || !program.alive()) && !startProgram(magnifier)) {
            deaths << QStringLiteral("pick %1: the program did not come up: %2")
                          .arg(n + 1)
                          .arg(program.death());
            continue;
        }
        // Where the desktop moved the marker (a window it placed late), back;
        // where it moved the program's window, the pick aims there.
        if (session->windows(QStringLiteral("bench_soak")).value(0).topLeft() != place) {
            if (!placed()) {
                std::fputs("bench_soak: the marker window could not be placed again\n", stderr);
                return 1;
            }
            ++replaced;
        }
        if (session->windows(QStringLiteral("mirabou")).value(0) != at) {
            at = session->settledWindow(QStringLiteral("mirabou"));
            ++replaced;
        }
        const auto& [target, colour] = targets[int(random.bounded(targets.size()))];
        const int hold = 100 + int(random.bounded(901));
        const QPoint eye = at.topLeft() + QPoint(EyeWizardX, ButtonY);
        const QPoint copy = at.topLeft() + QPoint(CopyHexX, ButtonY);
        QElapsedTimer held;
        session->pointer(eye.x(), eye.y(), false);
        session->pointer(eye.x(), eye.y(), true);
        held.start();
        for (const QPoint& p : {QPoint(200, target.y()), (eye + target) / 2, target})
            session->pointer(p.x(), p.y(), true);
        QTest::qWait(int(std::max<qint64>(0, hold - held.elapsed())));
        session->pointer(target.x(), target.y(), false);
        // The pick ends once its picture is read; Copy HEX Value until the
        // clipboard holds the colour, or for 5 s.
        QString read;
        for (QElapsedTimer waited; !waited.isValid() || waited.elapsed() < 5000;) {
            if (!waited.isValid())
                waited.start();
            QTest::qWait(200);
            session->pointer(copy.x(), copy.y(), false);
            session->pointer(copy.x(), copy.y(), true);
            session->pointer(copy.x(), copy.y(), false);
            read = session->clipboardOnce(colour, 800);
            if (read == colour || !program.alive())
                break;
        }
        ++done;
        if (!program.alive()) {
            deaths << QStringLiteral("pick %1 (held %2 ms, magnifier %3): %4")
                          .arg(n + 1)
                          .arg(hold)
                          .arg(magnifier ? QStringLiteral("on") : QStringLiteral("off"))
                          .arg(program.death());
        } else if (read == colour) {
            ++right;
        } else {
            wrong << QStringLiteral("pick %1 (held %2 ms, magnifier %3): %4 where %5; said: %6")
                         .arg(n + 1)
                         .arg(hold)
                         .arg(magnifier ? QStringLiteral("on") : QStringLiteral("off"))
                         .arg(read, colour, program.said(4));
        }
    }
    program.stop();
    std::printf("| %s | %d | %d | %lld | %.0f s |\n", qPrintable(desktop), done, right,
                static_cast<long long>(deaths.size()), double(soak.elapsed()) / 1000);
    for (const QString& line : std::as_const(wrong))
        std::printf("  wrong: %s\n", qPrintable(line));
    for (const QString& line : std::as_const(deaths))
        std::printf("  death: %s\n", qPrintable(line));
    if (replaced > 0)
        std::printf("  (the desktop moved a window after it was placed, %d times)\n", replaced);
    std::printf("  (seed %u)\n", seed);
    return wrong.isEmpty() && deaths.isEmpty() ? 0 : 1;
}
