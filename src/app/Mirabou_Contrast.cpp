#include "app/Mirabou_Contrast.h"

#include "color/ColorModel.h"
#include "color/Contrast.h"
#include "controls/Accessibility.h"
#include "controls/Pictures.h"
#include "eyedropper/EyeWizard.h"
#include "files/IniFile.h"
#include "i18n/ContrastTexts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <limits>

namespace {

constexpr PackedColor White = 0xFFFFFF;
/// The least time between two showings of the figures during a pick: a
/// display frame at 60 Hz. The pointer moves faster than a screen shows.
constexpr int FrameMs = 16;

/// Swap's key, as painting programs swap their two colours.
constexpr Qt::Key SwapKey = Qt::Key_X;

QColor qcolor(PackedColor c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

QString hexText(PackedColor c) {
    return QStringLiteral("#%1%2%3")
        .arg(redOf(c), 2, 16, QLatin1Char('0'))
        .arg(greenOf(c), 2, 16, QLatin1Char('0'))
        .arg(blueOf(c), 2, 16, QLatin1Char('0'))
        .toUpper();
}

/// WCAG's large text: 18 points, or 14 points bold.
QFont largeFont(const QFont& normal) {
    QFont large = normal;
    large.setPointSizeF(18);
    return large;
}

} // namespace

/// The pair as it looks: the background, one line of normal text and one of
/// large text (or, compact, "Aa" alone), and a non-text sample beside them (a
/// ring with a tick, drawn in the text colour, as an icon would be).
class TContrastSample : public QWidget {
public:
    TContrastSample(bool compact, QWidget* parent) : QWidget(parent), m_compact(compact) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

    void setColors(PackedColor text, PackedColor background) {
        if (text == m_text && background == m_background)
            return;
        m_text = text;
        m_background = background;
        update();
    }
    void setTexts(const QString& normal, const QString& large) {
        m_normal = normal;
        m_large = large;
        updateGeometry();
        update();
    }

    QSize sizeHint() const override {
        const QFontMetrics normal(font());
        if (m_compact) {
            const int h = normal.height() + 2 * Margin;
            return {normal.horizontalAdvance(QStringLiteral("Aa")) + 3 * Margin + symbolSide(), h};
        }
        const QFontMetrics large(largeFont(font()));
        const int lines =
            qMax(normal.horizontalAdvance(m_normal), large.horizontalAdvance(m_large));
        return {lines + 3 * Margin + symbolSide(), normal.height() + large.height() + 3 * Margin};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), qcolor(m_background));
        p.setPen(qcolor(m_text));
        const QFontMetrics normal(font());
        if (m_compact) {
            p.drawText(QRect(Margin, Margin, width(), normal.height()), Qt::AlignLeft,
                       QStringLiteral("Aa"));
        } else {
            p.drawText(QRect(Margin, Margin, width(), normal.height()), Qt::AlignLeft, m_normal);
            p.setFont(largeFont(font()));
            p.drawText(QRect(Margin, 2 * Margin + normal.height(), width(), height()),
                       Qt::AlignLeft, m_large);
        }
        // The non-text sample, right of the text, centred in height.
        const int side = symbolSide();
        const QRectF ring(width() - Margin - side, (height() - side) / 2.0, side, side);
        p.setRenderHint(QPainter::Antialiasing);
        QPen pen(qcolor(m_text), qMax(2.0, side / 8.0));
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const qreal inset = pen.widthF() / 2;
        p.drawEllipse(ring.adjusted(inset, inset, -inset, -inset));
        QPainterPath tick;
        tick.moveTo(ring.left() + side * 0.28, ring.top() + side * 0.52);
        tick.lineTo(ring.left() + side * 0.44, ring.top() + side * 0.68);
        tick.lineTo(ring.left() + side * 0.72, ring.top() + side * 0.34);
        p.drawPath(tick);
    }

private:
    static constexpr int Margin = 6;
    int symbolSide() const {
        return m_compact ? QFontMetrics(font()).height()
                         : QFontMetrics(largeFont(font())).height() + 4;
    }

    bool m_compact;
    PackedColor m_text = 0;
    PackedColor m_background = White;
    QString m_normal, m_large;
};

