#include "ui/record_window.h"

#include <QBrush>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace zt::ui {

namespace {
constexpr int kTimeColumn = 0;
constexpr int kSectorColumn = 5;
constexpr int kReasonColumn = 7;

QString Text(const std::string& s) {
    QString t = QString::fromStdString(s);
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return t;
}
}  // namespace

int RecordModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rec_.rows().size());
}

int RecordModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(RecordHeadings(ctx_).size());
}

QVariant RecordModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const RecordRow& row = rec_.rows()[static_cast<std::size_t>(index.row())];
    const int col = index.column();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole: {
            if (role == Qt::ToolTipRole && col != kReasonColumn) return {};
            const auto cells = RecordCells(ctx_, row);
            return col < static_cast<int>(cells.size()) ? Text(cells[static_cast<std::size_t>(col)])
                                                        : QVariant();
        }
        case kSortRole:
            if (col == kTimeColumn) return index.row();
            if (col == kSectorColumn) return row.sector ? *row.sector : -1;
            return data(index, Qt::DisplayRole);
        case Qt::BackgroundRole:
            // The words in their own column say it; the colour only helps the eye.
            return row.repeated ? QVariant(QBrush(QColor(255, 214, 214))) : QVariant();
        case Qt::ForegroundRole:
            return row.repeated ? QVariant(QBrush(QColor(0, 0, 0))) : QVariant();
        default:
            return {};
    }
}

QVariant RecordModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    const auto& headings = rec_.gridRecord.items();
    return section >= 0 && section < static_cast<int>(headings.size())
               ? Text(headings[static_cast<std::size_t>(section)])
               : QVariant();
}

void RecordModel::rowAdded(int row) {
    beginInsertRows({}, row, row);
    endInsertRows();
}

void RecordModel::rowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void RecordModel::textsChanged() {
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

RecordWindow::RecordWindow(const Ctx& ctx, CardRecord& rec, WindowActions& actions, QWidget* parent)
    : QWidget(parent, Qt::Window), rec_(rec), binder_(actions) {
    binder_.window(rec.frmRecord, this);

    model_ = new RecordModel(ctx, rec, this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(RecordModel::kSortRole);
    table_ = new QTableView;
    table_->setObjectName(QStringLiteral("gridRecord"));
    table_->setModel(sorted_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(kTimeColumn, Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    // Every column as wide as its words, judged on a few hundred rows so that a long record does not
    // slow a batch down.
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setStretchLastSection(true);
    header->setResizeContentsPrecision(300);

    auto* counts = new QLabel;
    counts->setWordWrap(true);
    binder_.label(rec.lblRecordCounts, counts);
    counts->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (Control* c : {&rec.cmdRecordCsv, &rec.cmdLogSave}) {
        auto* b = new QPushButton;
        b->setAutoDefault(false);
        binder_.button(*c, b);
        buttons->addWidget(b);
    }

    auto* v = new QVBoxLayout(this);
    v->addWidget(table_, 1);
    v->addWidget(counts);
    v->addLayout(buttons);

    rec.onRow = [this](int row, bool isNew) {
        if (isNew) {
            model_->rowAdded(row);
            showNewest(row);
        } else {
            model_->rowChanged(row);
        }
    };
    binder_.observe(rec.gridRecord, [this](Prop p, int) {
        if (p == Prop::ItemsReset || p == Prop::ItemAdded || p == Prop::ItemRemoved) model_->textsChanged();
    });
    // Asked for again while open: brought to the front.
    binder_.observe(rec.frmRecord, [this](Prop p, int) {
        if (p != Prop::Value) return;
        show();
        raise();
        activateWindow();
    });

    // Wide enough for every column, within the screen and its frame on a small laptop.
    const QFontMetrics fm(table_->font());
    QSize size(fm.averageCharWidth() * 170, fm.lineSpacing() * 24);
    if (const QScreen* s = screen()) size = size.boundedTo(s->availableGeometry().size() * 0.9);
    resize(size);
}

RecordWindow::~RecordWindow() {
    rec_.onRow = nullptr;
    binder_.detach();
}

void RecordWindow::showNewest(int row) {
    table_->scrollTo(sorted_->mapFromSource(model_->index(row, 0)));
}

}  // namespace zt::ui
