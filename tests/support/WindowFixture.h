#pragma once

// The program's windows in process, as the window suites drive them.

#include "app/Program.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <memory>

namespace testsupport {

/// The program in a temporary program folder of its own, the Eye Wizard
/// reading a fake screen unless the test hands it another.
struct WindowFixture {
    QTemporaryDir dir;
    std::shared_ptr<FakeScreen> screen = std::make_shared<FakeScreen>();
    std::unique_ptr<Program> program;

    QString folder() const { return dir.path() + QLatin1Char('/'); }
    QString settingsPath() const { return folder() + QStringLiteral("settings.ini"); }
    /// Writes a file into the program folder.
    void file(const QString& name, const QByteArray& content) const;

    /// Starts the program (with settings.ini written first, when given) and
    /// shows its main window, active. One program at a time, as in real life.
    bool start(const QByteArray& settings = QByteArray(), ScreenContextFactory screens = {});
    /// Ends it as closing it does: the settings are written.
    void stop() { program.reset(); }
    /// Ends it and reads a key of the section "settings" from what it wrote.
    QString saved(const char* key);

    TForm1& w() const { return program->form1; }
    /// A named child of the main window.
    template <typename T> T* c(const char* name) const { return child<T>(&program->form1, name); }
    /// The text of the main window's edit box or label.
    QString text(const char* name) const;
    /// The name of the named colour the list shows.
    QString selectedName() const;

    /// Types into a box as a user would and tabs on.
    void type(const char* box, const QString& keys, bool tab = true) const;
    void clickArrow(const char* updown, bool up) const;
    void clickButton(const char* name, Qt::MouseButton button = Qt::LeftButton) const;
    void trigger(const char* action) const;
};

} // namespace testsupport
