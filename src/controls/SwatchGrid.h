#pragma once

#include "color/ColorValue.h"

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <functional>
#include <optional>

class QMimeData;

/// A colour as it travels by drag and drop between programs:
/// application/x-color (as Qt and GTK programs exchange colours) and its hex
/// text as text/plain.
namespace colordrag {

QMimeData* mimeData(PackedColor color);
/// The colour a drop brings: its application/x-color, or its text as read
/// reads a colour text.
std::optional<PackedColor>
colorOf(const QMimeData* data,
        const std::function<std::optional<PackedColor>(const QString&)>& read);
/// Whether a drop may bring a colour.
bool mayHoldColor(const QMimeData* data);

} // namespace colordrag

/// The swatches a grid shows: colours with their names, one of them perhaps
/// the current colour.
class TSwatchModel : public QAbstractListModel {
    Q_OBJECT
public:
    struct Swatch {
        PackedColor color = 0;
        QString name;
    };
    enum Role { ColorRole = Qt::UserRole, CurrentRole };

    using QAbstractListModel::QAbstractListModel;
    void setSwatches(QList<Swatch> swatches);
    const QList<Swatch>& swatches() const { return m_swatches; }
    /// Marks the swatches of this colour as the current colour's.
    void setCurrent(std::optional<PackedColor> color);
    /// What a screen reader reads of a swatch: "%1" its name, "%2" its hex text.
    void setSpokenForm(const QString& form);
    std::function<std::optional<PackedColor>(const QString&)> readText;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

signals:
    /// A colour was dropped on the grid, at row (-1: at its end).
    void dropped(PackedColor color, int row);

private:
    QList<Swatch> m_swatches;
    std::optional<PackedColor> m_current;
    QString m_spoken = QStringLiteral("%1, %2");
};

/// Paints a swatch: the colour, the current colour's ringed, its name below.
class TSwatchDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

/// A grid of swatches, reached by pointer and keys: a click or Enter makes
/// a swatch's colour current, Delete removes it, F2 renames it, a right
/// click opens its menu; swatches drag out as colours, colours and colour
/// texts drop in.
class TSwatchGrid : public QListView {
    Q_OBJECT
public:
    explicit TSwatchGrid(QWidget* parent = nullptr);
    TSwatchModel* swatchModel() const { return m_model; }
    /// The row of the swatch that has the keyboard, or -1.
    int currentRow() const;

signals:
    void chosen(int row);
    void removeRequested(int row);
    void renameRequested(int row);
    void menuRequested(int row, QPoint global);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    /// A swatch let go over its own grid adds nothing: a click that moved
    /// a little would otherwise leave a copy of the colour.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;

private:
    TSwatchModel* m_model;
};
