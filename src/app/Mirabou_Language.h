#pragma once

#include "controls/ModalWindow.h"

#include <QScopedPointer>
#include <array>

class QLabel;

namespace Ui {
class TForm3;
}

/// The Language window: who made the current translation.
class TForm3 : public TModalWindow {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    ~TForm3() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Button1Click();
    /// The field names and their values, top to bottom.
    std::array<std::pair<QLabel*, QLabel*>, 4> rows() const;
    /// Sizes each value label to its text, keeping its right edge; a text
    /// wider than the room between that edge and a small gap after its field
    /// name is cut with an ellipsis and shown whole in the label's tooltip.
    void fitValues();

    QScopedPointer<Ui::TForm3> m_ui;
};
