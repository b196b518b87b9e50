#include "app/Mirabou_Main.h"

#include "app/Mirabou_About.h"
#include "app/Mirabou_Contrast.h"
#include "app/Mirabou_Language.h"
#include "app/Mirabou_Palettes.h"
#include "cli/CommandLine.h"
#include "color/ColorModel.h"
#include "color/ConvertBase.h"
#include "controls/Accessibility.h"
#include "controls/FrameCacheStyle.h"
#include "controls/OpaqueViews.h"
#include "controls/SwatchGrid.h"
#include "eyedropper/EyeWizard.h"
#include "files/IniFile.h"
#include "files/Version.h"
#include "help/HelpRouter.h"
#include "i18n/ContrastTexts.h"
#include "i18n/PaletteTexts.h"
#include "i18n/ToolkitTexts.h"
#include "platform/DisplayLoss.h"
#include "platform/ErrorReport.h"

#include "ui_Mirabou_Main.h"

#include <QAction>
#include <QColorDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QToolTip>

using files::IniFile;

TForm1::TForm1(const QString& programFolder, ScreenContextFactory screens, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_ui(new Ui::TForm1), m_folder(programFolder) {
    accessibility::install();
    m_ui->setupUi(this);
    Ui::TForm1& ui = *m_ui;
    setWindowTitle(QStringLiteral("Mirabou ") + QLatin1String(version::Shown));
    setFixedSize(size());
    // The frames around the views that change on every Eye Wizard move are
    // drawn once, not on every move.
    auto* frames = new TFrameCacheStyle;
    frames->setParent(this);
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui.GroupBox1, ui.GroupBox2, ui.GroupBox3, ui.umRed,
                                         ui.umGreen, ui.umBlue, ui.dcRed, ui.dcGreen, ui.dcBlue})
        w->setStyle(frames);
    // Their texts are digits, letters and commas that need no shaping: laid
    // out glyph by glyph they cost a move less (a text of another script is
    // still shaped).
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui.umRed, ui.umGreen, ui.umBlue, ui.dcRed, ui.dcGreen,
                                         ui.dcBlue, ui.Label4, ui.Label10}) {
        QFont font = w->font();
        font.setStyleStrategy(QFont::PreferNoShaping);
        w->setFont(font);
    }
    setPictures();
    buildMenus();
    describeForScreenReaders();

    m_views = makeColorViews();
    m_color = new TColorModel(*m_views, this);
    m_opaque =
        new TOpaqueViews(this, {ui.umRed, ui.umGreen, ui.umBlue, ui.dcRed, ui.dcGreen, ui.dcBlue},
                         ui.Label4, ui.Label10);
    m_eyeWizard = new TEyeWizard(
        *m_color, std::move(screens),
        {ui.SpeedButton1, ui.SpeedButton10->icon(), ui.SpeedButton11->icon(), ui.Label25}, this);
    // Each move then repaints the views that change, and nothing beneath.
    m_eyeWizard->beforeFirstPick = [this] { m_opaque->apply(); };
    connectHandlers();

    HelpRouter1 = new THelpRouter(this);
    HelpRouter1->setHelpType(htHTMLhelp);
    HelpRouter1->setCHMPopupTopics(QLatin1String(help::PopupTopicsFile));
    HelpRouter1->setValidateID(false);

    ui.umRed->setFocus();
    FormCreate();
}

void TForm1::connectHandlers() {
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
    connect(ui.SpeedButton1, &TSpeedButton::mouseMove, this, &TForm1::SpeedButton1MouseMove);
    connect(ui.SpeedButton1, &TSpeedButton::mouseUp, this, &TForm1::SpeedButton1MouseUp);
    connect(ui.SpeedButton1, &TSpeedButton::grabLost, m_eyeWizard, &TEyeWizard::grabLost);
    connect(m_eyeWizard, &TEyeWizard::pickFailed, this, &TForm1::EyeWizardPickFailed);
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

    connect(AlwaysOnTop1, &QAction::triggered, this, &TForm1::AlwaysOnTop1Click);
    connect(FlatButtons1, &QAction::triggered, this, &TForm1::FlatButtons1Click);
    connect(Magnifier1, &QAction::triggered, this, &TForm1::Magnifier1Click);
    connect(HexValue1, &QAction::triggered, this, &TForm1::HexValue1Click);
    connect(DecValue1, &QAction::triggered, this, &TForm1::DecValue1Click);
    connect(RecallEyeColor1, &QAction::triggered, this, &TForm1::RecallEyeColor1Click);
    connect(ClearEyeColor1, &QAction::triggered, this, &TForm1::ClearEyeColor1Click);
    connect(About1, &QAction::triggered, this, &TForm1::About1Click);
    connect(Language2, &QAction::triggered, this, &TForm1::Language2Click);
    connect(Contrast1, &QAction::triggered, this, &TForm1::Contrast1Click);
    connect(WebSite1, &QAction::triggered, this, &TForm1::WebSite1Click);
    connect(SendEmail1, &QAction::triggered, this, &TForm1::SendEmail1Click);
    connect(HelpContents1, &QAction::triggered, this, &TForm1::HelpContents1Execute);
    connect(Palettes1, &QAction::triggered, this, &TForm1::Palettes1Click);
    connect(AddCurrentColor1, &QAction::triggered, this, &TForm1::AddCurrentColor1Click);

    // Each colour a release picks goes to the front of the history.
    connect(m_eyeWizard, &TEyeWizard::picked, this,
            [this](PackedColor color) { palettes()->addToHistory(color); });
    // Colours dropped anywhere on the window, the edit boxes included, become
    // the current colour.
    setAcceptDrops(true);
    for (QWidget* box : std::initializer_list<QWidget*>{ui.umRed, ui.umGreen, ui.umBlue, ui.dcRed,
                                                        ui.dcGreen, ui.dcBlue})
        box->setAcceptDrops(false);
}

