#include "app/Mirabou_Main.h"

#include "app/Mirabou_About.h"
#include "app/Mirabou_Contrast.h"
#include "app/Mirabou_Language.h"
#include "app/Mirabou_Palettes.h"
#include "controls/LnkLabel.h"
#include "controls/Pictures.h"
#include "help/HelpHook.h"

#include "ui_Mirabou_Main.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

// The main window's three popup menus, the buttons that open them, and the
// commands of their items that open other windows or the help.

void TForm1::buildMenus() {
    // picture: a menu picture's name, or none.
    auto item = [this](const char* name, const QString& caption, const char* picture = nullptr,
                       const QKeySequence& key = {}) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        if (picture)
            action->setIcon(pictures::icon(QStringLiteral("menu/") + QLatin1String(picture)));
        if (!key.isEmpty()) {
            action->setShortcut(key);
            action->setShortcutContext(Qt::WindowShortcut);
            addAction(action); // the key works while the menu is closed
        }
        return action;
    };
    auto menu = [this](const char* name, const QString& title = {}) {
        auto* m = new QMenu(title, this);
        m->setObjectName(QLatin1String(name));
        return m;
    };

    PopupMenu1 = menu("PopupMenu1");
    AlwaysOnTop1 = item("AlwaysOnTop1", QStringLiteral("Always On Top"), nullptr, Qt::Key_F10);
    AlwaysOnTop1->setCheckable(true);
    FlatButtons1 = item("FlatButtons1", QStringLiteral("Flat Buttons"), nullptr, Qt::Key_F11);
    FlatButtons1->setCheckable(true);
    Language1 = menu("Language1", QStringLiteral("Language"));
    PopupMenu1->addAction(AlwaysOnTop1);
    PopupMenu1->addAction(FlatButtons1);
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N1"));
    PopupMenu1->addMenu(Language1);
    // The program's own options come after those of its first design.
    Magnifier1 = item("Magnifier1", QStringLiteral("Magnifier"));
    Magnifier1->setCheckable(true);
    PopupMenu1->addAction(Magnifier1);
    buildSampleMenu();

    PopupMenu2 = menu("PopupMenu2");
    CopyEyeColorHexValue1 = menu("CopyEyeColorHexValue1", QStringLiteral("Copy Eye Color"));
    CopyEyeColorHexValue1->setIcon(pictures::icon(QStringLiteral("menu/two-sheets")));
    HexValue1 = item("HexValue1", QStringLiteral("Hex Value"));
    DecValue1 = item("DecValue1", QStringLiteral("Dec Value"));
    CopyEyeColorHexValue1->addAction(HexValue1);
    CopyEyeColorHexValue1->addAction(DecValue1);
    RecallEyeColor1 = item("RecallEyeColor1", QStringLiteral("Recall Eye Color"), "sheet-pencil");
    ClearEyeColor1 = item("ClearEyeColor1", QStringLiteral("Clear Eye Color"), "sheet-cross");
    PopupMenu2->addMenu(CopyEyeColorHexValue1);
    PopupMenu2->addSeparator()->setObjectName(QStringLiteral("N2"));
    PopupMenu2->addAction(RecallEyeColor1);
    PopupMenu2->addAction(ClearEyeColor1);

    PopupMenu3 = menu("PopupMenu3");
    About1 = item("About1", QStringLiteral("About"), "book", Qt::Key_F2);
    Language2 = item("Language2", QStringLiteral("Language"), "card", Qt::Key_F4);
    Contrast1 = item("Contrast1", QStringLiteral("Contrast"), "contrast", Qt::Key_F9);
    WebSite1 = item("WebSite1", QStringLiteral("Visit Website"), "globe", Qt::Key_F5);
    SendEmail1 = item("SendEmail1", QStringLiteral("Send Email"), "envelope", Qt::Key_F6);
    Palettes1 = item("Palettes1", QStringLiteral("Palettes"), nullptr, Qt::Key_F8);
    AddCurrentColor1 = item("AddCurrentColor1", QStringLiteral("Add Current Color"), nullptr,
                            QKeySequence(Qt::CTRL | Qt::Key_D));
    PopupMenu3->addAction(About1);
    PopupMenu3->addAction(Language2);
    PopupMenu3->addAction(Contrast1);
    PopupMenu3->addAction(Palettes1);
    PopupMenu3->addAction(AddCurrentColor1);
    PopupMenu3->addSeparator()->setObjectName(QStringLiteral("N3"));
    PopupMenu3->addAction(WebSite1);
    PopupMenu3->addAction(SendEmail1);

    // A key opens the colour dialog as a press on the swatch does.
    ChooseColor1 = item("ChooseColor1", QStringLiteral("Choose Color"), nullptr, Qt::Key_F3);
    connect(ChooseColor1, &QAction::triggered, this, &TForm1::Shape4MouseDown);

    // The help-contents action supplies the help button's hint and state.
    HelpContents1 = item("HelpContents1", QStringLiteral("Help Contents"));
    HelpContents1->setToolTip(QStringLiteral("Help Contents"));
    HelpContents1->setIcon(m_ui->SpeedButton2->icon());
    m_ui->SpeedButton2->setDefaultAction(HelpContents1);
}

