#include "app/Mirabou_Palettes.h"

#include "color/ColorModel.h"
#include "controls/SwatchGrid.h"
#include "files/IniFile.h"
#include "i18n/LanguageFile.h"
#include "i18n/PaletteTexts.h"
#include "platform/Clipboard.h"

#include <QAction>
#include <QBoxLayout>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QHideEvent>
#include <QInputDialog>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

using palette::PaletteStore;

namespace {

// Where the window keeps its place and the palette it shows.
const QString Section = QStringLiteral("palettes");
const QString PosXKey = QStringLiteral("posx");
const QString PosYKey = QStringLiteral("posy");
const QString ChosenKey = QStringLiteral("chosen");

} // namespace

TForm4::TForm4(TColorModel& color, const notation::NotationList& notations, QString settingsPath,
               const QString& dataFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_color(color), m_notations(notations), m_settingsPath(std::move(settingsPath)),
      m_store(dataFolder, [this](PackedColor c) { return nearestName(c); }) {
    setObjectName(QStringLiteral("Form4"));
    buildControls();
    connect(&m_color, &TColorModel::changed, this, &TForm4::markCurrent);
}

TForm4::~TForm4() {
    if (isVisible())
        savePlace();
}

void TForm4::buildControls() {
    const auto button = [this](const char* name) {
        auto* b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    PaletteList1 = new QListWidget(this);
    PaletteList1->setObjectName(QStringLiteral("PaletteList1"));
    PaletteList1->setSelectionMode(QAbstractItemView::SingleSelection);
    SwatchGrid1 = new TSwatchGrid(this);
    SwatchGrid1->setObjectName(QStringLiteral("SwatchGrid1"));
    SwatchGrid1->swatchModel()->readText = [this](const QString& text) {
        return m_notations.read(text);
    };
    NewPalette1 = button("NewPalette1");
    RenamePalette1 = button("RenamePalette1");
    DeletePalette1 = button("DeletePalette1");
    AddCurrentColor1 = button("AddCurrentColor1");
    Undo1 = button("Undo1");
    Import1 = button("Import1");
    Export1 = button("Export1");

    // The list of palettes with its commands on the left, the swatches with
    // theirs on the right; every row takes the room its texts need.
    auto* left = new QVBoxLayout;
    left->addWidget(PaletteList1, 1);
    for (QPushButton* b : {NewPalette1, RenamePalette1, DeletePalette1})
        left->addWidget(b);
    auto* commands = new QHBoxLayout;
    for (QPushButton* b : {AddCurrentColor1, Undo1})
        commands->addWidget(b);
    commands->addStretch(1);
    for (QPushButton* b : {Import1, Export1})
        commands->addWidget(b);
    auto* right = new QVBoxLayout;
    right->addWidget(SwatchGrid1, 1);
    right->addLayout(commands);
    auto* all = new QHBoxLayout(this);
    all->addLayout(left, 1);
    all->addLayout(right, 4);
    resize(620, 360);

    SwatchMenu1 = new QMenu(this);
    SwatchMenu1->setObjectName(QStringLiteral("SwatchMenu1"));
    SwatchCopyAs1 = SwatchMenu1->addMenu(QStringLiteral("Copy As"));
    SwatchCopyAs1->setObjectName(QStringLiteral("SwatchCopyAs1"));
    SwatchCopyAs1->setToolTipsVisible(true);
    RenameColor1 = SwatchMenu1->addAction(QStringLiteral("Rename..."));
    RenameColor1->setObjectName(QStringLiteral("RenameColor1"));
    RenameColor1->setShortcut(Qt::Key_F2);
    RemoveColor1 = SwatchMenu1->addAction(QStringLiteral("Remove"));
    RemoveColor1->setObjectName(QStringLiteral("RemoveColor1"));
    RemoveColor1->setShortcut(Qt::Key_Delete);
    AddToPalette1 = SwatchMenu1->addMenu(QStringLiteral("Add to Palette"));
    AddToPalette1->setObjectName(QStringLiteral("AddToPalette1"));
    // The keys are the grid's own (shown in the menu, taken by the grid).
    for (QAction* item : {RenameColor1, RemoveColor1})
        item->setShortcutContext(Qt::WidgetShortcut);
    connect(RenameColor1, &QAction::triggered, this, [this] { RenameColorClick(m_menuRow); });
    connect(RemoveColor1, &QAction::triggered, this, [this] { RemoveColorClick(m_menuRow); });

    // The window's keys: Escape closes, Ctrl+D adds, Ctrl+Z undoes.
    const auto key = [this](const QKeySequence& sequence, auto handler) {
        auto* action = new QAction(this);
        action->setShortcut(sequence);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    key(QKeySequence(Qt::Key_Escape), &QWidget::close)->setObjectName(QStringLiteral("Close1"));
    key(QKeySequence(Qt::CTRL | Qt::Key_D), &TForm4::AddCurrentColor1Click);
    key(QKeySequence(Qt::CTRL | Qt::Key_Z), &TForm4::Undo1Click);

    connect(PaletteList1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0)
            return;
        m_chosen = PaletteList1->item(row)->data(Qt::UserRole).toString();
        const bool history = PaletteStore::isHistory(m_chosen);
        RenamePalette1->setEnabled(!history);
        DeletePalette1->setEnabled(!history);
        reloadSwatches();
        if (m_placed)
            files::IniFile(m_settingsPath).writeString(Section, ChosenKey, m_chosen);
    });
    connect(SwatchGrid1, &TSwatchGrid::chosen, this, &TForm4::SwatchChosen);
    connect(SwatchGrid1, &TSwatchGrid::removeRequested, this, &TForm4::RemoveColorClick);
    connect(SwatchGrid1, &TSwatchGrid::renameRequested, this, &TForm4::RenameColorClick);
    connect(SwatchGrid1, &TSwatchGrid::menuRequested, this, &TForm4::SwatchMenu);
    connect(SwatchGrid1->swatchModel(), &TSwatchModel::dropped, this,
            [this](PackedColor c, int row) { addColor(m_chosen, c, row); });
    connect(NewPalette1, &QPushButton::clicked, this, &TForm4::NewPalette1Click);
    connect(RenamePalette1, &QPushButton::clicked, this, &TForm4::RenamePalette1Click);
    connect(DeletePalette1, &QPushButton::clicked, this, &TForm4::DeletePalette1Click);
    connect(AddCurrentColor1, &QPushButton::clicked, this, &TForm4::AddCurrentColor1Click);
    connect(Undo1, &QPushButton::clicked, this, &TForm4::Undo1Click);
    connect(Import1, &QPushButton::clicked, this, &TForm4::Import1Click);
    connect(Export1, &QPushButton::clicked, this, &TForm4::Export1Click);
    Undo1->setEnabled(false);

    m_changed = new QTimer(this);
    m_changed->setSingleShot(true);
    m_changed->setInterval(100);
    connect(m_changed, &QTimer::timeout, this, [this] {
        if (isVisible())
            reloadList();
    });
}

void TForm4::watchFiles() {
    if (!m_watcher) {
        m_watcher = new QFileSystemWatcher(this);
        connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_changed,
                qOverload<>(&QTimer::start));
        connect(m_watcher, &QFileSystemWatcher::fileChanged, m_changed,
                qOverload<>(&QTimer::start));
    }
    // Writes replace the files: their folders tell of it.
    for (const QString& folder : {m_store.folder(), m_store.palettesFolder()}) {
        const QString clean = QDir::cleanPath(folder);
        if (QFileInfo(clean).isDir() && !m_watcher->directories().contains(clean))
            m_watcher->addPath(clean);
    }
}

