#pragma once

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
class TColorModel;

/// The Eye Wizard: while its button is held, the pixel under the pointer
/// becomes the current colour at every move; the release remembers the
/// current colour as the eye colour, which can then be copied, recalled and
/// cleared. The eye colour display's text is the memory itself.
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
    void release();
    /// The pointer grab went elsewhere: the pick ends as a release would.
    void grabLost();
    bool isPicking() const { return m_picking; }

    // The eye colour.
    void copyHex();
    void copyDec();
    void recall();
    void clear();
    /// What the display shows while no eye colour is remembered.
    const QString& notSetText() const { return m_notSet; }
    void setNotSetText(const QString& text) { m_notSet = text; }

    /// Runs once, before the first pick reads anything.
    std::function<void()> beforeFirstPick;

private:
    void endPick();

    TColorModel& m_color;
    ScreenContextFactory m_openScreen;
    std::unique_ptr<ScreenContext> m_screen; // opened at the first pick
    Views m_views;
    QString m_notSet = QStringLiteral("Not Set");
    bool m_picking = false;
};