TForm5::TForm5(TColorModel& color, TEyeWizard& eyeWizard, QWidget* owner)
    : QWidget(owner,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_color(color), m_eyeWizard(eyeWizard), m_owner(owner) {
    setObjectName(QStringLiteral("Form5"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowIcon(pictures::windowIcon());
    auto label = [this](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        l->setTextFormat(Qt::PlainText);
        return l;
    };

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_sample = new TContrastSample(false, this);
    m_sample->setObjectName(QStringLiteral("Sample"));
    layout->addWidget(m_sample, 0, Qt::AlignHCenter);
    m_pairLabel = label("PairLabel");
    layout->addWidget(m_pairLabel);
    m_noteLabel = label("NoteLabel");
    // Its room kept while it is hidden: the window keeps its size.
    QSizePolicy keep = m_noteLabel->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_noteLabel->setSizePolicy(keep);
    layout->addWidget(m_noteLabel);

    auto* figures = new QGridLayout;
    figures->setColumnStretch(1, 1);
    m_ratioCaption = label("RatioCaption");
    m_ratioValue = label("RatioValue");
    figures->addWidget(m_ratioCaption, 0, 0);
    figures->addWidget(m_ratioValue, 0, 1);
    QFont bold = font();
    bold.setBold(true);
    m_ratioValue->setFont(bold);
    for (std::size_t n = 0; n < contrast::levels.size(); ++n) {
        m_levelCaptions[n] = label(qPrintable(QStringLiteral("LevelCaption%1").arg(n + 1)));
        m_levelValues[n] = label(qPrintable(QStringLiteral("LevelValue%1").arg(n + 1)));
        m_levelValues[n]->setAccessibleDescription(
            QStringLiteral("\u2265 %1:1")
                .arg(contrast::minimumRatio(contrast::levels[n]), 0, 'g', 2));
        figures->addWidget(m_levelCaptions[n], int(n) + 1, 0);
        figures->addWidget(m_levelValues[n], int(n) + 1, 1);
    }
    m_lcCaption = label("LcCaption");
    m_lcValue = label("LcValue");
    m_lcValue->setFont(bold);
    figures->addWidget(m_lcCaption, 6, 0);
    figures->addWidget(m_lcValue, 6, 1);
    layout->addLayout(figures);

    m_simulated = new QGroupBox(this);
    m_simulated->setObjectName(QStringLiteral("Simulated"));
    auto* rows = new QGridLayout(m_simulated);
    rows->setColumnStretch(2, 1);
    for (std::size_t n = 0; n < contrast::deficiencies.size(); ++n) {
        m_simCaptions[n] = label(qPrintable(QStringLiteral("SimCaption%1").arg(n + 1)));
        m_simSamples[n] = new TContrastSample(true, m_simulated);
        m_simSamples[n]->setObjectName(QStringLiteral("SimSample%1").arg(n + 1));
        m_simValues[n] = label(qPrintable(QStringLiteral("SimValue%1").arg(n + 1)));
        m_simCaptions[n]->setParent(m_simulated);
        m_simValues[n]->setParent(m_simulated);
        rows->addWidget(m_simCaptions[n], int(n), 0);
        rows->addWidget(m_simSamples[n], int(n), 1);
        rows->addWidget(m_simValues[n], int(n), 2);
    }
    layout->addWidget(m_simulated);

    auto* buttons = new QHBoxLayout;
    m_swapButton = new QPushButton(this);
    m_swapButton->setObjectName(QStringLiteral("SwapButton"));
    m_swapButton->setAutoDefault(false);
    m_closeButton = new QPushButton(this);
    m_closeButton->setObjectName(QStringLiteral("CloseButton"));
    m_closeButton->setAutoDefault(false);
    buttons->addWidget(m_swapButton);
    buttons->addStretch(1);
    buttons->addWidget(m_closeButton);
    layout->addLayout(buttons);
    connect(m_swapButton, &QPushButton::clicked, this, &TForm5::swap);
    connect(m_closeButton, &QPushButton::clicked, this, &TForm5::close);

    accessibility::setLabel(m_ratioCaption, m_ratioValue);
    accessibility::setLabel(m_lcCaption, m_lcValue);
    for (std::size_t n = 0; n < m_levelValues.size(); ++n)
        accessibility::setLabel(m_levelCaptions[n], m_levelValues[n]);
    for (std::size_t n = 0; n < m_simValues.size(); ++n)
        accessibility::setLabel(m_simCaptions[n], m_simValues[n]);

    // Every change of either colour, the pointer's moves during a pick too.
    connect(&m_color, &TColorModel::changed, this, &TForm5::colorsChanged);
    connect(&m_eyeWizard.eyeColor(), &TEyeColor::changed, this, &TForm5::colorsChanged);
    m_frameLater.setSingleShot(true);
    m_frameLater.setTimerType(Qt::PreciseTimer);
    connect(&m_frameLater, &QTimer::timeout, this, &TForm5::refresh);

    applyTexts(files::IniFile(QString()));
}

TForm5::~TForm5() = default;

TForm5::Pair TForm5::pair() const {
    const std::optional<PackedColor> eye = m_eyeWizard.comparedColor();
    const PackedColor current = m_color.packedValue();
    const PackedColor other = eye.value_or(White);
    return m_swapped ? Pair{other, current, eye.has_value()}
                     : Pair{current, other, eye.has_value()};
}

void TForm5::setSwapped(bool swapped) {
    if (swapped == m_swapped)
        return;
    m_swapped = swapped;
    refresh();
    emit optionsChanged();
}

void TForm5::swap() {
    setSwapped(!m_swapped);
}

QPoint TForm5::position() const {
    return m_placed ? pos() : m_position;
}

void TForm5::setPosition(QPoint where) {
    m_position = where;
    if (!isVisible())
        m_placed = false; // applied at the next showing
}

QPoint TForm5::ontoScreen(QPoint where, QSize outer) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return where;
    // The title bar, by which the window is moved: enough of it on a screen.
    const QRect title(where, QSize(outer.width(), qMin(outer.height(), 24)));
    const int wide = qMin(48, outer.width());
    QScreen* nearest = screens.first();
    qint64 nearestDistance = std::numeric_limits<qint64>::max();
    for (QScreen* screen : screens) {
        const QRect area = screen->availableGeometry();
        const QRect on = area & title;
        if (on.width() >= wide && on.height() >= qMin(8, title.height()))
            return where;
        const QPoint centre = title.center();
        const qint64 dx = qMax(0, qMax(area.left() - centre.x(), centre.x() - area.right()));
        const qint64 dy = qMax(0, qMax(area.top() - centre.y(), centre.y() - area.bottom()));
        if (dx * dx + dy * dy < nearestDistance) {
            nearestDistance = dx * dx + dy * dy;
            nearest = screen;
        }
    }
    const QRect area = nearest->availableGeometry();
    return {qMax(area.left(), qMin(where.x(), area.right() + 1 - outer.width())),
            qMax(area.top(), qMin(where.y(), area.bottom() + 1 - outer.height()))};
}

void TForm5::open() {
    if (!isVisible()) {
        if (!m_placed) {
            // Before the first showing: the position names the frame's
            // corner (see TForm1::setVisible); the frame's size is taken from
            // the owner's until the desktop tells this window's.
            ensurePolished();
            layout()->activate();
            QSize outer = frameGeometry().size();
            if (outer == size() && m_owner)
                outer += m_owner->frameGeometry().size() - m_owner->size();
            move(ontoScreen(m_position, outer));
            m_placed = true;
        }
        show();
    }
    raise();
    activateWindow();
}

bool TForm5::isStayOnTop() const {
    return windowFlags() & Qt::WindowStaysOnTopHint;
}

void TForm5::setStayOnTop(bool on) {
    // As the main window does: the native window is made anew and hidden.
    const QPoint where = pos();
    const bool visible = isVisible();
    if (on != isStayOnTop())
        setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible) {
        hide();
        move(where);
        show();
    }
}

void TForm5::setTransientForOwner() {
    // Transient for the owner's native window as it is now (Always On Top
    // makes it anew), so the desktop keeps this window above it.
    if (QWindow* own = windowHandle(); own && m_owner && m_owner->window()->windowHandle())
        own->setTransientParent(m_owner->window()->windowHandle());
}

void TForm5::showEvent(QShowEvent* event) {
    setTransientForOwner();
    m_shown.reset();
    refresh();
    QWidget::showEvent(event);
}

void TForm5::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (isVisible()) {
        m_position = pos();
        emit optionsChanged();
    }
}

