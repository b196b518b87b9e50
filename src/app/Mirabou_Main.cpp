#include "app/Mirabou_Main.h"

#include "app/Pictures.h"
#include "color/ClipboardExchange.h"
#include "color/ConvertBase.h"
#include "controls/FrameCacheStyle.h"
#include "controls/LnkLabel.h"
#include "help/HelpHook.h"
#include "help/HelpRouter.h"
#include "help/Mirabou_About.h"
#include "i18n/Mirabou_Language.h"
#include "i18n/ToolkitTexts.h"
#include "platform/ErrorReport.h"
#include "platform/IniFile.h"
#include "platform/SettingsFile.h"

#include "ui_Mirabou_Main.h"

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

using platform::IniFile;

namespace {

/// The pictures of the menu items, by index.
QIcon menuImage(int index) {
    static const char* const files[] = {"sheet-pencil", "sheet-cross", "two-sheets", "envelope",
                                        "globe",        "book",        "card"};
    return pictures::icon(QStringLiteral("menu/") + QLatin1String(files[index]));
}

} // namespace

TForm1::TForm1(const QString& programFolder, ScreenContextFactory screens, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_ui(new Ui::TForm1), m_folder(programFolder), m_openScreen(std::move(screens)) {
    m_ui->setupUi(this);
    setFixedSize(size());
    // The frames around the views that change on every Eye Wizard move are
    // drawn once, not on every move.
    auto* frames = new TFrameCacheStyle;
    frames->setParent(this);
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_ui->GroupBox1, m_ui->GroupBox2, m_ui->GroupBox3, m_ui->umRed, m_ui->umGreen,
             m_ui->umBlue, m_ui->dcRed, m_ui->dcGreen, m_ui->dcBlue})
        w->setStyle(frames);
    setPictures();
    buildMenus();

    Ui::TForm1& ui = *m_ui;
    connect(ui.SpeedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);
    connect(ui.SpeedButton4, &QToolButton::clicked, this, &TForm1::SpeedButton4Click);
    connect(ui.SpeedButton5, &QToolButton::clicked, this, &TForm1::SpeedButton5Click);
    connect(ui.SpeedButton6, &QToolButton::clicked, this, &TForm1::SpeedButton6Click);
    connect(ui.SpeedButton7, &QToolButton::clicked, this, &TForm1::SpeedButton7Click);
    connect(ui.SpeedButton9, &QToolButton::clicked, this, &TForm1::SpeedButton9Click);
    connect(ui.SpeedButton12, &QToolButton::clicked, this, &TForm1::SpeedButton12Click);
    connect(ui.SpeedButton8, &QToolButton::clicked, this, &TForm1::SpeedButton8Click);
    // A right click on a menu button opens the same menu.
    const std::pair<QToolButton*, QMenu*> menuButtons[] = {{ui.SpeedButton7, PopupMenu2},
                                                           {ui.SpeedButton9, PopupMenu1},
                                                           {ui.SpeedButton12, PopupMenu3}};
    for (auto [button, menu] : menuButtons) {
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(button, &QWidget::customContextMenuRequested, this,
                [this, button = button, menu = menu] { OpenPopup(button, menu); });
    }

    connect(ui.SpeedButton1, &TSpeedButton::mouseDown, this, &TForm1::SpeedButton1MouseDown);
    connect(ui.SpeedButton1, &TSpeedButton::mouseMove, this, [this](QPointF global) {
        if (m_screen) // spares asking the display where the pointer is
            m_screen->pointerSeen(global);
        SpeedButton1MouseMove();
    });
    connect(ui.SpeedButton1, &TSpeedButton::mouseUp, this, &TForm1::SpeedButton1MouseUp);
    connect(ui.SpeedButton1, &TSpeedButton::grabLost, this, [this] {
        if (m_picking) // the grab went elsewhere: end the pick as a release would
            SpeedButton1MouseUp();
    });
    ui.SpeedButton1->setCursor(Qt::ArrowCursor);

    connect(ui.umRed, &TumNumberEdit::OnChange, this, &TForm1::umRedChange);
    connect(ui.umGreen, &TumNumberEdit::OnChange, this, &TForm1::umGreenChange);
    connect(ui.umBlue, &TumNumberEdit::OnChange, this, &TForm1::umBlueChange);
    connect(ui.dcRed, &TumNumberEdit::OnChange, this, &TForm1::dcRedChange);
    connect(ui.dcGreen, &TumNumberEdit::OnChange, this, &TForm1::dcGreenChange);
    connect(ui.dcBlue, &TumNumberEdit::OnChange, this, &TForm1::dcBlueChange);
    for (TumNumberEdit* box : {ui.umRed, ui.umGreen, ui.umBlue})
        connect(box, &TumEdit::OnExit, this, &TForm1::umRedExit);
    for (TumNumberEdit* box : {ui.dcRed, ui.dcGreen, ui.dcBlue})
        connect(box, &TumEdit::OnExit, this, &TForm1::dcRedExit);
    connect(ui.UpDown1, &TUpDown::clicked, this, &TForm1::UpDown1Click);
    connect(ui.UpDown2, &TUpDown::clicked, this, &TForm1::UpDown2Click);
    connect(ui.UpDown3, &TUpDown::clicked, this, &TForm1::UpDown3Click);
    connect(ui.Shape4, &TShape::mouseDown, this, &TForm1::Shape4MouseDown);
    connect(ui.ColorBox1, &TColorBox::changed, this, &TForm1::ColorBox1Change);

    HelpRouter1 = new THelpRouter(this);
    HelpRouter1->setHelpType(htHTMLhelp);
    HelpRouter1->setCHMPopupTopics(QStringLiteral("CSHelp.txt"));
    HelpRouter1->setValidateID(false);

    ui.umRed->setFocus();
    FormCreate();
}

