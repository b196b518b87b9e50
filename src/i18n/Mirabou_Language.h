#pragma once

#include "controls/ModalWindow.h"

#include <QScopedPointer>

namespace Ui {
class TForm3;
}

/// The Language window: who made the current translation.
class TForm3 : public TModalWindow {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    ~TForm3() override;

private:
    void Button1Click();

    QScopedPointer<Ui::TForm3> m_ui;
};
