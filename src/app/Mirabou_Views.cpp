#include "app/Mirabou_Main.h"

#include "color/ColorModel.h"
#include "color/ConvertBase.h"
#include "controls/Accessibility.h"
#include "controls/Pictures.h"

#include "ui_Mirabou_Main.h"

// The main window's views: what the colour model writes into them, their
// pictures, and what screen readers read of them.

namespace {

/// The main window's views of the current colour, as the colour model sees
/// them.
class FormViews : public ColorViews {
public:
    explicit FormViews(Ui::TForm1& ui)
        : m_hex{ui.umRed, ui.umGreen, ui.umBlue}, m_dec{ui.dcRed, ui.dcGreen, ui.dcBlue}, m_ui(ui) {
    }
    QString hexBox(int c) const override { return m_hex[c]->text(); }
    void setHexBox(int c, const QString& text) override { m_hex[c]->setText(text); }
    QString decBox(int c) const override { return m_dec[c]->text(); }
    void setDecBox(int c, const QString& text) override { m_dec[c]->setText(text); }
    void showHexText(const QString& text) override { m_ui.Label4->setText(text); }
    void showSwatch(PackedColor c) override {
        m_ui.Shape4->setBrushColor(QColor(redOf(c), greenOf(c), blueOf(c)));
    }
    void selectNamedColor(PackedColor c) override { m_ui.ColorBox1->selectByColor(c); }
    void showDecText(const QString& text) override { m_ui.Label10->setText(text); }

private:
    TumNumberEdit* m_hex[3];
    TumNumberEdit* m_dec[3];
    Ui::TForm1& m_ui;
};

} // namespace

std::unique_ptr<ColorViews> TForm1::makeColorViews() {
    return std::make_unique<FormViews>(*m_ui);
}

void TForm1::setPictures() {
    Ui::TForm1& ui = *m_ui;
    setWindowIcon(pictures::windowIcon());
    // Each picture is decoded once and shared by the buttons that show it.
    const QIcon copy = pictures::icon(QStringLiteral("copy"));
    const QIcon paste = pictures::icon(QStringLiteral("paste"));
    const QIcon wand = pictures::icon(QStringLiteral("wand"));
    const std::pair<QToolButton*, QIcon> buttons[] = {
        {ui.SpeedButton3, copy},
        {ui.SpeedButton4, copy},
        {ui.SpeedButton5, paste},
        {ui.SpeedButton6, paste},
        {ui.SpeedButton1, wand},
        {ui.SpeedButton11, wand},
        {ui.SpeedButton10, pictures::icon(QStringLiteral("gears"))},
        {ui.SpeedButton7, pictures::icon(QStringLiteral("options"))},
        {ui.SpeedButton9, pictures::icon(QStringLiteral("settings"))},
        {ui.SpeedButton2, pictures::icon(QStringLiteral("help"))},
        {ui.SpeedButton12, pictures::icon(QStringLiteral("about"))},
        {ui.SpeedButton8, pictures::icon(QStringLiteral("exit"))}};
    for (const auto& [button, icon] : buttons)
        button->setIcon(icon);
}

void TForm1::describeForScreenReaders() {
    Ui::TForm1& ui = *m_ui;
    // The letter tags spell what their buttons' names say, one letter at a
    // time; the hidden buttons only hold pictures; the header strip is a
    // background.
    for (QLabel* tag : {ui.Label13, ui.Label14, ui.Label15, ui.Label16, ui.Label17, ui.Label18,
                        ui.Label19, ui.Label20, ui.Label21, ui.Label26, ui.Label27, ui.Label28,
                        ui.Label22, ui.Label23, ui.Label24, ui.Label30, ui.Label31, ui.Label29})
        accessibility::hide(tag);
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui.SpeedButton10, ui.SpeedButton11, ui.Shape1})
        accessibility::hide(w);
    accessibility::setLabel(ui.Label11, ui.Label4);
    accessibility::setLabel(ui.Label12, ui.Label10);
    accessibility::setLabel(ui.Label6, ui.Label25);
    accessibility::setButton(ui.Shape4);
}
