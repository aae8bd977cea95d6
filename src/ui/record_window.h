// The card record window frmRecord: the record's rows in a sortable table, the counts under it and
// the two save buttons. Not modal; it shows itself whenever cmdRecord is pressed.
#pragma once

#include <QAbstractTableModel>
#include <QWidget>

#include "core/top/record.h"
#include "ui/binder.h"

class QSortFilterProxyModel;
class QTableView;

namespace zt::ui {

// The record's rows as the table shows them; the texts follow the current language.
class RecordModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    RecordModel(const Ctx& ctx, const CardRecord& rec, QObject* parent = nullptr)
        : QAbstractTableModel(parent), ctx_(ctx), rec_(rec) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void rowAdded(int row);
    void rowChanged(int row);
    void textsChanged();

    // What a column sorts by: the order the cards came in for the time, the number for the sector.
    static constexpr int kSortRole = Qt::UserRole;

private:
    const Ctx& ctx_;
    const CardRecord& rec_;
};

class RecordWindow final : public QWidget {
    Q_OBJECT
public:
    // `rec` and `ctx` must outlive the window.
    RecordWindow(const Ctx& ctx, CardRecord& rec, WindowActions& actions, QWidget* parent = nullptr);
    ~RecordWindow() override;

    QTableView* table() const { return table_; }
    RecordModel* model() const { return model_; }

private:
    void showNewest(int row);

    CardRecord& rec_;
    Binder binder_;
    RecordModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* table_ = nullptr;
};

}  // namespace zt::ui
