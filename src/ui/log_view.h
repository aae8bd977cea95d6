// The activity log on screen. The core's list of lines stays the only copy: the view reads it
// through a list model, and new lines reach the view in batches, so that a run logging thousands of
// lines a second (or a log of a million lines) does not hold up the window.
//
// Every line has the same height, so the view finds a line's place by arithmetic and paints only
// the lines in sight: one more line costs the same in a log of ten lines as in one of ten million.
// (A list view lays out every row again whenever rows are added.)
#pragma once

#include <QAbstractItemView>
#include <QAbstractListModel>
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
    // Characters in the line at `row`.
    int length(int row) const;

private:
    const std::vector<std::string>& lines_;
    int shown_;  // rows the view knows of; never more than the list holds
};

class LogView final : public QAbstractItemView {
    Q_OBJECT
public:
    static constexpr int kBatchMs = 30;

    explicit LogView(QWidget* parent = nullptr);
    // Binds the view to the log control; `binder` keeps the subscription.
    void bind(Control& log, Binder& binder);
    // Brings the view up to date now instead of at the next batch.
    void flush();
    LogModel* logModel() const { return model_; }
    QSize sizeHint() const override { return hint_.isValid() ? hint_ : QAbstractItemView::sizeHint(); }
    void setSizeHint(QSize hint) { hint_ = hint; }

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void reset() override;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void schedule();
    void showSelection();
    // Line height from the font and style; the widest line's width from its characters.
    void measure();
    void widen(int first, int last);
    int rowAt(int y) const;

    Control* log_ = nullptr;
    Binder* binder_ = nullptr;
    LogModel* model_ = nullptr;
    QTimer batch_;
    bool selectionDirty_ = false;
    bool fromModel_ = false;
    QSize hint_;
    int lineHeight_ = 1;
    int widestRow_ = -1;  // the line with the most characters; -1 when none
    int widestChars_ = 0;
    int contentWidth_ = 0;
};

}  // namespace zt::ui