void TForm1::makeViewsOpaque() {
    // The views an Eye Wizard move changes cover all they stand on, so that
    // each move repaints them alone: not the groups, the window or the
    // captions beneath. The boxes draw their group's colour around their
    // frames (see TFrameCacheStyle); the swatch is filled anyway. Done at
    // the first pick: at start-up it would hold up the window's first
    // showing by about a millisecond (the groups drawn, a font loaded).
    m_viewsOpaque = true;
    for (TumNumberEdit* box : valueBoxes())
        box->setAttribute(Qt::WA_OpaquePaintEvent);
    // The value labels fill their background and reach no further left than
    // their widest value needs, short of the captions before them.
    const auto widest = [](const QFontMetrics& metrics, QLatin1String characters, int count) {
        int glyph = 0;
        for (const char c : characters)
            glyph = std::max(glyph, metrics.horizontalAdvance(QLatin1Char(c)));
        return glyph * count;
    };
    const QFontMetrics hex = m_ui->Label4->fontMetrics(), dec = m_ui->Label10->fontMetrics();
    const std::pair<QLabel*, int> values[] = {
        {m_ui->Label4, hex.horizontalAdvance(QLatin1Char('#')) +
                           widest(hex, QLatin1String("0123456789ABCDEF"), 6)},
        {m_ui->Label10, 2 * dec.horizontalAdvance(QLatin1Char(',')) +
                            widest(dec, QLatin1String("0123456789"), 9)}};
    for (const auto& [label, width] : values) {
        QRect area = label->geometry();
        area.setLeft(std::max(area.left(), area.right() + 1 - width - 2));
        label->setGeometry(area);
        label->setAutoFillBackground(true);
    }
    matchBackgrounds();
}

