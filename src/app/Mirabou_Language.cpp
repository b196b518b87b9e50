#include "app/Mirabou_Language.h"

#include "controls/Accessibility.h"
#include "i18n/LanguageFile.h"

#include "ui_Mirabou_Language.h"

namespace {

// The whole text of a value label, kept while the label shows it elided.
const char* const WholeText = "wholeText";
const char* const ShownText = "shownText";

/// The room a value leaves between its field name's text and itself.
constexpr int Gap = 6;

} // namespace

TForm3::TForm3(QWidget* parent) : TModalWindow(parent), m_ui(new Ui::TForm3) {
    m_ui->setupUi(this);
    m_ui->Button1->setDefault(true);
    m_ui->Button1->setFocus();
    connect(m_ui->Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    for (const auto& [name, value] : rows())
        accessibility::setLabel(name, value);
}

std::array<std::pair<QLabel*, QLabel*>, 4> TForm3::rows() const {
    return {{{m_ui->Label1, m_ui->Label5},
             {m_ui->Label2, m_ui->Label6},
             {m_ui->Label3, m_ui->Label7},
             {m_ui->Label4, m_ui->Label8}}};
}

void TForm3::showEvent(QShowEvent* event) {
    fitValues();
    TModalWindow::showEvent(event);
}

void TForm3::fitValues() {
    for (const auto& [name, value] : rows()) {
        const QString text = value->text() == value->property(ShownText).toString()
                                 ? value->property(WholeText).toString()
                                 : value->text();
        const int right = value->geometry().right() + 1;
        // A value may reach left up to a small gap after its field name.
        const int left =
            name->x() + name->fontMetrics().horizontalAdvance(name->text().trimmed()) + Gap;
        const QFontMetrics metrics(value->font());
        QString shown = text;
        if (metrics.horizontalAdvance(text) > right - left) {
            shown = metrics.elidedText(text, Qt::ElideRight, qMax(0, right - left));
            value->setToolTip(i18n::toolTipText(text));
        } else {
            value->setToolTip(QString());
        }
        value->setText(shown);
        value->setProperty(WholeText, text);
        value->setProperty(ShownText, shown);
        const int fitted = qMin(right, metrics.horizontalAdvance(shown) + 1);
        value->setGeometry(right - fitted, value->y(), fitted, value->height());
    }
}

TForm3::~TForm3() = default;

void TForm3::Button1Click() {
    close();
}
