#pragma once

#include <QObject>

class QSocketNotifier;

namespace platform {

/// Turns SIGTERM, SIGINT and SIGHUP (logout, kill, a terminal's Ctrl+C or
/// hang-up) into requested() on the thread that created it, so the program
/// can end as if its main window were closed. The signal handler only writes
/// to a pipe; everything else runs in the event loop. One instance at a time;
/// its destruction gives the signals their default actions back.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void requested();

private:
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace platform