void TForm4::applyTexts(const files::IniFile& file) {
    using namespace i18n;
    const QString title = readText(file, PalettesText);
    setWindowTitle(title);
    PaletteList1->setAccessibleName(title);
    SwatchGrid1->setAccessibleName(readText(file, SwatchesText));
    SwatchGrid1->swatchModel()->setSpokenForm(readText(file, SwatchSpokenText));
    NewPalette1->setText(readText(file, NewPaletteText));
    RenamePalette1->setText(readText(file, RenamePaletteText));
    DeletePalette1->setText(readText(file, DeletePaletteText));
    const auto withKey = [](const QString& text, const QKeySequence& key) {
        return text + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) +
               QLatin1Char(')');
    };
    AddCurrentColor1->setText(
        withKey(readText(file, AddCurrentColorText), QKeySequence(Qt::CTRL | Qt::Key_D)));
    Undo1->setText(withKey(readText(file, UndoText), QKeySequence(Qt::CTRL | Qt::Key_Z)));
    Import1->setText(readText(file, ImportText));
    Export1->setText(readText(file, ExportText));
    SwatchCopyAs1->setTitle(readText(file, CopyAsText));
    RenameColor1->setText(readText(file, RenameColorText));
    RemoveColor1->setText(readText(file, RemoveColorText));
    AddToPalette1->setTitle(readText(file, AddToPaletteText));
    m_historyText = readText(file, HistoryText);
    m_paletteNameText = readText(file, PaletteNameText);
    m_colorNameText = readText(file, ColorNameText);
    m_deleteText = readText(file, DeleteQuestionText);
    m_notationText = readText(file, NotationQuestionText);
    m_filesText = readText(file, PaletteFilesText);
    if (PaletteList1->count() > 0)
        PaletteList1->item(0)->setText(m_historyText);
}

