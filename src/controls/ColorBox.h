#pragma once

#include "color/ColorValue.h"

#include <QComboBox>
#include <QStyledItemDelegate>

/// Draws one named-color entry: background, 14x14 swatch with its frame rule,
/// the name 5 pixels right of the swatch, and the focus rectangle.
void paintNamedColorEntry(QPainter* painter, const QRect& rect, int entry, bool selected,
                          bool focused, const QFont& font, const QPalette& palette);

class NamedColorDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    static constexpr int EntryHeight = 16;
};

/// The named-color drop-down list: twenty fixed entries, pick only. Selecting
/// from code raises nothing; a user pick raises changed(), also each step of
/// the arrow keys in the opened list. The list drops down below the box and
/// shows eight entries at a time.
class TColorBox : public QComboBox {
    Q_OBJECT
public:
    explicit TColorBox(QWidget* parent = nullptr);

    /// Selects the entry of that color, or clears the selection.
    void selectByColor(PackedColor color);
    /// The color of the selected entry (black when nothing is selected).
    PackedColor selectedColor() const;

signals:
    void changed();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
