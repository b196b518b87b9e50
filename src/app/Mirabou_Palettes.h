#pragma once

#include "color/NotationList.h"
#include "palette/PaletteStore.h"

#include <QList>
#include <QString>
#include <QWidget>
#include <optional>

class QAction;
class QFileSystemWatcher;
class QTimer;
class QListWidget;
class QMenu;
class QPushButton;
class TColorModel;
class TSwatchGrid;

namespace files {
class IniFile;
}

/// The Palettes window: the colour history and the named palettes, each a
/// grid of swatches, the current colour marked where it stands. A click or
/// Enter makes a swatch the current colour; its menu copies it in every
/// notation, renames, removes it or adds it to a palette; removals are
/// undone until the window closes. Swatches drag out as colours, and
/// colours and colour texts dropped on a grid join its palette.
class TForm4 : public QWidget {
    Q_OBJECT
public:
    /// color is the colour every view shows, notations the notations the
    /// main window writes and reads; settingsPath the settings file, where
    /// the window keeps its position and the chosen palette; dataFolder
    /// where the history and the palettes live. Nothing is read before the
    /// window first shows or is asked for something.
    TForm4(TColorModel& color, const notation::NotationList& notations, QString settingsPath,
           const QString& dataFolder, QWidget* parent);
    ~TForm4() override;

    palette::PaletteStore& store() { return m_store; }
    /// Applies the texts of the language file.
    void applyTexts(const files::IniFile& file);
    /// Remembers a picked colour at the front of the history.
    void addToHistory(PackedColor color);
    /// The palette the window shows ("history" for the history).
    QString chosenPalette() const;
    void choosePalette(const QString& name);
    /// Adds the current colour to the chosen palette, named by its nearest
    /// CSS name.
    void AddCurrentColor1Click();
    /// Adds color to the palette (at the index, -1 its end); says why not.
    void addColor(const QString& name, PackedColor color, int at = -1);

    QListWidget* PaletteList1 = nullptr;
    TSwatchGrid* SwatchGrid1 = nullptr;
    QPushButton* NewPalette1 = nullptr;
    QPushButton* RenamePalette1 = nullptr;
    QPushButton* DeletePalette1 = nullptr;
    QPushButton* AddCurrentColor1 = nullptr;
    QPushButton* Undo1 = nullptr;
    QPushButton* Import1 = nullptr;
    QPushButton* Export1 = nullptr;
    QMenu* SwatchMenu1 = nullptr;
    QMenu* SwatchCopyAs1 = nullptr;
    QAction* RenameColor1 = nullptr;
    QAction* RemoveColor1 = nullptr;
    QMenu* AddToPalette1 = nullptr;

    void setVisible(bool visible) override;
    /// Stays on top of other windows as the main window does; kept where
    /// it is, shown again when it was.
    void setStayOnTop(bool on);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    /// Reads the list of palettes anew, keeping the chosen one.
    void reloadList();
    /// Reads the chosen palette anew into the grid.
    void reloadSwatches();
    void markCurrent();
    void sayUnreadable();
    /// Follows the files while the window shows: the command line or
    /// another window may change them.
    void watchFiles();
    void placeOnScreen();
    void savePlace();
    bool failed(const palette::Status& status);
    void SwatchChosen(int row);
    void SwatchMenu(int row, QPoint global);
    void RenameColorClick(int row);
    void RemoveColorClick(int row);
    void Undo1Click();
    void NewPalette1Click();
    void RenamePalette1Click();
    void DeletePalette1Click();
    void Import1Click();
    void Export1Click();
    std::optional<QString> askName(const QString& label, const QString& text);
    QString nearestName(PackedColor color) const;
    palette::TextOptions textOptions() const;

    TColorModel& m_color;
    const notation::NotationList& m_notations;
    QString m_settingsPath;
    palette::PaletteStore m_store;
    QList<palette::Swatch> m_shown;
    QString m_chosen;
    bool m_placed = false;
    bool m_read = false;
    /// What Undo puts back, the last removal last.
    struct Removed {
        QString palette;
        int index;
        palette::Swatch swatch;
    };
    QList<Removed> m_removed;
    QString m_historyText = QStringLiteral("History");
    QString m_paletteNameText, m_colorNameText, m_deleteText, m_notationText, m_filesText;
    int m_menuRow = -1;
    palette::Problem m_problem; // why the palette shown could not be read
    QString m_said;             // the problem told last
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_changed = nullptr; // gathers the changes of one write
};