TForm4* TForm1::palettes() {
    if (!m_palettes) {
        m_palettes =
            new TForm4(*m_color, m_notations, m_settingsPath, settings::dataFolder(m_folder), this);
        m_palettes->applyTexts(IniFile(m_languageFile));
        m_palettes->setStayOnTop(isStayOnTop());
    }
    return m_palettes;
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (colordrag::mayHoldColor(event->mimeData()))
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const std::optional<PackedColor> color = colordrag::colorOf(
        event->mimeData(), [this](const QString& text) { return m_notations.read(text); });
    if (!color)
        return;
    event->acceptProposedAction();
    m_color->applyPacked(*color);
}

TForm1::~TForm1() {
    FormDestroy();
}

void TForm1::attachWindows(TForm2* about, TForm3* language, TForm5* contrast) {
    m_about = about;
    m_language = language;
    m_contrast = contrast;
    if (m_contrast) {
        m_contrast->setPosition(m_contrastPosition);
        m_contrast->setSwapped(m_contrastSwap);
        m_contrast->setStayOnTop(isStayOnTop());
        connect(m_contrast, &TForm5::optionsChanged, this, &TForm1::ContrastOptionsChanged);
    }
}

QString TForm1::languageBaseName(int n) const {
    return n >= 1 && n <= m_languageList.size() ? m_languageList[n - 1] : QString();
}

// --- start-up and shut-down ---------------------------------------------

void TForm1::FormCreate() {
    HelpRouter1->setHelpfile(m_folder + QStringLiteral("Mirabou.chm"));
    m_settingsPath = settings::filePath(m_folder);
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
    const bool magnifier = settings::readBool(file, settings::Magnifier);
    Magnifier1->setChecked(magnifier);
    m_eyeWizard->setMagnifierOn(magnifier);
    readEyeToolOptions(file);
    m_contrastPosition = {settings::readInteger(file, settings::ContrastX),
                          settings::readInteger(file, settings::ContrastY)};
    m_contrastSwap = settings::readBool(file, settings::ContrastSwap);
    // The user's own notations are told at start-up where a line is refused.
    m_notations = cli::notations(file, true);
    m_copyAs = m_notations.indexOf(settings::readString(file, settings::CopyAs)).value_or(0);
    buildNotationMenus();
    // The display may go away before the program ends (a desktop's session
    // ending, its compositor dying): the options are written all the same.
    m_kept = std::make_shared<settings::OptionsKeeper>(m_settingsPath);
    keepOptions();
    platform::onDisplayLost([kept = m_kept] { kept->saveNow(); });
}

void TForm1::keepOptions() {
    if (m_kept)
        m_kept->keep(options());
}

void TForm1::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    keepOptions();
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

settings::Options TForm1::options() const {
    settings::Options now;
    const QList<QAction*> items = Language1->actions();
    for (int n = 0; n < items.size(); ++n) {
        if (items[n]->isChecked())
            now.language = i18n::languageFileKey(n + 1);
    }
    now.onTop = isStayOnTop();
    now.flat = FlatButtons1->isChecked();
    now.magnifier = Magnifier1->isChecked();
    now.copyAs = m_notations.name(m_copyAs);
    now.sample = checkedSampleSize();
    now.position = pos();
    now.contrastPosition = m_contrastPosition;
    now.contrastSwap = m_contrastSwap;
    return now;
}