void TForm1::buildLanguageMenu(const i18n::LanguageList& languages) {
    m_languageList = languages.baseNames;
    for (int n = 1; n <= languages.baseNames.size(); ++n) {
        auto* item = new QAction(languages.captions[n - 1], Language1);
        item->setData(n);
        item->setCheckable(true);
        item->setChecked(false);
        connect(item, &QAction::triggered, this, [this, item] { ChangeLangClick(item); });
        Language1->addAction(item);
    }
    if (languages.chosen > 0)
        Language1->actions().at(languages.chosen - 1)->setChecked(true);
}

void TForm1::OpenPopup(QObject* sender, QMenu* menu) {
    QPoint at = QCursor::pos();
    auto* widget = qobject_cast<QWidget*>(sender);
    if (widget && (qobject_cast<QPushButton*>(widget) || qobject_cast<QCheckBox*>(widget) ||
                   qobject_cast<QRadioButton*>(widget)))
        at = widget->mapToGlobal(widget->rect().bottomLeft());
    menu->popup(at);
}

void TForm1::SpeedButton7Click() {
    OpenPopup(m_ui->SpeedButton7, PopupMenu2);
}

void TForm1::SpeedButton9Click() {
    OpenPopup(m_ui->SpeedButton9, PopupMenu1);
}

void TForm1::SpeedButton12Click() {
    OpenPopup(m_ui->SpeedButton12, PopupMenu3);
}

void TForm1::ChangeLangClick(QAction* item) {
    for (QAction* other : Language1->actions())
        other->setChecked(false);
    item->setChecked(true);
    ChangeLang(item->data().toInt());
    keepOptions();
}

void TForm1::Language2Click() {
    if (m_language)
        m_language->showModalOver(this);
}

void TForm1::About1Click() {
    if (m_about)
        m_about->showModalOver(this);
}

void TForm1::Contrast1Click() {
    if (m_contrast)
        m_contrast->open();
}

void TForm1::ContrastOptionsChanged() {
    if (!m_contrast)
        return;
    m_contrastPosition = m_contrast->position();
    m_contrastSwap = m_contrast->isSwapped();
    keepOptions();
}

void TForm1::WebSite1Click() {
    if (m_about)
        m_about->webLink()->OpenLink();
}

void TForm1::SendEmail1Click() {
    if (m_about)
        m_about->mailLink()->OpenLink();
}

void TForm1::Palettes1Click() {
    TForm4* window = palettes();
    if (window->isVisible()) {
        window->raise();
    } else {
        window->show();
    }
    window->activateWindow();
}

void TForm1::AddCurrentColor1Click() {
    palettes()->AddCurrentColor1Click();
}

void TForm1::HelpContents1Execute() {
    help::applicationHelpCommand(help::HELP_FINDER, 0);
}
