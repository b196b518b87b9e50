#include "controls/ColorBox.h"

#include "color/NamedColors.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace {

QColor toQColor(PackedColor c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

/// The desktop's style, but the list drops down below the box, as many
/// entries high as the box allows, instead of opening over it.
class DropDownStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void paintNamedColorEntry(QPainter* p, const QRect& rect, int entry, bool selected, bool focused,
                          const QFont& font, const QPalette& palette) {
    p->save();
    p->fillRect(rect,
                selected ? palette.color(QPalette::Highlight) : palette.color(QPalette::Base));
    if (entry >= 0 && entry < int(namedColors.size())) {
        const PackedColor c = namedColors[entry].color;
        const int h = rect.height();
        const QRect swatch(rect.left() + 1, rect.top() + 1, h - 2, h - 2);
        p->fillRect(swatch, toQColor(c));
        QColor frame;
        if (redOf(c) > 192 || greenOf(c) > 192 || blueOf(c) > 192)
            frame = Qt::black;
        else
            frame = selected ? QColor(Qt::white) : toQColor(c);
        p->setPen(frame);
        p->setBrush(Qt::NoBrush);
        p->drawRect(swatch.adjusted(0, 0, -1, -1));

        p->setFont(font);
        p->setPen(selected ? palette.color(QPalette::HighlightedText)
                           : palette.color(QPalette::Text));
        const QFontMetrics fm(font);
        const int textLeft = swatch.right() + 1 + 5;
        const int textTop = rect.top() + (h - fm.height()) / 2;
        p->setClipRect(rect);
        p->drawText(QPoint(textLeft, textTop + fm.ascent()),
                    QString::fromLatin1(namedColors[entry].name));
    }
    p->restore();
    if (focused) {
        QStyleOptionFocusRect fr;
        fr.rect = rect;
        fr.palette = palette;
        fr.backgroundColor =
            selected ? palette.color(QPalette::Highlight) : palette.color(QPalette::Base);
        fr.state = QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
        QStyle* style = QApplication::style();
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &fr, p);
    }
}

void NamedColorDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    paintNamedColorEntry(painter, option.rect, index.row(), option.state & QStyle::State_Selected,
                         option.state & QStyle::State_HasFocus, option.font, option.palette);
}

QSize NamedColorDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return QSize(option.rect.width(), EntryHeight);
}

TColorBox::TColorBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    for (const NamedColor& nc : namedColors)
        addItem(QString::fromLatin1(nc.name), QVariant::fromValue(nc.color));
    setItemDelegate(new NamedColorDelegate(this));
    auto* style = new DropDownStyle(QStyleFactory::create(QApplication::style()->name()));
    style->setParent(this);
    setStyle(style);
    setMaxVisibleItems(8);
    setCurrentIndex(0);
    view()->installEventFilter(this);
    connect(this, &QComboBox::activated, this, &TColorBox::changed);
}

bool TColorBox::eventFilter(QObject* watched, QEvent* event) {
    // In the opened list the arrow keys move the selection itself, as they
    // do in the closed box: each step is a pick.
    if (watched != view() || event->type() != QEvent::KeyPress)
        return QComboBox::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier))
        return QComboBox::eventFilter(watched, event); // Alt+Up closes the list
    const int last = count() - 1;
    const int row = view()->currentIndex().row();
    const int page = maxVisibleItems() - 1;
    int to = 0;
    switch (key->key()) {
    case Qt::Key_Up:
        to = row < 0 ? 0 : qMax(0, row - 1);
        break;
    case Qt::Key_Down:
        to = qMin(last, row + 1);
        break;
    case Qt::Key_PageUp:
        to = qMax(0, row - page);
        break;
    case Qt::Key_PageDown:
        to = qMin(last, qMax(0, row) + page);
        break;
    case Qt::Key_Home:
        to = 0;
        break;
    case Qt::Key_End:
        to = last;
        break;
    default:
        return QComboBox::eventFilter(watched, event);
    }
    if (to != row) {
        view()->setCurrentIndex(model()->index(to, modelColumn(), rootModelIndex()));
        setCurrentIndex(to);
        emit changed();
    }
    return true;
}

void TColorBox::selectByColor(PackedColor color) {
    // Qt redraws the box even when no entry was chosen before or now, as on
    // nearly every Eye Wizard move.
    if (const int index = namedColorIndex(color); index != currentIndex())
        setCurrentIndex(index);
}

PackedColor TColorBox::selectedColor() const {
    const int i = currentIndex();
    return i >= 0 ? namedColors[i].color : 0;
}

void TColorBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    opt.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, opt);
    if (currentIndex() < 0)
        return;
    QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    const int h = NamedColorDelegate::EntryHeight;
    QRect entry(field.left(), field.top() + (field.height() - h) / 2, field.width(), h);
    paintNamedColorEntry(&painter, entry, currentIndex(), hasFocus(), hasFocus(), font(),
                         palette());
}