// --- showing and placing ------------------------------------------------

void TForm4::setVisible(bool visible) {
    if (visible && !isVisible()) {
        // Read when first wanted, and anew at each showing: the command line
        // or another window may have changed the store meanwhile.
        if (!m_placed)
            placeOnScreen();
        reloadList();
    }
    QWidget::setVisible(visible);
    if (visible) {
        watchFiles();
        QTimer::singleShot(0, this, &TForm4::sayUnreadable);
    } else if (m_watcher) {
        delete m_watcher; // nothing to follow while hidden
        m_watcher = nullptr;
    }
}

void TForm4::setStayOnTop(bool on) {
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == on) {
        // The main window's native window was made anew: belong to that one.
        if (windowHandle() && parentWidget() && parentWidget()->windowHandle())
            windowHandle()->setTransientParent(parentWidget()->windowHandle());
        return;
    }
    const QPoint where = pos();
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible) {
        move(where);
        show();
    }
}

void TForm4::placeOnScreen() {
    // Placed before the native window exists, as the main window is, so
    // that the position names the frame's corner.
    m_placed = true;
    const files::IniFile file(m_settingsPath);
    int x = 0, y = 0;
    const bool stored =
        files::IniFile::parseInteger(file.readString(Section, PosXKey, QString()), &x) &&
        files::IniFile::parseInteger(file.readString(Section, PosYKey, QString()), &y);
    const auto onScreen = [this](QPoint at) {
        // Enough of the title bar on some screen to take it with the pointer.
        const QRect grip(at, QSize(qMin(width(), 100), 24));
        for (QScreen* screen : QGuiApplication::screens()) {
            if (screen->availableGeometry().intersected(grip).width() >= qMin(width(), 40))
                return true;
        }
        return false;
    };
    QPoint at(x, y);
    if (!stored || !onScreen(at)) {
        // Beside the main window, or over it when there is no room beside.
        const QWidget* main = parentWidget();
        at = main ? main->frameGeometry().topRight() + QPoint(8, 0) : QPoint(200, 200);
        if (!onScreen(at) && main)
            at = main->pos();
    }
    move(at);
    m_chosen = file.readString(Section, ChosenKey, QString());
}

void TForm4::savePlace() {
    files::IniFile file(m_settingsPath);
    try {
        file.writeInteger(Section, PosXKey, pos().x());
        file.writeInteger(Section, PosYKey, pos().y());
    } catch (const std::exception&) {
        // The main window's end says when the settings file cannot be written.
    }
}

void TForm4::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return; // minimised
    savePlace();
    // Undo reaches as far as the window stays open; the next opening says
    // again what cannot be read.
    m_removed.clear();
    m_said.clear();
    Undo1->setEnabled(false);
}

// --- the list and the grid ------------------------------------------------

QString TForm4::chosenPalette() const {
    return m_chosen;
}

