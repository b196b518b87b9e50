// A desktop portal of the tests' own: serves org.freedesktop.portal.Screenshot
// on the bus at --address, answering each method as its option says:
//   ok      Response 0 (a screenshot of --picture, or the colour --color)
//   refuse  Response 2        cancel  Response 1
//   missing the method is unknown (not for PickColor: the interface has it)
//   silent  the call is taken, no Response ever comes
//   hang    the call is never answered
// --uri gives the screenshot's answer that uri instead (text as it stands,
// or "<number>": a number where a text belongs).
// With --copy, each screenshot is a fresh copy of --picture made when the
// answer goes out (<png>-<n>.png, logged as "wrote <file>"), as a real
// portal writes a file per shot.
// Every call is logged on standard output as "<method> <option>=<value> ...".
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QTimer>
#include <QUrl>
#include <cstdio>

namespace {

const QString Service = QStringLiteral("org.freedesktop.portal.Desktop");

class FakePortal : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
public:
    QString screenshotMode, pickMode, picture, uri;
    double color[3] = {0, 0, 0};
    int delay = 0;
    bool copy = false;
    int copies = 0;
    QList<QDBusMessage> unanswered;

public slots:
    QDBusObjectPath Screenshot(const QString& parent, const QVariantMap& options) {
        QString file = picture;
        if (copy)
            file = picture.chopped(4) + QStringLiteral("-%1.png").arg(++copies);
        QVariantMap results;
        results.insert(QStringLiteral("uri"), QUrl::fromLocalFile(file).toString());
        if (uri == QLatin1String("<number>"))
            results.insert(QStringLiteral("uri"), 42);
        else if (!uri.isEmpty())
            results.insert(QStringLiteral("uri"), uri);
        return answer(QStringLiteral("Screenshot"), screenshotMode, parent, options, results,
                      file != picture ? file : QString());
    }
    QDBusObjectPath PickColor(const QString& parent, const QVariantMap& options) {
        QDBusArgument rgb;
        rgb.beginStructure();
        rgb << color[0] << color[1] << color[2];
        rgb.endStructure();
        QVariantMap results;
        results.insert(QStringLiteral("color"), QVariant::fromValue(rgb));
        return answer(QStringLiteral("PickColor"), pickMode, parent, options, results);
    }

private:
    QDBusObjectPath answer(const QString& method, const QString& mode, const QString& parent,
                           const QVariantMap& options, const QVariantMap& results,
                           const QString& copyTo = {}) {
        QString line = method + QStringLiteral(" parent=") + parent;
        for (auto it = options.begin(); it != options.end(); ++it)
            line += QLatin1Char(' ') + it.key() + QLatin1Char('=') + it.value().toString();
        std::printf("%s\n", qPrintable(line));
        std::fflush(stdout);

        if (mode == QLatin1String("missing")) {
            sendErrorReply(QDBusError::UnknownMethod, method + QStringLiteral(" is not here"));
            return {};
        }
        if (mode == QLatin1String("hang")) {
            setDelayedReply(true);
            unanswered.append(message());
            return {};
        }
        QString sender = message().service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/") + sender +
                             QLatin1Char('/') +
                             options.value(QStringLiteral("handle_token")).toString();
        if (mode != QLatin1String("silent")) {
            const uint code = mode == QLatin1String("ok")       ? 0
                              : mode == QLatin1String("cancel") ? 1
                                                                : 2;
            QTimer::singleShot(delay, this, [=, this, bus = connection()] {
                if (!copyTo.isEmpty() && QFile::copy(picture, copyTo)) {
                    std::printf("wrote %s\n", qPrintable(copyTo));
                    std::fflush(stdout);
                }
                QDBusMessage response = QDBusMessage::createSignal(
                    path, QStringLiteral("org.freedesktop.portal.Request"),
                    QStringLiteral("Response"));
                response << code << (code == 0 ? results : QVariantMap());
                bus.send(response);
            });
        }
        return QDBusObjectPath(path);
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser options;
    const QCommandLineOption address(QStringLiteral("address"), QString(), QStringLiteral("bus"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(),
                                        QStringLiteral("mode"), QStringLiteral("ok"));
    const QCommandLineOption pick(QStringLiteral("pickcolor"), QString(), QStringLiteral("mode"),
                                  QStringLiteral("ok"));
    const QCommandLineOption picture(QStringLiteral("picture"), QString(), QStringLiteral("png"));
    const QCommandLineOption color(QStringLiteral("color"), QString(), QStringLiteral("r,g,b"),
                                   QStringLiteral("0,0,0"));
    const QCommandLineOption delay(QStringLiteral("delay"), QString(), QStringLiteral("ms"),
                                   QStringLiteral("0"));
    const QCommandLineOption copy(QStringLiteral("copy"));
    const QCommandLineOption uri(QStringLiteral("uri"), QString(), QStringLiteral("uri"));
    options.addOptions({address, screenshot, pick, picture, color, delay, copy, uri});
    options.process(app);

    QDBusConnection bus =
        QDBusConnection::connectToBus(options.value(address), QStringLiteral("fake-portal"));
    FakePortal portal;
    portal.screenshotMode = options.value(screenshot);
    portal.pickMode = options.value(pick);
    portal.picture = options.value(picture);
    portal.delay = options.value(delay).toInt();
    portal.copy = options.isSet(copy);
    portal.uri = options.value(uri);
    const QStringList rgb = options.value(color).split(QLatin1Char(','));
    for (int i = 0; i < 3 && i < rgb.size(); ++i)
        portal.color[i] = rgb[i].toDouble();

    if (!bus.isConnected() ||
        !bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(Service)) {
        std::fprintf(stderr, "fake portal: cannot serve on %s\n",
                     qPrintable(options.value(address)));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "fake_portal.moc"
