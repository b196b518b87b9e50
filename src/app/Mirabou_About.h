#pragma once

#include "controls/ModalWindow.h"

#include <QScopedPointer>

namespace Ui {
class TForm2;
}
class TLnkLabel;

/// The About window: picture, title, version, author and the two contact
/// links, which also serve the main window's "Visit Website" and "Send Email".
class TForm2 : public TModalWindow {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    TLnkLabel* webLink() const;
    TLnkLabel* mailLink() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Button1Click();

    QScopedPointer<Ui::TForm2> m_ui;
};
