#include "app/Program.h"

#include <QApplication>
#include <QTimer>

Program::Program(const QString& programFolder, ScreenContextFactory screens)
    : form1(programFolder, std::move(screens)), form2(&form1), form3(&form1),
      form5(form1.color(), form1.eyeWizard(), &form1) {
    form1.attachWindows(&form2, &form3, &form5);
}

void Program::closeAll() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        // Its modal loop returns first; then the next one, or the main window.
        modal->close();
        if (modal->isVisible()) // one that refuses to close is hidden
            modal->hide();
        QTimer::singleShot(0, &form1, [this] { closeAll(); });
        return;
    }
    form1.close();
}
