#include "controls/SwatchGrid.h"

#include <QColor>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>

namespace colordrag {

namespace {

QString hexOf(PackedColor color) {
    return QLatin1Char('#') + hexPair(redOf(color)) + hexPair(greenOf(color)) +
           hexPair(blueOf(color));
}

} // namespace

QMimeData* mimeData(PackedColor color) {
    auto* data = new QMimeData;
    data->setColorData(QColor(redOf(color), greenOf(color), blueOf(color)));
    data->setText(hexOf(color));
    return data;
}

std::optional<PackedColor>
colorOf(const QMimeData* data,
        const std::function<std::optional<PackedColor>(const QString&)>& read) {
    if (!data)
        return std::nullopt;
    if (data->hasColor()) {
        const QColor color = qvariant_cast<QColor>(data->colorData());
        if (color.isValid()) {
            const QColor rgb = color.toRgb();
            return packColor(rgb.red(), rgb.green(), rgb.blue());
        }
    }
    if (data->hasText() && read)
        return read(data->text());
    return std::nullopt;
}

bool mayHoldColor(const QMimeData* data) {
    return data && (data->hasColor() || data->hasText());
}

} // namespace colordrag

void TSwatchModel::setSwatches(QList<Swatch> swatches) {
    beginResetModel();
    m_swatches = std::move(swatches);
    endResetModel();
}

void TSwatchModel::setCurrent(std::optional<PackedColor> color) {
    if (color == m_current)
        return;
    m_current = color;
    if (!m_swatches.isEmpty())
        emit dataChanged(index(0), index(int(m_swatches.size()) - 1), {CurrentRole});
}

void TSwatchModel::setSpokenForm(const QString& form) {
    m_spoken = form;
    if (!m_swatches.isEmpty())
        emit dataChanged(index(0), index(int(m_swatches.size()) - 1), {Qt::AccessibleTextRole});
}

int TSwatchModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_swatches.size());
}

QVariant TSwatchModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_swatches.size())
        return {};
    const Swatch& swatch = m_swatches[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return swatch.name;
    case Qt::ToolTipRole:
        return swatch.name + QLatin1Char(' ') + colordrag::hexOf(swatch.color);
    case Qt::AccessibleTextRole:
        // In one pass: a name holding "%2" is read as it stands.
        return m_spoken.arg(swatch.name, colordrag::hexOf(swatch.color));
    case ColorRole:
        return swatch.color;
    case CurrentRole:
        return m_current == swatch.color;
    default:
        return {};
    }
}

Qt::ItemFlags TSwatchModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QStringList TSwatchModel::mimeTypes() const {
    return {QStringLiteral("application/x-color"), QStringLiteral("text/plain")};
}

QMimeData* TSwatchModel::mimeData(const QModelIndexList& indexes) const {
    for (const QModelIndex& index : indexes) {
        if (index.isValid() && index.row() < m_swatches.size())
            return colordrag::mimeData(m_swatches[index.row()].color);
    }
    return nullptr;
}

bool TSwatchModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                   const QModelIndex&) const {
    return colordrag::mayHoldColor(data);
}

bool TSwatchModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                const QModelIndex& parent) {
    if (action == Qt::IgnoreAction)
        return true;
    const std::optional<PackedColor> color = colordrag::colorOf(data, readText);
    if (!color)
        return false;
    emit dropped(*color, parent.isValid() ? parent.row() : row);
    return true;
}

namespace {

constexpr int SwatchWidth = 56;
constexpr int SwatchHeight = 32;
constexpr int Gap = 4;

} // namespace

void TSwatchDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    const PackedColor color = index.data(TSwatchModel::ColorRole).toUInt();
    const QRect cell = option.rect.adjusted(Gap / 2, Gap / 2, -Gap / 2, -Gap / 2);
    const QRect swatch(cell.left() + (cell.width() - SwatchWidth) / 2, cell.top(), SwatchWidth,
                       SwatchHeight);
    painter->save();
    const bool selected = option.state & QStyle::State_Selected;
    if (selected)
        painter->fillRect(option.rect, option.palette.highlight());
    painter->fillRect(swatch, QColor(redOf(color), greenOf(color), blueOf(color)));
    painter->setPen(option.palette.color(QPalette::Mid));
    painter->drawRect(swatch.adjusted(0, 0, -1, -1));
    if (index.data(TSwatchModel::CurrentRole).toBool()) {
        // Black and white together show on any colour.
        painter->setPen(QPen(Qt::black, 2));
        painter->drawRect(swatch.adjusted(1, 1, -2, -2));
        painter->setPen(QPen(Qt::white, 1));
        painter->drawRect(swatch.adjusted(3, 3, -4, -4));
    }
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(option.palette.color(QPalette::Text), 1, Qt::DotLine));
        painter->drawRect(cell.adjusted(0, 0, -1, -1));
    }
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect text(cell.left(), swatch.bottom() + 2, cell.width(),
                     cell.bottom() - swatch.bottom() - 2);
    painter->drawText(text, Qt::AlignHCenter | Qt::AlignTop,
                      option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(),
                                                    Qt::ElideRight, text.width()));
    painter->restore();
}

QSize TSwatchDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {SwatchWidth + 24 + Gap, SwatchHeight + option.fontMetrics.height() + 4 + Gap};
}

TSwatchGrid::TSwatchGrid(QWidget* parent) : QListView(parent), m_model(new TSwatchModel(this)) {
    setModel(m_model);
    setItemDelegate(new TSwatchDelegate(this));
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    // Every swatch alike: the grid lays out 10,000 of them at once.
    setUniformItemSizes(true);
    setLayoutMode(QListView::Batched);
    setBatchSize(2000);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    // A static icon view turns drops off on its viewport, where they arrive:
    // on again, after the movement is set.
    viewport()->setAcceptDrops(true);
    connect(this, &QListView::clicked, this,
            [this](const QModelIndex& index) { emit chosen(index.row()); });
}

int TSwatchGrid::currentRow() const {
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void TSwatchGrid::keyPressEvent(QKeyEvent* event) {
    const int row = currentRow();
    if (row >= 0 && event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit chosen(row);
            return;
        case Qt::Key_Delete:
            emit removeRequested(row);
            return;
        case Qt::Key_F2:
            emit renameRequested(row);
            return;
        case Qt::Key_Menu:
            emit menuRequested(row, viewport()->mapToGlobal(visualRect(currentIndex()).center()));
            return;
        default:
            break;
        }
    }
    QListView::keyPressEvent(event);
}

void TSwatchGrid::dragEnterEvent(QDragEnterEvent* event) {
    if (event->source() == this) {
        event->ignore();
        return;
    }
    QListView::dragEnterEvent(event);
}

void TSwatchGrid::dragMoveEvent(QDragMoveEvent* event) {
    if (event->source() == this) {
        event->ignore();
        return;
    }
    QListView::dragMoveEvent(event);
}

void TSwatchGrid::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex index = indexAt(viewport()->mapFromGlobal(event->globalPos()));
    if (!index.isValid())
        return;
    setCurrentIndex(index);
    emit menuRequested(index.row(), event->globalPos());
}
