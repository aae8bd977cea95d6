#include "ui/log_view.h"

#include <QFontDatabase>
#include <QItemSelectionModel>

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

LogView::LogView(QWidget* parent) : QListView(parent) {
    // Every line has the same height: the view then never measures the lines it does not show.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    batch_.setSingleShot(true);
    batch_.setInterval(kBatchMs);
    connect(&batch_, &QTimer::timeout, this, &LogView::flush);
}

void LogView::bind(Control& log, Binder& binder) {
    log_ = &log;
    binder_ = &binder;
    model_ = new LogModel(log.items(), this);
    setModel(model_);
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

}  // namespace zt::ui