void TForm4::choosePalette(const QString& name) {
    m_chosen = name;
    reloadList();
}

void TForm4::reloadList() {
    const QString want = m_chosen;
    const QSignalBlocker quiet(PaletteList1);
    PaletteList1->clear();
    auto* history = new QListWidgetItem(m_historyText, PaletteList1);
    history->setData(Qt::UserRole, PaletteStore::historyName());
    int row = 0;
    for (const palette::PaletteInfo& info : m_store.palettes()) {
        auto* item = new QListWidgetItem(info.name, PaletteList1);
        item->setData(Qt::UserRole, info.name);
        if (info.name.compare(want, Qt::CaseInsensitive) == 0)
            row = PaletteList1->count() - 1;
    }
    // None chosen yet: the first palette; one gone meanwhile: the history.
    if (want.isEmpty() && PaletteList1->count() > 1)
        row = 1;
    m_read = true;
    if (isVisible())
        watchFiles(); // a folder made meanwhile
    PaletteList1->setCurrentRow(row);
    m_chosen = PaletteList1->item(row)->data(Qt::UserRole).toString();
    const bool isHistory = PaletteStore::isHistory(m_chosen);
    RenamePalette1->setEnabled(!isHistory);
    DeletePalette1->setEnabled(!isHistory);
    reloadSwatches();
}

void TForm4::reloadSwatches() {
    const palette::Result<palette::Palette> read = m_store.palette(m_chosen);
    m_shown = read ? read->colors : QList<palette::Swatch>();
    QList<TSwatchModel::Swatch> swatches;
    swatches.reserve(m_shown.size());
    for (const palette::Swatch& s : m_shown)
        swatches.append({s.color, s.name});
    const int row = SwatchGrid1->currentRow();
    SwatchGrid1->swatchModel()->setSwatches(std::move(swatches));
    markCurrent();
    if (!m_shown.isEmpty())
        SwatchGrid1->setCurrentIndex(
            SwatchGrid1->model()->index(qBound(0, row, int(m_shown.size()) - 1), 0));
    m_problem = read ? palette::Problem() : read.problem();
    sayUnreadable();
}

void TForm4::sayUnreadable() {
    // Said once the window shows, and once only: not again at each change
    // of the folder it is in.
    if (m_problem.message.isEmpty()) {
        m_said.clear();
    } else if (isVisible() && m_problem.message != m_said) {
        m_said = m_problem.message;
        failed(palette::Status(m_problem));
    }
}

void TForm4::markCurrent() {
    SwatchGrid1->swatchModel()->setCurrent(m_color.packedValue());
}

bool TForm4::failed(const palette::Status& status) {
    if (status)
        return false;
    QMessageBox::warning(isVisible() ? this : parentWidget(), QStringLiteral("Mirabou"),
                         status.error());
    return true;
}

// --- swatches ---------------------------------------------------------------

void TForm4::SwatchChosen(int row) {
    if (row >= 0 && row < m_shown.size())
        m_color.applyPacked(m_shown[row].color);
}

