#include "ui/log_view.h"

#include <QEvent>
#include <QFontDatabase>
#include <QItemSelectionModel>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <climits>

#include "ui/binder.h"
#include "ui/caption.h"

namespace zt::ui {

int LogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

QVariant LogModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    const int row = index.row();
    if (row < 0 || row >= shown_ || row >= static_cast<int>(lines_.size())) return {};
    return PlainText(lines_[static_cast<std::size_t>(row)]);
}

int LogModel::length(int row) const {
    if (row < 0 || row >= shown_ || row >= static_cast<int>(lines_.size())) return 0;
    // UTF-8: every byte that does not continue a character starts one.
    const std::string& line = lines_[static_cast<std::size_t>(row)];
    return static_cast<int>(
        std::count_if(line.begin(), line.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

void LogModel::appendNew() {
    const int n = static_cast<int>(lines_.size());
    if (n <= shown_) return;
    beginInsertRows({}, shown_, n - 1);
    shown_ = n;
    endInsertRows();
}

void LogModel::removed(int row) {
    if (row < 0 || row >= shown_) return;  // a line the view had not seen yet
    beginRemoveRows({}, row, row);
    --shown_;
    endRemoveRows();
}

void LogModel::reload() {
    beginResetModel();
    shown_ = static_cast<int>(lines_.size());
    endResetModel();
}

LogView::LogView(QWidget* parent) : QAbstractItemView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    measure();
    batch_.setSingleShot(true);
    batch_.setInterval(kBatchMs);
    connect(&batch_, &QTimer::timeout, this, &LogView::flush);
}

void LogView::bind(Control& log, Binder& binder) {
    log_ = &log;
    binder_ = &binder;
    model_ = new LogModel(log.items(), this);
    setModel(model_);
    widen(0, model_->rowCount() - 1);
    binder.common(log, this);
    binder.observe(log, [this](Prop p, int index) {
        switch (p) {
            case Prop::ItemAdded:
                schedule();
                break;
            case Prop::ItemRemoved:
                fromModel_ = true;  // the view moving its current line is not the operator's doing
                model_->removed(index);
                fromModel_ = false;
                updateGeometries();
                viewport()->update();
                selectionDirty_ = true;
                schedule();
                break;
            case Prop::ItemsReset:
                // The old rows are gone from the list already: the view must forget them now.
                fromModel_ = true;
                model_->reload();
                fromModel_ = false;
                selectionDirty_ = true;
                flush();
                break;
            case Prop::ListIndex:
                selectionDirty_ = true;
                schedule();
                break;
            default:
                break;
        }
    });
    // A line picked by the operator becomes the selected line of the log.
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (fromModel_ || log_ == nullptr) return;
                log_->setListIndex(current.isValid() ? current.row() : -1);
                binder_->actions().edited(log_->name());
            });
    selectionDirty_ = true;
    flush();
}

void LogView::schedule() {
    if (!batch_.isActive()) batch_.start();
}

void LogView::flush() {
    batch_.stop();
    if (model_ == nullptr) return;
    const bool grew = model_->behind();
    model_->appendNew();
    if (selectionDirty_ || grew) showSelection();
    selectionDirty_ = false;
}

void LogView::showSelection() {
    fromModel_ = true;
    const int row = log_->listIndex();
    auto* sel = selectionModel();
    if (row >= 0 && row < model_->rowCount()) {
        const QModelIndex index = model_->index(row);
        sel->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    } else {
        sel->clear();
    }
    fromModel_ = false;
}

// ---- Geometry: row r lies at r * lineHeight_ in the content ----

int LogView::rowAt(int y) const {
    return (y + verticalOffset()) / lineHeight_;
}

QRect LogView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || model_ == nullptr || index.row() >= model_->rowCount()) return {};
    const qint64 top = static_cast<qint64>(index.row()) * lineHeight_ - verticalOffset();
    if (top < INT_MIN / 2 || top > INT_MAX / 2) return {};  // far out of sight
    return {-horizontalOffset(), static_cast<int>(top), std::max(contentWidth_, viewport()->width()),
            lineHeight_};
}

QModelIndex LogView::indexAt(const QPoint& point) const {
    if (model_ == nullptr || point.y() < 0) return {};
    const int row = rowAt(point.y());
    return row < model_->rowCount() ? model_->index(row) : QModelIndex();
}

void LogView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid() || model_ == nullptr) return;
    QScrollBar* bar = verticalScrollBar();
    const int height = viewport()->height();
    const qint64 top = static_cast<qint64>(index.row()) * lineHeight_;
    const qint64 bottom = top + lineHeight_ - height;
    qint64 to = bar->value();
    switch (hint) {
        case PositionAtTop:
            to = top;
            break;
        case PositionAtBottom:
            to = bottom;
            break;
        case PositionAtCenter:
            to = top - (height - lineHeight_) / 2;
            break;
        case EnsureVisible:
            if (top < to)
                to = top;
            else if (bottom > to)
                to = bottom;
            break;
    }
    bar->setValue(static_cast<int>(std::clamp<qint64>(to, 0, bar->maximum())));
}

