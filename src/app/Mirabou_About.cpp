#include "app/Mirabou_About.h"

#include "controls/Accessibility.h"
#include "controls/Pictures.h"
#include "files/Version.h"

#include "ui_Mirabou_About.h"

TForm2::TForm2(QWidget* parent) : TModalWindow(parent), m_ui(new Ui::TForm2) {
    m_ui->setupUi(this);
    m_ui->Label3->setText(QStringLiteral("v %1.0").arg(QLatin1String(version::Full)));
    m_ui->Button1->setDefault(true);
    m_ui->Button1->setFocus();
    connect(m_ui->Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    // The picture and the two lines are decoration; each field name names
    // its value.
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui->Image1, m_ui->Shape1, m_ui->Shape2})
        accessibility::hide(w);
    accessibility::setLabel(m_ui->Label6, m_ui->Label7);
    accessibility::setLabel(m_ui->Label4, m_ui->LnkLabel1);
    accessibility::setLabel(m_ui->Label5, m_ui->LnkLabel2);
}

TForm2::~TForm2() = default;

void TForm2::showEvent(QShowEvent* event) {
    // The picture waits for the window's first showing: most runs never
    // open it, and only then is the screen's scale known.
    if (m_ui->Image1->pixmap().isNull())
        m_ui->Image1->setPixmap(pictures::pixmap(QStringLiteral("mirabou"), devicePixelRatioF()));
    TModalWindow::showEvent(event);
}

TLnkLabel* TForm2::webLink() const {
    return m_ui->LnkLabel1;
}

TLnkLabel* TForm2::mailLink() const {
    return m_ui->LnkLabel2;
}

void TForm2::Button1Click() {
    close();
}
