#pragma once

#include "color/ColorValue.h"

#include <QElapsedTimer>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <array>
#include <optional>

class QGroupBox;
class QLabel;
class QPushButton;
class TColorModel;
class TContrastSample;
class TEyeWizard;

namespace files {
class IniFile;
}

/// The Contrast window: the current colour as text on the eye colour as
/// background (or the other way round after Swap), the WCAG 2 ratio with
/// its five levels, APCA's Lc, and the pair as people with a colour-vision
/// deficiency see it. It follows both colours live, also during a pick
/// (where the eye colour is the one the pick's press put aside, and the
/// figures are brought up to date at most once a display frame), while it
/// is shown. Not modal; Escape closes it; it stays on top with the main
/// window, which keeps its position and Swap in the settings file.
class TForm5 : public QWidget {
    Q_OBJECT
public:
    TForm5(TColorModel& color, TEyeWizard& eyeWizard, QWidget* owner);
    ~TForm5() override;

    /// The colours shown: the text's and the background's.
    struct Pair {
        PackedColor text;
        PackedColor background;
        bool eyeColorSet; ///< false: white stands in for the eye colour
    };
    Pair pair() const;

    bool isSwapped() const { return m_swapped; }
    void setSwapped(bool swapped);
    /// Exchanges which colour is text and which is background.
    void swap();

    /// Where the window's frame stands (or stood when last shown).
    QPoint position() const;
    /// Where the next showing puts the window: brought onto a screen when
    /// it is off every screen.
    void setPosition(QPoint where);
    /// Opens the window (where it was), or brings it to the front.
    void open();
    void setStayOnTop(bool on);
    bool isStayOnTop() const;

    /// The texts of the language file.
    void applyTexts(const files::IniFile& file);

    /// Where a window of size outer whose frame's corner is at where stands
    /// on one of the screens: where itself when enough of its title bar is
    /// on a screen, otherwise moved onto the screen nearest it.
    static QPoint ontoScreen(QPoint where, QSize outer);

signals:
    /// The position or Swap changed.
    void optionsChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    /// A colour changed: shown at once, or during a pick at most once a
    /// display frame (the last change of a burst when the frame is up).
    void colorsChanged();
    /// Shows the figures of the colours as they stand (while shown).
    void refresh();
    void fixValueWidths();
    void setTransientForOwner();

    TColorModel& m_color;
    TEyeWizard& m_eyeWizard;
    QWidget* m_owner;
    bool m_swapped = false;
    QPoint m_position{660, 200};
    bool m_placed = false; // the position applied to the frame

    TContrastSample* m_sample = nullptr;
    QLabel* m_pairLabel = nullptr;
    QLabel* m_noteLabel = nullptr;
    QLabel* m_ratioCaption = nullptr;
    QLabel* m_ratioValue = nullptr;
    std::array<QLabel*, 5> m_levelCaptions{};
    std::array<QLabel*, 5> m_levelValues{};
    QLabel* m_lcCaption = nullptr;
    QLabel* m_lcValue = nullptr;
    QGroupBox* m_simulated = nullptr;
    std::array<QLabel*, 4> m_simCaptions{};
    std::array<TContrastSample*, 4> m_simSamples{};
    std::array<QLabel*, 4> m_simValues{};
    QPushButton* m_swapButton = nullptr;
    QPushButton* m_closeButton = nullptr;

    // Texts of the current language.
    QString m_pairText = QStringLiteral("Text %1 on background %2");
    QString m_passText = QStringLiteral("Pass");
    QString m_failText = QStringLiteral("Fail");
    QString m_nonTextName = QStringLiteral("Non-text sample");
    std::array<QString, 5> m_levelNames;
    std::array<QString, 4> m_deficiencyNames;
    std::optional<Pair> m_shown; // the pair the figures show
    QElapsedTimer m_lastShown;   // since the figures were last brought up to date
    QTimer m_frameLater;         // brings them up to date at the end of a frame
};