QModelIndex LogView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    const int rows = model_ == nullptr ? 0 : model_->rowCount();
    if (rows == 0) return {};
    const int page = std::max(1, viewport()->height() / lineHeight_);
    const QModelIndex current = currentIndex();
    int row = current.isValid() ? current.row() : 0;
    switch (action) {
        case MoveUp:
        case MovePrevious:
            --row;
            break;
        case MoveDown:
        case MoveNext:
            ++row;
            break;
        case MovePageUp:
            row -= page;
            break;
        case MovePageDown:
            row += page;
            break;
        case MoveHome:
            row = 0;
            break;
        case MoveEnd:
            row = rows - 1;
            break;
        default:
            break;
    }
    return model_->index(std::clamp(row, 0, rows - 1));
}

int LogView::horizontalOffset() const {
    return horizontalScrollBar()->value();
}

int LogView::verticalOffset() const {
    return verticalScrollBar()->value();
}

void LogView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) {
    const int rows = model_ == nullptr ? 0 : model_->rowCount();
    if (rows == 0) return;
    const QRect r = rect.normalized();
    const int first = std::clamp(rowAt(std::max(r.top(), 0)), 0, rows - 1);
    const int last = std::clamp(rowAt(std::max(r.bottom(), 0)), 0, rows - 1);
    selectionModel()->select(QItemSelection(model_->index(first), model_->index(last)), flags);
}

QRegion LogView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        if (!range.isValid()) continue;
        const QRect top = visualRect(model_->index(range.top()));
        const QRect bottom = visualRect(model_->index(range.bottom()));
        if (top.isValid() && bottom.isValid()) region += top.united(bottom) & viewport()->rect();
    }
    return region;
}

void LogView::updateGeometries() {
    const int rows = model_ == nullptr ? 0 : model_->rowCount();
    const QSize area = viewport()->size();
    const qint64 height = static_cast<qint64>(rows) * lineHeight_;
    QScrollBar* v = verticalScrollBar();
    v->setSingleStep(lineHeight_);
    v->setPageStep(area.height());
    v->setRange(0, static_cast<int>(std::clamp<qint64>(height - area.height(), 0, INT_MAX)));
    QScrollBar* h = horizontalScrollBar();
    h->setSingleStep(std::max(1, fontMetrics().averageCharWidth()));
    h->setPageStep(area.width());
    h->setRange(0, std::max(0, contentWidth_ - area.width()));
    QAbstractItemView::updateGeometries();
}

void LogView::rowsInserted(const QModelIndex& parent, int start, int end) {
    QAbstractItemView::rowsInserted(parent, start, end);
    widen(start, end);
    updateGeometries();
    viewport()->update();
}

void LogView::reset() {
    widestRow_ = -1;
    widestChars_ = 0;
    contentWidth_ = 0;
    QAbstractItemView::reset();
    if (model_ != nullptr) widen(0, model_->rowCount() - 1);
}

void LogView::widen(int first, int last) {
    int widest = -1;
    for (int row = first; row <= last; ++row) {
        const int chars = model_->length(row);
        if (chars > widestChars_) {
            widestChars_ = chars;
            widest = row;
        }
    }
    if (widest < 0) return;
    widestRow_ = widest;
    const QString text = model_->index(widest).data().toString();
    contentWidth_ = std::max(contentWidth_, fontMetrics().horizontalAdvance(text) + 2 * lineHeight_);
}

void LogView::measure() {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.text = QStringLiteral("Xg");
    option.features |= QStyleOptionViewItem::HasDisplay;
    lineHeight_ =
        std::max(1, style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).height());
    if (widestRow_ >= 0 && model_ != nullptr) {
        contentWidth_ =
            fontMetrics().horizontalAdvance(model_->index(widestRow_).data().toString()) + 2 * lineHeight_;
    }
}

void LogView::changeEvent(QEvent* e) {
    QAbstractItemView::changeEvent(e);
    if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange) {
        measure();
        updateGeometries();
    }
}

void LogView::paintEvent(QPaintEvent* e) {
    const int rows = model_ == nullptr ? 0 : model_->rowCount();
    if (rows == 0) return;
    QPainter painter(viewport());
    const QRect area = e->rect();
    const int first = std::clamp(rowAt(area.top()), 0, rows - 1);
    const int last = std::clamp(rowAt(area.bottom()), 0, rows - 1);
    QStyleOptionViewItem base;
    initViewItemOption(&base);
    const QModelIndex current = currentIndex();
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model_->index(row);
        QStyleOptionViewItem option = base;
        option.rect = visualRect(index);
        if (selectionModel()->isSelected(index)) option.state |= QStyle::State_Selected;
        if (index == current && hasFocus()) option.state |= QStyle::State_HasFocus;
        itemDelegate()->paint(&painter, option, index);
    }
}

}  // namespace zt::ui
