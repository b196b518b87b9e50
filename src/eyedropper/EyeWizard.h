#pragma once

#include "color/ColorModel.h"
#include "eyedropper/EyeColor.h"
#include "eyedropper/Loupe.h"
#include "eyedropper/ScreenContext.h"

#include <QIcon>
#include <QObject>
#include <QPointF>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QAbstractButton;
class QLabel;

/// The Eye Wizard: while its button is held, the pixel under the pointer
/// (or the mean of the square of device pixels around it) becomes the current colour at every
/// move; the release remembers the current colour as the eye colour, which
/// can then be copied, recalled and cleared. The eye colour display shows
/// the eye colour.
///
/// While a pick runs, a magnifier beside the pointer shows the pixels around
/// the picked one (the wheel changes its magnification), the arrow keys move
/// the picked point by a device pixel (with Shift by ten), and Escape
/// cancels the pick: the colour and the eye colour are as before the press.
/// Where an eye colour was remembered at the press, the magnifier also shows
/// the contrast ratio of the picked colour with it.
class TEyeWizard : public QObject {
    Q_OBJECT
public:
    struct Views {
        QAbstractButton* button = nullptr; ///< the Eye Wizard button
        QIcon picking;                     ///< its picture while a pick runs
        QIcon normal;                      ///< its picture otherwise
        QLabel* eyeColor = nullptr;        ///< the eye colour display
    };

    /// screens opens the screen the picks read, at the first pick.
    TEyeWizard(TColorModel& color, ScreenContextFactory screens, Views views,
               QObject* parent = nullptr);
    ~TEyeWizard() override;

    // The pick: a press on the button, pointer moves, the release.
    void press();
    /// seen: where the pointer event found the pointer, in the desktop's
    /// logical coordinates, if it came with one.
    void move(std::optional<QPointF> seen = std::nullopt);
    /// seen: where the release found the pointer, as move()'s. Where the
    /// screen's picture has not come yet, the pick ends once it comes (the
    /// pointer shows that it is still under way; Escape still cancels).
    void release(std::optional<QPointF> seen = std::nullopt);
    /// The pointer grab went elsewhere: the pick ends as a release would.
    void grabLost();
    /// Ends the pick under way without remembering anything.
    void cancel();
    /// Moves the picked point by delta device pixels.
    void nudge(QPoint delta);
    bool isPicking() const { return m_picking; }

    bool magnifierOn() const { return m_magnifierOn; }
    void setMagnifierOn(bool on) { m_magnifierOn = on; }
    /// The magnifier's magnification, kept from one pick to the next.
    int zoom() const { return m_loupe.zoom(); }
    /// The side of the square of device pixels a read averages: 1 (the
    /// picked pixel alone), 3, 5 or 9.
    int sampleSize() const { return m_loupe.sample(); }
    void setSampleSize(int across) { m_loupe.setSample(across); }

    // The eye colour.
    TEyeColor& eyeColor() { return m_eye; }
    const TEyeColor& eyeColor() const { return m_eye; }
    void copyHex();
    void copyDec();
    void recall();
    void clear();
    /// What the display shows while no eye colour is remembered.
    const QString& notSetText() const { return m_eye.notSetText(); }
    /// A language applied gives the not-set text, and forgets the eye colour.
    void setNotSetText(const QString& text);
    /// The colour the current colour is compared with: the eye colour, or
    /// while a pick runs the one its press put aside (none where none was
    /// remembered).
    std::optional<PackedColor> comparedColor() const;

    /// Runs once, before the first pick reads anything.
    std::function<void()> beforeFirstPick;

    /// The program ends: the screen finishes what it still owes the desktop.
    void settle();

signals:
    /// A release made color the eye colour.
    void picked(PackedColor color);
    /// A pick read nothing of the screen, and why; the colour and the eye
    /// colour are as before the press (after Unreadable the pick goes on,
    /// reading white).
    void pickFailed(PickFailure why);

protected:
    /// The keys and the wheel, wherever they go while a pick runs.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void endPick();
    /// No longer picks: the keys go where they went, the caret blinks again.
    void stopPicking();
    void hideMagnifier();
    void failed(PickFailure why);
    /// Shows, or no longer shows, that a pick waits for its screen.

    TColorModel& m_color;
    ScreenContextFactory m_openScreen;
    std::unique_ptr<ScreenContext> m_screen; // opened at the first pick
    Views m_views;
    TEyeColor m_eye;
    bool m_picking = false;
    // As the press found them, for a cancelled pick.
    TColorModel::Boxes m_boxesBefore;
    TEyeColor::State m_eyeBefore;
    int m_flashTimeBefore = 0; // the caret's, which stands still during a pick
    bool m_magnifierOn = true;
    TLoupe m_loupe;
};
