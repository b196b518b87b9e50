#include "i18n/Mirabou_Language.h"

#include "ui_Mirabou_Language.h"

TForm3::TForm3(QWidget* parent) : TModalWindow(parent), m_ui(new Ui::TForm3) {
    m_ui->setupUi(this);
    m_ui->Button1->setDefault(true);
    m_ui->Button1->setFocus();
    connect(m_ui->Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
}

TForm3::~TForm3() = default;

void TForm3::Button1Click() {
    close();
}
