// The activity log on screen. The core's list of lines stays the only copy: the view reads it
// through a list model, and new lines reach the view in batches, so that a run logging thousands of
// lines a second (or a log of a million lines) does not hold up the window.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QTimer>
#include <string>
#include <vector>

#include "core/app/control.h"

namespace zt::ui {

class Binder;

class LogModel final : public QAbstractListModel {
    Q_OBJECT
public:
    explicit LogModel(const std::vector<std::string>& lines, QObject* parent = nullptr)
        : QAbstractListModel(parent), lines_(lines), shown_(static_cast<int>(lines.size())) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Announces the lines appended since the last call.
    void appendNew();
    // The line at `row` was taken out of the list.
    void removed(int row);
    // The list was cleared or rewritten.
    void reload();
    bool behind() const { return shown_ != static_cast<int>(lines_.size()); }

private:
    const std::vector<std::string>& lines_;
    int shown_;  // rows the view knows of; never more than the list holds
};

class LogView final : public QListView {
    Q_OBJECT
public:
    static constexpr int kBatchMs = 30;

    explicit LogView(QWidget* parent = nullptr);
    // Binds the view to the log control; `binder` keeps the subscription.
    void bind(Control& log, Binder& binder);
    // Brings the view up to date now instead of at the next batch.
    void flush();
    LogModel* logModel() const { return model_; }
    QSize sizeHint() const override { return hint_.isValid() ? hint_ : QListView::sizeHint(); }
    void setSizeHint(QSize hint) { hint_ = hint; }

private:
    void schedule();
    void showSelection();

    Control* log_ = nullptr;
    Binder* binder_ = nullptr;
    LogModel* model_ = nullptr;
    QTimer batch_;
    bool selectionDirty_ = false;
    bool fromModel_ = false;
    QSize hint_;
};

}  // namespace zt::ui