void TForm1::matchBackgrounds() {
    // What a view's group shows in an area of it, drawn without the view:
    // Fusion tints a group's inside and shades the rows below its top edge,
    // so it is not the window's colour everywhere.
    const auto beneath = [](const QWidget* view, const QRect& area) {
        const qreal ratio = view->devicePixelRatioF();
        QImage picture(area.size() * ratio, QImage::Format_RGB32);
        picture.setDevicePixelRatio(ratio);
        view->parentWidget()->render(&picture, QPoint(), QRegion(area),
                                     QWidget::DrawWindowBackground);
        return picture;
    };
    // Around a box's rounded corners: the inside of its group, left of its
    // middle.
    const QWidget* group = nullptr;
    QColor inside;
    for (TumNumberEdit* box : valueBoxes()) {
        auto* frames = qobject_cast<TFrameCacheStyle*>(box->style());
        if (!frames)
            continue;
        if (box->parentWidget() != group) {
            group = box->parentWidget();
            const QPoint left(box->x(), box->y() + box->height() / 2);
            inside = beneath(box, QRect(left, QSize(1, 1))).pixelColor(0, 0);
        }
        frames->setColorBeneath(box, inside);
    }
    for (QLabel* label : {m_ui->Label4, m_ui->Label10}) {
        const QImage picture = beneath(label, label->geometry());
        // A brush's picture counts in points, not in the screen's pixels.
        QBrush brush{QPixmap::fromImage(picture)};
        brush.setTransform(
            QTransform::fromScale(1 / picture.devicePixelRatio(), 1 / picture.devicePixelRatio()));
        QPalette palette = label->palette();
        palette.setBrush(QPalette::Window, brush);
        label->setPalette(palette);
    }
}

std::array<TumNumberEdit*, 6> TForm1::valueBoxes() const {
    return {m_ui->umRed, m_ui->umGreen, m_ui->umBlue, m_ui->dcRed, m_ui->dcGreen, m_ui->dcBlue};
}

void TForm1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The window hears of a new palette or style before its children take
    // it: the groups are drawn anew once they have.
    if ((event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) &&
        m_viewsOpaque && !m_matchingBackgrounds) {
        m_matchingBackgrounds = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_matchingBackgrounds = false;
                matchBackgrounds();
            },
            Qt::QueuedConnection);
    }
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

TForm1::~TForm1() {
    FormDestroy();
}

void TForm1::attachWindows(TForm2* about, TForm3* language) {
    m_about = about;
    m_language = language;
}

