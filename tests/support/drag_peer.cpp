// Another program a colour is dragged to or from, as the whole-program tests
// need one: a window at a given place that prints what is dropped on it, or
// that drags out a colour text or a colour when pressed and moved.
//
//   drag_peer receive X Y       prints "drop" and then "TYPE=VALUE" per format
//   drag_peer text X Y TEXT     drags TEXT out as text/plain
//   drag_peer color X Y #RRGGBB drags the colour out as application/x-color
#include <QApplication>
#include <QColor>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QWidget>
#include <cstdio>

namespace {

class Peer : public QWidget {
public:
    Peer(QString mode, QString value) : m_mode(std::move(mode)), m_value(std::move(value)) {
        setWindowTitle(QStringLiteral("drag peer"));
        setAcceptDrops(m_mode == QLatin1String("receive"));
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, QColor(40, 200, 40));
        setPalette(p);
    }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override { event->acceptProposedAction(); }
    void dragMoveEvent(QDragMoveEvent* event) override { event->acceptProposedAction(); }
    void dropEvent(QDropEvent* event) override {
        std::printf("drop\n");
        const QMimeData* dropped = event->mimeData();
        for (const QString& type : dropped->formats()) {
            // A colour arrives as four 16-bit channels, which Qt reads as a
            // colour: shown as its name.
            const QByteArray shown =
                type == QLatin1String("application/x-color")
                    ? qvariant_cast<QColor>(dropped->colorData()).name().toLatin1()
                    : dropped->data(type);
            std::printf("%s=%s\n", type.toUtf8().constData(), shown.constData());
        }
        std::fflush(stdout);
        event->acceptProposedAction();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!(event->buttons() & Qt::LeftButton) || m_mode == QLatin1String("receive"))
            return;
        auto* out = new QMimeData;
        if (m_mode == QLatin1String("color"))
            out->setColorData(QColor::fromString(m_value));
        else
            out->setText(m_value);
        auto* drag = new QDrag(this);
        drag->setMimeData(out);
        const Qt::DropAction done = drag->exec(Qt::CopyAction);
        std::printf("dragged %d\n", int(done));
        std::fflush(stdout);
    }

private:
    QString m_mode, m_value;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    Peer peer(args[1], args.value(4));
    peer.setGeometry(args[2].toInt(), args[3].toInt(), 120, 120);
    peer.show();
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
