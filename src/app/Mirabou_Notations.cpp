#include "app/Mirabou_Main.h"

#include "color/ColorModel.h"
#include "color/ColorTexts.h"
#include "eyedropper/EyeWizard.h"
#include "i18n/LanguageFile.h"
#include "platform/Clipboard.h"

#include "ui_Mirabou_Main.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolTip>
#include <QVariant>

// Copy and paste of the hex and dec texts, and the colour in every
// notation: the Copy As menu (a right click on the hex and dec text
// displays, or its key), copying again in the notation used last, the eye
// colour in every notation, and Paste Color, which reads any colour text.

void TForm1::buildNotationMenus() {
    Ui::TForm1& ui = *m_ui;
    const auto item = [this](const char* name, const QKeySequence& key) {
        auto* action = new QAction(this);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action); // the key works while the menu is closed
        return action;
    };
    CopyAs1 = new QMenu(this);
    CopyAs1->setObjectName(QStringLiteral("CopyAs1"));
    CopyAs1->setToolTipsVisible(true);
    CopyAs1->addSeparator()->setObjectName(QStringLiteral("N4"));
    CopyAgain1 = item("CopyAgain1", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    connect(CopyAgain1, &QAction::triggered, this, &TForm1::CopyAgain1Click);
    PasteColor1 = item("PasteColor1", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    connect(PasteColor1, &QAction::triggered, this, &TForm1::PasteColor1Click);
    // The keys are said in the displays' tooltip: a column of them would
    // widen the menu past a small screen at scale 2.
    PasteColor1->setShortcutVisibleInContextMenu(false);
    CopyAs1->addAction(PasteColor1);
    // Each item shows the colour as it stands when the menu opens.
    connect(CopyAs1, &QMenu::aboutToShow, this, [this] { showNotations(CopyAs1, currentColor()); });

    OpenCopyAs1 = item("OpenCopyAs1", Qt::Key_F7);
    connect(OpenCopyAs1, &QAction::triggered, this, [this] {
        CopyAs1->popup(m_ui->Label4->mapToGlobal(m_ui->Label4->rect().bottomLeft()));
    });
    for (QLabel* display : {ui.Label4, ui.Label10}) {
        display->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(display, &QWidget::customContextMenuRequested, this,
                [this, display](QPoint at) { CopyAs1->popup(display->mapToGlobal(at)); });
    }

    // The eye colour in the same notations, after its hex and dec values.
    CopyEyeColorHexValue1->addSeparator()->setObjectName(QStringLiteral("N5"));
    CopyEyeColorHexValue1->setToolTipsVisible(true);
    connect(CopyEyeColorHexValue1, &QMenu::aboutToShow, this,
            [this] { showNotations(CopyEyeColorHexValue1, eyeColor()); });
}

void TForm1::addNotationItems(QMenu* menu) {
    // Made when the menu first opens: nothing of them slows the start.
    const bool copyAs = menu == CopyAs1;
    QAction* before = copyAs ? CopyAs1->actions().constFirst() : nullptr;
    for (qsizetype n = 0; n < m_notations.size(); ++n) {
        auto* action = new QAction(m_notations.name(n), menu);
        action->setObjectName((copyAs ? QStringLiteral("CopyAs_") : QStringLiteral("EyeCopyAs_")) +
                              m_notations.name(n));
        if (copyAs) {
            action->setCheckable(true); // the one used last is checked
            connect(action, &QAction::triggered, this, [this, n] { CopyAsClick(n); });
        } else {
            connect(action, &QAction::triggered, this, [this, n] { EyeCopyAsClick(n); });
        }
        menu->insertAction(before, action);
    }
}

void TForm1::applyNotationTexts(const files::IniFile& file) {
    const QString copyAs = i18n::readText(file, i18n::CopyAsText);
    CopyAs1->setTitle(copyAs);
    CopyAs1->setAccessibleName(copyAs);
    OpenCopyAs1->setText(copyAs);
    m_copyAgainText = i18n::readText(file, i18n::CopyAgainText);
    CopyAgain1->setText(m_copyAgainText.arg(m_notations.name(m_copyAs)));
    PasteColor1->setText(i18n::readText(file, i18n::PasteColorText));
    m_noColorText = i18n::readText(file, i18n::NoColorText);
    // The displays say what a right click and the keys do.
    const auto key = [](const QAction* action) {
        return action->shortcut().toString(QKeySequence::NativeText);
    };
    const QString hint = i18n::readText(file, i18n::CopyAsHintText)
                             .arg(key(OpenCopyAs1), key(CopyAgain1), key(PasteColor1));
    for (QLabel* display : {m_ui->Label4, m_ui->Label10})
        display->setToolTip(i18n::toolTipText(hint));
}

std::optional<PackedColor> TForm1::currentColor() const {
    return m_color->packedValue();
}

std::optional<PackedColor> TForm1::eyeColor() const {
    return m_eyeWizard->eyeColor().color();
}

void TForm1::showNotations(QMenu* menu, std::optional<PackedColor> color) {
    if (!menu->property("filled").toBool()) {
        menu->setProperty("filled", true);
        addNotationItems(menu);
    }
    qsizetype n = 0;
    for (QAction* action : menu->actions()) {
        if (!action->objectName().contains(QLatin1Char('_')))
            continue; // the eye colour's hex and dec values, separators, commands
        // The text the item copies (its notation's name in its tooltip): the
        // menu stays narrow enough for a small screen at scale 2.
        const QString text = color ? m_notations.write(n, *color) : m_notations.name(n);
        action->setText(QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")));
        action->setToolTip(m_notations.name(n));
        action->setEnabled(color.has_value());
        if (action->isCheckable())
            action->setChecked(n == m_copyAs);
        ++n;
    }
}

void TForm1::CopyAsClick(qsizetype notation) {
    m_copyAs = notation;
    CopyAgain1->setText(m_copyAgainText.arg(m_notations.name(m_copyAs)));
    CopyAgain1Click();
    keepOptions();
}

void TForm1::CopyAgain1Click() {
    if (const std::optional<PackedColor> color = currentColor())
        clipboard::putText(m_notations.write(m_copyAs, *color));
}

void TForm1::EyeCopyAsClick(qsizetype notation) {
    if (const std::optional<PackedColor> color = eyeColor())
        clipboard::putText(m_notations.write(notation, *color));
}

void TForm1::PasteColor1Click() {
    const std::optional<QString> text = clipboard::getText();
    const std::optional<PackedColor> color =
        text ? m_notations.read(*text) : std::optional<PackedColor>();
    if (!color) {
        // Said beside the hex text, where the colour would have shown.
        QLabel* display = m_ui->Label4;
        QToolTip::showText(display->mapToGlobal(QPoint(0, display->height())), m_noColorText,
                           display, {}, 4000);
        return;
    }
    m_color->applyPacked(*color);
}

void TForm1::SpeedButton3Click() {
    clipboard::putText(m_ui->Label4->text());
}

void TForm1::SpeedButton4Click() {
    clipboard::putText(m_ui->Label10->text());
}

void TForm1::SpeedButton5Click() {
    if (const std::optional<QString> text = clipboard::getText()) {
        if (const std::optional<ComponentTexts> hex = colortext::parseHexText(*text))
            m_color->applyHex(*hex);
    }
}

void TForm1::SpeedButton6Click() {
    if (const std::optional<QString> text = clipboard::getText()) {
        if (const std::optional<ComponentTexts> hex = colortext::parseDecText(*text))
            m_color->applyHex(*hex);
    }
}