void TForm1::buildMenus() {
    auto item = [this](const char* name, const QString& caption, int image = -1,
                       const QKeySequence& key = {}) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        if (image >= 0)
            action->setIcon(menuImage(image));
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
    AlwaysOnTop1 = item("AlwaysOnTop1", QStringLiteral("Always On Top"), -1, Qt::Key_F10);
    AlwaysOnTop1->setCheckable(true);
    FlatButtons1 = item("FlatButtons1", QStringLiteral("Flat Buttons"), -1, Qt::Key_F11);
    FlatButtons1->setCheckable(true);
    Language1 = menu("Language1", QStringLiteral("Language"));
    PopupMenu1->addAction(AlwaysOnTop1);
    PopupMenu1->addAction(FlatButtons1);
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N1"));
    PopupMenu1->addMenu(Language1);

    PopupMenu2 = menu("PopupMenu2");
    CopyEyeColorHexValue1 = menu("CopyEyeColorHexValue1", QStringLiteral("Copy Eye Color"));
    CopyEyeColorHexValue1->setIcon(menuImage(2));
    HexValue1 = item("HexValue1", QStringLiteral("Hex Value"));
    DecValue1 = item("DecValue1", QStringLiteral("Dec Value"));
    CopyEyeColorHexValue1->addAction(HexValue1);
    CopyEyeColorHexValue1->addAction(DecValue1);
    RecallEyeColor1 = item("RecallEyeColor1", QStringLiteral("Recall Eye Color"), 0);
    ClearEyeColor1 = item("ClearEyeColor1", QStringLiteral("Clear Eye Color"), 1);
    PopupMenu2->addMenu(CopyEyeColorHexValue1);
    PopupMenu2->addSeparator()->setObjectName(QStringLiteral("N2"));
    PopupMenu2->addAction(RecallEyeColor1);
    PopupMenu2->addAction(ClearEyeColor1);

    PopupMenu3 = menu("PopupMenu3");
    About1 = item("About1", QStringLiteral("About"), 5, Qt::Key_F2);
    Language2 = item("Language2", QStringLiteral("Language"), 6, Qt::Key_F4);
    WebSite1 = item("WebSite1", QStringLiteral("Visit Website"), 4, Qt::Key_F5);
    SendEmail1 = item("SendEmail1", QStringLiteral("Send Email"), 3, Qt::Key_F6);
    PopupMenu3->addAction(About1);
    PopupMenu3->addAction(Language2);
    PopupMenu3->addSeparator()->setObjectName(QStringLiteral("N3"));
    PopupMenu3->addAction(WebSite1);
    PopupMenu3->addAction(SendEmail1);

    // The help-contents action supplies the help button's hint and state.
    HelpContents1 = item("HelpContents1", QStringLiteral("Help Contents"));
    HelpContents1->setToolTip(QStringLiteral("Help Contents"));
    HelpContents1->setIcon(m_ui->SpeedButton2->icon());
    m_ui->SpeedButton2->setDefaultAction(HelpContents1);

    connect(AlwaysOnTop1, &QAction::triggered, this, &TForm1::AlwaysOnTop1Click);
    connect(FlatButtons1, &QAction::triggered, this, &TForm1::FlatButtons1Click);
    connect(HexValue1, &QAction::triggered, this, &TForm1::HexValue1Click);
    connect(DecValue1, &QAction::triggered, this, &TForm1::DecValue1Click);
    connect(RecallEyeColor1, &QAction::triggered, this, &TForm1::RecallEyeColor1Click);
    connect(ClearEyeColor1, &QAction::triggered, this, &TForm1::ClearEyeColor1Click);
    connect(About1, &QAction::triggered, this, &TForm1::About1Click);
    connect(Language2, &QAction::triggered, this, &TForm1::Language2Click);
    connect(WebSite1, &QAction::triggered, this, &TForm1::WebSite1Click);
    connect(SendEmail1, &QAction::triggered, this, &TForm1::SendEmail1Click);
    connect(HelpContents1, &QAction::triggered, this, &TForm1::HelpContents1Execute);
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

QString TForm1::languageBaseName(int n) const {
    return n >= 1 && n <= m_languageList.size() ? m_languageList[n - 1] : QString();
}

// --- start-up and shut-down ---------------------------------------------

void TForm1::FormCreate() {
    HelpRouter1->setHelpfile(m_folder + QStringLiteral("Mirabou.chm"));
    m_notSetText = QStringLiteral("Not Set");
    m_settingsPath = settings::filePath(m_folder);
    {
        const IniFile file(m_settingsPath);
        const bool onTop = settings::readBool(file, settings::OnTop);
        const bool flat = settings::readBool(file, settings::Flat);
        const i18n::LanguageList languages =
            i18n::readLanguageList(file, settings::languagesSource(file, m_folder));
        buildLanguageMenu(languages);
        m_currentLanguage = languages.chosen;
        if (onTop) {
            setStayOnTop(true);
            AlwaysOnTop1->setChecked(true);
        }
        FlatButtons1->setChecked(flat);
        setFlatButtons(flat);
    }
    m_packedColor = QStringLiteral("$00000000");
    // The screen is opened at the first pick: on X11 that asks the display
    // whether it is XWayland, a round trip the window's first showing would
    // wait for.
}

void TForm1::setVisible(bool visible) {
    // The language and the stored position belong to the first showing only
    // (Always On Top re-creates the native window and shows it again). They
    // are applied before the native window exists: only then does a position
    // name the frame's corner, as pos() reports it at exit; once the window
    // exists, the window manager would take it for the client area's and the
    // window would creep by the frame's size at every start.
    if (visible && !m_shown) {
        m_shown = true;
        FormShow();
    }
    QWidget::setVisible(visible);
}

void TForm1::FormShow() {
    ChangeLang(m_currentLanguage);
    const IniFile file(m_settingsPath);
    move(settings::readInteger(file, settings::PosX), settings::readInteger(file, settings::PosY));
}

void TForm1::FormDestroy() {
    QString languageKey = QLatin1String(settings::Language.fallback);
    const QList<QAction*> items = Language1->actions();
    for (int n = 0; n < items.size(); ++n) {
        if (items[n]->isChecked())
            languageKey = i18n::languageKey("lang", n + 1);
    }
    const bool onTop = isStayOnTop();
    try {
        // The user's own settings folder is made on the first write.
        QDir().mkpath(QFileInfo(m_settingsPath).absolutePath());
        IniFile file(m_settingsPath);
        settings::writeBool(file, settings::OnTop, onTop);
        settings::writeBool(file, settings::Flat, FlatButtons1->isChecked());
        settings::writeInteger(file, settings::PosX, pos().x());
        settings::writeInteger(file, settings::PosY, pos().y());
        settings::writeString(file, settings::Language, languageKey);
    } catch (const std::exception& e) {
        platform::reportError(QString::fromUtf8(e.what()));
    }
    m_screen.reset();
}

// --- window options -----------------------------------------------------

bool TForm1::isStayOnTop() const {
    return windowFlags() & Qt::WindowStaysOnTopHint;
}

void TForm1::setStayOnTop(bool on) {
    // Changing the flag re-creates the native window and hides it; put it
    // back where it was.
    const QPoint where = pos();
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible) {
        move(where);
        show();
    }
}