void TForm4::SwatchMenu(int row, QPoint global) {
    if (row < 0 || row >= m_shown.size())
        return;
    m_menuRow = row;
    const PackedColor color = m_shown[row].color;
    SwatchCopyAs1->clear();
    for (qsizetype n = 0; n < m_notations.size(); ++n) {
        const QString text = m_notations.write(n, color);
        QAction* item =
            SwatchCopyAs1->addAction(QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")));
        item->setObjectName(QStringLiteral("SwatchCopyAs_") + m_notations.name(n));
        item->setToolTip(m_notations.name(n));
        connect(item, &QAction::triggered, this, [text] { clipboard::putText(text); });
    }
    AddToPalette1->clear();
    const auto target = [this, row](const QString& name, const QString& caption) {
        QAction* item = AddToPalette1->addAction(
            QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
        item->setObjectName(QStringLiteral("AddTo_") + name);
        const palette::Swatch swatch = m_shown[row];
        connect(item, &QAction::triggered, this, [this, name, swatch] {
            if (!failed(m_store.addColor(name, swatch.color, swatch.name)) &&
                PaletteStore::isHistory(m_chosen) == PaletteStore::isHistory(name) &&
                name.compare(m_chosen, Qt::CaseInsensitive) == 0)
                reloadSwatches();
        });
    };
    for (const palette::PaletteInfo& info : m_store.palettes()) {
        if (info.name.compare(m_chosen, Qt::CaseInsensitive) != 0)
            target(info.name, info.name);
    }
    AddToPalette1->setEnabled(!AddToPalette1->isEmpty());
    SwatchMenu1->popup(global);
}

std::optional<QString> TForm4::askName(const QString& label, const QString& text) {
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("NameDialog1"));
    dialog.setWindowTitle(windowTitle());
    dialog.setLabelText(label);
    dialog.setTextValue(text);
    if (dialog.exec() != QDialog::Accepted || dialog.textValue().trimmed().isEmpty())
        return std::nullopt;
    return dialog.textValue();
}

void TForm4::RenameColorClick(int row) {
    if (row < 0 || row >= m_shown.size())
        return;
    const palette::Swatch swatch = m_shown[row];
    const std::optional<QString> name = askName(m_colorNameText, swatch.name);
    if (!name || failed(m_store.renameColor(m_chosen, row, swatch.color, *name)))
        return;
    reloadSwatches();
}

void TForm4::RemoveColorClick(int row) {
    if (row < 0 || row >= m_shown.size())
        return;
    const palette::Swatch swatch = m_shown[row];
    if (failed(m_store.removeColor(m_chosen, row, swatch.color)))
        return;
    m_removed.append({m_chosen, row, swatch});
    Undo1->setEnabled(true);
    reloadSwatches();
}

void TForm4::Undo1Click() {
    if (m_removed.isEmpty())
        return;
    const Removed last = m_removed.takeLast();
    Undo1->setEnabled(!m_removed.isEmpty());
    if (failed(m_store.insertSwatch(last.palette, last.index, last.swatch)))
        return;
    if (last.palette.compare(m_chosen, Qt::CaseInsensitive) == 0) {
        reloadSwatches();
        SwatchGrid1->setCurrentIndex(SwatchGrid1->model()->index(last.index, 0));
    } else {
        choosePalette(last.palette);
    }
}

QString TForm4::nearestName(PackedColor color) const {
    if (const std::optional<qsizetype> name = m_notations.indexOf(u"name"))
        return m_notations.write(*name, color);
    return palette::hexText(color);
}

void TForm4::addToHistory(PackedColor color) {
    // Said nowhere when it cannot be kept: a pick must not stop for it.
    const palette::Status done = m_store.addToHistory(color);
    if (done && isVisible() && PaletteStore::isHistory(m_chosen))
        reloadSwatches();
}

void TForm4::addColor(const QString& name, PackedColor color, int at) {
    if (failed(m_store.addColor(name, color, {}, at)))
        return;
    if (isVisible() && name.compare(m_chosen, Qt::CaseInsensitive) == 0) {
        reloadSwatches();
        const int row = PaletteStore::isHistory(name) ? 0 : at < 0 ? int(m_shown.size()) - 1 : at;
        SwatchGrid1->setCurrentIndex(SwatchGrid1->model()->index(row, 0));
    }
}

void TForm4::AddCurrentColor1Click() {
    if (!m_read) {
        // Asked from the main window before this one showed: the palette
        // chosen last, or the first, or else the history.
        const files::IniFile file(m_settingsPath);
        const QString stored = file.readString(Section, ChosenKey, QString());
        const QList<palette::PaletteInfo> palettes = m_store.palettes();
        m_chosen = PaletteStore::historyName();
        for (const palette::PaletteInfo& info : palettes) {
            if (info.name.compare(stored, Qt::CaseInsensitive) == 0)
                m_chosen = info.name;
        }
        if (!PaletteStore::isHistory(stored) && PaletteStore::isHistory(m_chosen) &&
            !palettes.isEmpty())
            m_chosen = palettes.constFirst().name;
    }
    addColor(m_chosen, m_color.packedValue());
}

// --- palettes -----------------------------------------------------------------

void TForm4::NewPalette1Click() {
    const std::optional<QString> name = askName(m_paletteNameText, QString());
    if (!name)
        return;
    palette::Palette made;
    made.name = *name;
    const palette::Result<QString> created = m_store.createPalette(made);
    if (failed(created ? palette::Status() : palette::Status(created.problem())))
        return;
    choosePalette(*created);
}

void TForm4::RenamePalette1Click() {
    if (PaletteStore::isHistory(m_chosen))
        return;
    const std::optional<QString> name = askName(m_paletteNameText, m_chosen);
    if (!name || failed(m_store.renamePalette(m_chosen, *name)))
        return;
    // The pending undos follow the palette to its new name.
    for (Removed& removed : m_removed) {
        if (removed.palette.compare(m_chosen, Qt::CaseInsensitive) == 0)
            removed.palette = palette::cleanName(*name);
    }
    choosePalette(palette::cleanName(*name));
}

void TForm4::DeletePalette1Click() {
    if (PaletteStore::isHistory(m_chosen))
        return;
    QMessageBox ask(QMessageBox::Question, windowTitle(), QString(m_deleteText).arg(m_chosen),
                    QMessageBox::Yes | QMessageBox::No, this);
    ask.setObjectName(QStringLiteral("DeleteQuestion1"));
    ask.setDefaultButton(QMessageBox::No);
    if (ask.exec() != QMessageBox::Yes)
        return;
    if (failed(m_store.deletePalette(m_chosen)))
        return;
    // What was removed from it cannot come back into it.
    m_removed.removeIf([this](const Removed& removed) {
        return removed.palette.compare(m_chosen, Qt::CaseInsensitive) == 0;
    });
    Undo1->setEnabled(!m_removed.isEmpty());
    const int row = PaletteList1->currentRow();
    m_chosen = row > 1 ? PaletteList1->item(row - 1)->data(Qt::UserRole).toString()
                       : PaletteStore::historyName();
    reloadList();
}

palette::TextOptions TForm4::textOptions() const {
    palette::TextOptions options;
    options.read = [this](const QString& text) { return m_notations.read(text); };
    options.name = [this](PackedColor color) { return nearestName(color); };
    return options;
}

void TForm4::Import1Click() {
    QFileDialog dialog(this, Import1->text().remove(QStringLiteral("...")));
    dialog.setObjectName(QStringLiteral("ImportDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(m_filesText + QStringLiteral(" (*.gpl *.ase *.txt)"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const palette::Result<QString> made =
        m_store.importFile(dialog.selectedFiles().constFirst(), {}, textOptions());
    if (failed(made ? palette::Status() : palette::Status(made.problem())))
        return;
    choosePalette(*made);
}

void TForm4::Export1Click() {
    QFileDialog dialog(this, Export1->text().remove(QStringLiteral("...")));
    dialog.setObjectName(QStringLiteral("ExportDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(m_filesText + QStringLiteral(" (*.gpl *.ase *.css *.json *.txt)"));
    dialog.setDefaultSuffix(QStringLiteral("gpl"));
    dialog.selectFile(m_chosen + QStringLiteral(".gpl"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString path = dialog.selectedFiles().constFirst();
    if (!palette::fileTypeOf(path))
        path += QStringLiteral(".gpl");
    palette::TextOptions options = textOptions();
    if (palette::fileTypeOf(path) == palette::FileType::Text) {
        QStringList names;
        for (qsizetype n = 0; n < m_notations.size(); ++n)
            names.append(m_notations.name(n));
        QInputDialog ask(this);
        ask.setObjectName(QStringLiteral("NotationDialog1"));
        ask.setWindowTitle(windowTitle());
        ask.setLabelText(m_notationText);
        ask.setComboBoxItems(names);
        ask.setComboBoxEditable(false);
        if (ask.exec() != QDialog::Accepted)
            return;
        const qsizetype n = names.indexOf(ask.textValue());
        if (n >= 0)
            options.write = [this, n](PackedColor color) { return m_notations.write(n, color); };
    }
    failed(m_store.exportFile(m_chosen, path, options));
}
