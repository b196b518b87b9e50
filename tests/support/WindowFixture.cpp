#include "support/WindowFixture.h"

#include "controls/ColorBox.h"
#include "controls/UpDown.h"
#include "controls/umEdit.h"
#include "files/IniFile.h"

#include <QAction>
#include <QLabel>
#include <QToolButton>

namespace testsupport {

void WindowFixture::file(const QString& name, const QByteArray& content) const {
    writeFile(folder() + name, content);
}

bool WindowFixture::start(const QByteArray& settings, ScreenContextFactory screens) {
    if (!settings.isNull())
        writeFile(settingsPath(), settings);
    program.reset();
    program = std::make_unique<Program>(folder(),
                                        screens ? std::move(screens) : fakeScreenFactory(screen));
    return showActive(&program->form1);
}

QString WindowFixture::saved(const char* key) {
    stop();
    return files::IniFile(settingsPath())
        .readString(QStringLiteral("settings"), QLatin1String(key), {});
}

QString WindowFixture::text(const char* name) const {
    QObject* o = program->form1.findChild<QObject*>(QLatin1String(name));
    if (auto* e = qobject_cast<QLineEdit*>(o))
        return e->text();
    if (auto* l = qobject_cast<QLabel*>(o))
        return l->text();
    qFatal("no text control %s", name);
}

QString WindowFixture::selectedName() const {
    return c<TColorBox>("ColorBox1")->currentText();
}

void WindowFixture::type(const char* box, const QString& keys, bool tab) const {
    auto* edit = c<TumNumberEdit>(box);
    edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (keys.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, keys);
    if (tab)
        QTest::keyClick(edit, Qt::Key_Tab);
}

void WindowFixture::clickArrow(const char* updown, bool up) const {
    auto* u = c<TUpDown>(updown);
    QTest::mouseClick(up ? u->upButton() : u->downButton(), Qt::LeftButton);
}

void WindowFixture::clickButton(const char* name, Qt::MouseButton button) const {
    QTest::mouseClick(c<QToolButton>(name), button);
}

void WindowFixture::trigger(const char* action) const {
    c<QAction>(action)->trigger();
}

} // namespace testsupport