void TForm1::FormDestroy() {
    const settings::Options now = options();
    if (m_kept)
        m_kept->ended();
    try {
        settings::saveOptions(m_settingsPath, now);
    } catch (const std::exception& e) {
        platform::reportError(QString::fromUtf8(e.what()));
    }
    delete m_palettes; // keeps its place while the settings file is there
    m_palettes = nullptr;
    delete m_eyeWizard; // releases the screen
    m_eyeWizard = nullptr;
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
    // The Contrast window stays on top with this one, and transient for its
    // native window as it is now.
    if (m_contrast)
        m_contrast->setStayOnTop(on);
    // The Palettes window stays on top with it.
    if (m_palettes)
        m_palettes->setStayOnTop(on);
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
    keepOptions();
}

void TForm1::FlatButtons1Click() {
    setFlatButtons(FlatButtons1->isChecked());
    keepOptions();
}

void TForm1::Magnifier1Click() {
    m_eyeWizard->setMagnifierOn(Magnifier1->isChecked());
    keepOptions();
}

void TForm1::SpeedButton8Click() {
    close();
}

// --- the colour and its views -------------------------------------------

void TForm1::ChangeOne() {
    m_color->ChangeOne();
}

void TForm1::ChangeTwo() {
    m_color->ChangeTwo();
}

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
    const PackedColor initial = m_color->packedValue();
    QColorDialog dialog(this);
    dialog.setObjectName(QStringLiteral("ColorDialog1"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setCurrentColor(QColor(redOf(initial), greenOf(initial), blueOf(initial)));
    // Confirmed or cancelled, the dialog's colour is applied: after a cancel
    // that is the colour it started with.
    const QColor chosen = dialog.exec() == QDialog::Accepted
                              ? dialog.selectedColor()
                              : QColor(redOf(initial), greenOf(initial), blueOf(initial));
    m_color->applyPacked(packColor(chosen.red(), chosen.green(), chosen.blue()));
}

void TForm1::ColorBox1Change() {
    const QString hex = ConvertBase(QString::number(m_ui->ColorBox1->selectedColor()), 10, 16)
                            .rightJustified(6, QLatin1Char('0'));
    m_color->applyHex({hex.mid(4, 2), hex.mid(2, 2), hex.mid(0, 2)});
}

// --- Eye Wizard -----------------------------------------------------------

void TForm1::SpeedButton1MouseDown() {
    m_eyeWizard->press();
}

void TForm1::SpeedButton1MouseMove(QPointF global) {
    m_eyeWizard->move(global);
}

void TForm1::SpeedButton1MouseUp(Qt::MouseButton, QPointF global) {
    m_eyeWizard->release(global);
    // Told once the button is up: the release would hide a tooltip shown
    // while it was held.
    if (!m_untold.isEmpty())
        showPickFailure(std::exchange(m_untold, QString()));
}

void TForm1::EyeWizardPickFailed(PickFailure why) {
    const QString text = m_pickFailedTexts.value(int(why));
    if (m_ui->SpeedButton1->isDown())
        m_untold = text;
    else
        showPickFailure(text);
}

void TForm1::showPickFailure(const QString& text) {
    // A tooltip beside the button: seen at once, gone by itself, and never
    // in the way of the next pick.
    QWidget* button = m_ui->SpeedButton1;
    QToolTip::showText(button->mapToGlobal(QPoint(button->width() / 2, button->height())), text,
                       button, {}, 6000);
}

void TForm1::HexValue1Click() {
    m_eyeWizard->copyHex();
}

void TForm1::DecValue1Click() {
    m_eyeWizard->copyDec();
}

void TForm1::RecallEyeColor1Click() {
    m_eyeWizard->recall();
}

void TForm1::ClearEyeColor1Click() {
    m_eyeWizard->clear();
}

// --- languages ------------------------------------------------------------

void TForm1::ChangeLang(int n) {
    const QString base = languageBaseName(n);
    m_languageFile = base.isNull() ? QString() : m_folder + base + QStringLiteral(".lng");
    const IniFile file(m_languageFile);
    m_eyeWizard->setNotSetText(i18n::applyLanguage(file, this, m_about, m_language));
    applyNotationTexts(file);
    applyEyeToolTexts(file);
    Contrast1->setText(i18n::readText(file, i18n::ContrastTitleText));
    if (m_contrast)
        m_contrast->applyTexts(file);
    Palettes1->setText(i18n::readText(file, i18n::PalettesText));
    AddCurrentColor1->setText(i18n::readText(file, i18n::AddCurrentColorText));
    if (m_palettes)
        m_palettes->applyTexts(file);
    m_pickFailedTexts.clear();
    for (const i18n::TextKey& key : i18n::PickFailedTexts)
        m_pickFailedTexts.append(i18n::readText(file, key));
    // The swatch's tooltip says what a press does, and the key that does it.
    m_ui->Shape4->setToolTip(i18n::toolTipText(
        m_ui->Shape4->accessibleDescription() + QStringLiteral(" (") +
        ChooseColor1->shortcut().toString(QKeySequence::NativeText) + QLatin1Char(')')));
    i18n::applyToolkitLocale(i18n::toolkitLocale(file));
}