void TForm1::setFlatButtons(bool flat) {
    // The tool buttons are the SpeedButtons (a name test, not a pattern: no
    // regular expression engine is loaded at start-up for it).
    for (QToolButton* b : findChildren<QToolButton*>()) {
        if (b->objectName().startsWith(QLatin1String("SpeedButton")))
            b->setAutoRaise(flat);
    }
}

void TForm1::AlwaysOnTop1Click() {
    // The action has inverted its own check mark; invert the state to match.
    setStayOnTop(!isStayOnTop());
}

void TForm1::FlatButtons1Click() {
    setFlatButtons(FlatButtons1->isChecked());
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

void TForm1::SpeedButton8Click() {
    close();
}

// --- synchronisation ----------------------------------------------------

void TForm1::ChangeOne() {
    TumNumberEdit* um[] = {m_ui->umRed, m_ui->umGreen, m_ui->umBlue};
    TumNumberEdit* dc[] = {m_ui->dcRed, m_ui->dcGreen, m_ui->dcBlue};
    ComponentTexts hex;
    for (int i = 0; i < 3; ++i) {
        QString t = um[i]->text();
        if (t.isEmpty())
            t = QStringLiteral("00");
        else if (t.size() == 1)
            t.prepend(QLatin1Char('0'));
        um[i]->setText(t);
        dc[i]->setText(ConvertBase(t, 16, 10));
        hex[i] = t;
    }
    for (TumNumberEdit* box : dc) {
        if (box->text().isEmpty())
            box->setText(QStringLiteral("0"));
    }
    commonTail(hex);
}

void TForm1::ChangeTwo() {
    TumNumberEdit* um[] = {m_ui->umRed, m_ui->umGreen, m_ui->umBlue};
    TumNumberEdit* dc[] = {m_ui->dcRed, m_ui->dcGreen, m_ui->dcBlue};
    for (TumNumberEdit* box : dc) {
        if (box->text().isEmpty())
            box->setText(QStringLiteral("0"));
    }
    for (int i = 0; i < 3; ++i)
        um[i]->setText(ConvertBase(dc[i]->text(), 10, 16));
    for (TumNumberEdit* box : um) {
        if (box->text().isEmpty())
            box->setText(QStringLiteral("00"));
    }
    ComponentTexts hex;
    for (int i = 0; i < 3; ++i) {
        hex[i] = um[i]->text();
        if (hex[i].size() == 1)
            hex[i].prepend(QLatin1Char('0')); // for the views only; the box keeps one digit
    }
    commonTail(hex);
}

PackedColor TForm1::packedValue() const {
    bool ok = false;
    const PackedColor packed = m_packedColor.mid(1).toUInt(&ok, 16);
    return ok ? packed : 0;
}

void TForm1::commonTail(const ComponentTexts& hex) {
    m_packedColor = QStringLiteral("$00") + hex[2] + hex[1] + hex[0];
    m_ui->Label4->setText(QLatin1Char('#') + hex[0] + hex[1] + hex[2]);
    const PackedColor packed = packedValue();
    m_ui->Shape4->setBrushColor(QColor(redOf(packed), greenOf(packed), blueOf(packed)));
    m_ui->ColorBox1->selectByColor(packed);
    m_ui->Label10->setText(m_ui->dcRed->text() + QLatin1Char(',') + m_ui->dcGreen->text() +
                           QLatin1Char(',') + m_ui->dcBlue->text());
}

void TForm1::writeHexBoxes(const ComponentTexts& hex) {
    m_ui->umRed->setText(hex[0]);
    m_ui->umGreen->setText(hex[1]);
    m_ui->umBlue->setText(hex[2]);
}

// --- component editing --------------------------------------------------

void TForm1::umRedChange() {
    m_ui->UpDown1->setPosition(qint16(m_ui->umRed->Value()));
}

void TForm1::umGreenChange() {
    m_ui->UpDown2->setPosition(qint16(m_ui->umGreen->Value()));
}

void TForm1::umBlueChange() {
    m_ui->UpDown3->setPosition(qint16(m_ui->umBlue->Value()));
}

void TForm1::dcRedChange() {
    m_ui->UpDown1->setPosition(qint16(m_ui->dcRed->Value()));
}

void TForm1::dcGreenChange() {
    m_ui->UpDown2->setPosition(qint16(m_ui->dcGreen->Value()));
}

void TForm1::dcBlueChange() {
    m_ui->UpDown3->setPosition(qint16(m_ui->dcBlue->Value()));
}

void TForm1::umRedExit() {
    ChangeOne();
}

void TForm1::dcRedExit() {
    ChangeTwo();
}

void TForm1::UpDown1Click() {
    m_ui->dcRed->setValue(m_ui->UpDown1->Position());
    ChangeTwo();
}

void TForm1::UpDown2Click() {
    m_ui->dcGreen->setValue(m_ui->UpDown2->Position());
    ChangeTwo();
}

void TForm1::UpDown3Click() {
    m_ui->dcBlue->setValue(m_ui->UpDown3->Position());
    ChangeTwo();
}

void TForm1::Shape4MouseDown() {
    const PackedColor initial = packedValue();
    QColorDialog dialog(this);
    dialog.setObjectName(QStringLiteral("ColorDialog1"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setCurrentColor(QColor(redOf(initial), greenOf(initial), blueOf(initial)));
    // Confirmed or cancelled, the dialog's colour is applied: after a cancel
    // that is the colour it started with.
    const QColor chosen = dialog.exec() == QDialog::Accepted
                              ? dialog.selectedColor()
                              : QColor(redOf(initial), greenOf(initial), blueOf(initial));
    writeHexBoxes({hexPair(chosen.red()), hexPair(chosen.green()), hexPair(chosen.blue())});
    ChangeOne();
}

void TForm1::ColorBox1Change() {
    const QString hex = ConvertBase(QString::number(m_ui->ColorBox1->selectedColor()), 10, 16)
                            .rightJustified(6, QLatin1Char('0'));
    writeHexBoxes({hex.mid(4, 2), hex.mid(2, 2), hex.mid(0, 2)});
    ChangeOne();
}

// --- clipboard ------------------------------------------------------------

void TForm1::SpeedButton3Click() {
    clipboard::putText(m_ui->Label4->text());
}

void TForm1::SpeedButton4Click() {
    clipboard::putText(m_ui->Label10->text());
}

void TForm1::SpeedButton5Click() {
    const std::optional<QString> text = clipboard::getText();
    if (!text)
        return;
    if (const std::optional<ComponentTexts> hex = clipboard::parseHexText(*text)) {
        writeHexBoxes(*hex);
        ChangeOne();
    }
}

void TForm1::SpeedButton6Click() {
    const std::optional<QString> text = clipboard::getText();
    if (!text)
        return;
    if (const std::optional<ComponentTexts> hex = clipboard::parseDecText(*text)) {
        writeHexBoxes(*hex);
        ChangeOne();
    }
}

// --- Eye Wizard -----------------------------------------------------------

void TForm1::SpeedButton1MouseDown() {
    if (!m_viewsOpaque)
        makeViewsOpaque();
    if (!m_screen)
        m_screen = m_openScreen ? m_openScreen() : nullptr;
    if (!m_screen)
        m_screen = std::make_unique<NullScreenContext>();
    m_picking = true;
    m_ui->SpeedButton1->setIcon(m_ui->SpeedButton10->icon());
    m_ui->Label25->setText(m_notSetText);
    // A screen that cannot be read live (Wayland) prepares its own picture
    // or picker and may move and release by itself.
    m_screen->beginPick({[this] { SpeedButton1MouseMove(); },
                         [this] {
                             if (m_picking)
                                 endPick();
                         },
                         this});
}

void TForm1::SpeedButton1MouseMove() {
    if (!m_picking || !m_screen->followsPointer())
        return;
    const PackedColor pixel = m_screen->pixel(m_screen->cursorPos());
    writeHexBoxes({hexPair(redOf(pixel)), hexPair(greenOf(pixel)), hexPair(blueOf(pixel))});
    ChangeOne();
}

void TForm1::SpeedButton1MouseUp() {
    if (!m_picking || !m_screen->endPick())
        return; // the desktop's own picker still runs
    endPick();
}

void TForm1::endPick() {
    m_picking = false;
    m_ui->SpeedButton1->setIcon(m_ui->SpeedButton11->icon());
    m_ui->Label25->setText(QLatin1Char('#') + m_packedColor.mid(7, 2) + m_packedColor.mid(5, 2) +
                           m_packedColor.mid(3, 2));
}

void TForm1::HexValue1Click() {
    clipboard::putText(m_ui->Label25->text());
}

void TForm1::DecValue1Click() {
    const QString digits = m_ui->Label25->text().mid(1, 6);
    QStringList parts;
    for (int i = 0; i < 3; ++i) {
        QString dec = ConvertBase(digits.mid(2 * i, 2), 16, 10);
        parts.append(dec.isEmpty() ? QStringLiteral("0") : dec);
    }
    clipboard::putText(parts.join(QLatin1Char(',')));
}

void TForm1::RecallEyeColor1Click() {
    const QString eye = m_ui->Label25->text();
    if (eye == m_notSetText)
        return;
    writeHexBoxes({eye.mid(1, 2), eye.mid(3, 2), eye.mid(5, 2)});
    ChangeOne();
}

void TForm1::ClearEyeColor1Click() {
    m_ui->Label25->setText(m_notSetText);
}

// --- languages, About, links, help -------------------------------------

void TForm1::ChangeLang(int n) {
    const QString base = languageBaseName(n);
    const IniFile file(base.isNull() ? QString() : m_folder + base + QStringLiteral(".lng"));
    m_notSetText = i18n::applyLanguage(file, this, m_about, m_language);
    i18n::applyToolkitLocale(
        file.readString(QStringLiteral("language"), QStringLiteral("locale"), QString()));
}

void TForm1::ChangeLangClick(QAction* item) {
    for (QAction* other : Language1->actions())
        other->setChecked(false);
    item->setChecked(true);
    ChangeLang(item->data().toInt());
}

void TForm1::Language2Click() {
    if (m_language)
        m_language->showModalOver(this);
}

void TForm1::About1Click() {
    if (m_about)
        m_about->showModalOver(this);
}

void TForm1::WebSite1Click() {
    if (m_about)
        m_about->webLink()->OpenLink();
}

void TForm1::SendEmail1Click() {
    if (m_about)
        m_about->mailLink()->OpenLink();
}

void TForm1::HelpContents1Execute() {
    help::applicationHelpCommand(help::HELP_FINDER, 0);
}
