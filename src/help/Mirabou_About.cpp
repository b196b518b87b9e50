#include "help/Mirabou_About.h"

#include "ui_Mirabou_About.h"

TForm2::TForm2(QWidget* parent) : TModalWindow(parent), m_ui(new Ui::TForm2) {
    m_ui->setupUi(this);
    m_ui->Button1->setDefault(true);
    m_ui->Button1->setFocus();
    connect(m_ui->Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
}

TForm2::~TForm2() = default;

TLnkLabel* TForm2::webLink() const {
    return m_ui->LnkLabel1;
}

TLnkLabel* TForm2::mailLink() const {
    return m_ui->LnkLabel2;
}

void TForm2::Button1Click() {
    close();
}
