#pragma once

#include <QApplication>

/// The application object: an exception escaping an event handler ends that
/// handler only and goes to the standard error report; the program goes on.
class MirabouApplication : public QApplication {
    Q_OBJECT
public:
    MirabouApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