void TForm5::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (event->modifiers() == Qt::NoModifier && event->key() == SwapKey) {
        swap();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm5::applyTexts(const files::IniFile& file) {
    using i18n::readText;
    setWindowTitle(readText(file, i18n::ContrastTitleText));
    m_sample->setTexts(readText(file, i18n::NormalSampleText),
                       readText(file, i18n::LargeSampleText));
    m_nonTextName = readText(file, i18n::NonTextSampleText);
    m_pairText = readText(file, i18n::PairText);
    m_noteLabel->setText(readText(file, i18n::NoEyeColorText));
    m_ratioCaption->setText(readText(file, i18n::RatioText) + QStringLiteral(": "));
    for (std::size_t n = 0; n < m_levelCaptions.size(); ++n) {
        m_levelNames[n] = readText(file, i18n::LevelTexts[n]);
        m_levelCaptions[n]->setText(m_levelNames[n] + QStringLiteral(": "));
    }
    m_passText = readText(file, i18n::PassText);
    m_failText = readText(file, i18n::FailText);
    m_lcCaption->setText(readText(file, i18n::LcText) + QStringLiteral(": "));
    m_simulated->setTitle(readText(file, i18n::SimulatedText));
    for (std::size_t n = 0; n < m_simCaptions.size(); ++n) {
        m_deficiencyNames[n] = readText(file, i18n::DeficiencyTexts[n]);
        m_simCaptions[n]->setText(m_deficiencyNames[n] + QStringLiteral(": "));
    }
    m_swapButton->setText(readText(file, i18n::SwapText));
    const QString hint =
        readText(file, i18n::SwapHintText)
            .replace(QLatin1String("%1"), QKeySequence(SwapKey).toString(QKeySequence::NativeText));
    m_swapButton->setToolTip(i18n::toolTipText(hint));
    m_swapButton->setAccessibleDescription(hint);
    m_closeButton->setText(readText(file, i18n::CloseText));
    fixValueWidths();
    m_shown.reset();
    refresh();
}

void TForm5::fixValueWidths() {
    // The values change on every move of a pick. Each is given, once per
    // language, the fixed size of the widest it shows: the window keeps its
    // size, and a new value repaints its label without laying out the window.
    const QString widestPair = QString(m_pairText)
                                   .replace(QLatin1String("%1"), QLatin1String("#DDDDDD"))
                                   .replace(QLatin1String("%2"), QLatin1String("#DDDDDD"));
    const QString widestRatio = QStringLiteral("21.00:1");
    const auto fix = [](QLabel* label, const QStringList& widest) {
        const QString shown = label->text();
        label->setMinimumSize(0, 0);
        label->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        QSize size;
        for (const QString& text : widest) {
            label->setText(text);
            size = size.expandedTo(label->sizeHint() + QSize(2, 0));
        }
        label->setText(shown);
        label->setFixedSize(size);
    };
    fix(m_pairLabel, {widestPair});
    fix(m_ratioValue, {widestRatio});
    fix(m_lcValue, {QStringLiteral("-108.8"), QStringLiteral("106.0")});
    for (QLabel* value : m_levelValues)
        fix(value, {m_passText, m_failText});
    for (QLabel* value : m_simValues)
        fix(value, {widestRatio});
}

void TForm5::colorsChanged() {
    if (!isVisible())
        return; // brought up to date when shown
    if (m_eyeWizard.isPicking() && m_lastShown.isValid() && m_lastShown.elapsed() < FrameMs) {
        if (!m_frameLater.isActive())
            m_frameLater.start(int(FrameMs - m_lastShown.elapsed()));
        return;
    }
    refresh();
}

void TForm5::refresh() {
    m_frameLater.stop();
    if (!isVisible())
        return; // brought up to date when shown
    m_lastShown.start();
    const Pair now = pair();
    if (m_shown && m_shown->text == now.text && m_shown->background == now.background &&
        m_shown->eyeColorSet == now.eyeColorSet)
        return;
    m_shown = now;
    const auto pairText = [this](PackedColor text, PackedColor background) {
        return QString(m_pairText)
            .replace(QLatin1String("%1"), hexText(text))
            .replace(QLatin1String("%2"), hexText(background));
    };
    m_sample->setColors(now.text, now.background);
    const QString shownPair = pairText(now.text, now.background);
    m_pairLabel->setText(shownPair);
    m_sample->setAccessibleName(shownPair);
    m_sample->setAccessibleDescription(m_nonTextName);
    m_noteLabel->setVisible(!now.eyeColorSet);

    const double ratio = contrast::contrastRatio(now.text, now.background);
    m_ratioValue->setText(contrast::ratioText(ratio) + QStringLiteral(":1"));
    for (std::size_t n = 0; n < contrast::levels.size(); ++n)
        m_levelValues[n]->setText(contrast::passes(ratio, contrast::levels[n]) ? m_passText
                                                                               : m_failText);
    m_lcValue->setText(contrast::lcText(contrast::lightnessContrast(now.text, now.background)));

    for (std::size_t n = 0; n < contrast::deficiencies.size(); ++n) {
        const PackedColor text = contrast::simulate(now.text, contrast::deficiencies[n]);
        const PackedColor background =
            contrast::simulate(now.background, contrast::deficiencies[n]);
        m_simSamples[n]->setColors(text, background);
        m_simSamples[n]->setAccessibleName(m_deficiencyNames[n] + QStringLiteral(": ") +
                                           pairText(text, background));
        m_simValues[n]->setText(contrast::ratioText(contrast::contrastRatio(text, background)) +
                                QStringLiteral(":1"));
    }
}
