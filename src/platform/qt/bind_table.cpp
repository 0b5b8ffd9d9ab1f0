#include <QAbstractTableModel>
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTableView>

#include "platform/qt/binding.h"
#include "platform/qt/captions.h"
#include "platform/qt/form_view.h"
#include "platform/table.h"

namespace orbus::qt {

namespace {

// The table's rows as Qt asks for them: only the cells on the screen are
// worded.
class TableModel final : public QAbstractTableModel {
public:
    TableModel(Table& table, QObject* parent) : QAbstractTableModel(parent), table_(table), rows_(table.rowCount()) {}

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(table_.columns().size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole: return q(table_.cell(index.row(), index.column()));
        default: break;
        }
        if (!table_.marked(index.row())) return {};
        // A marked row stands out in colour, in bold, and in what a screen
        // reader says of its first cell.
        switch (role) {
        case Qt::BackgroundRole: return QBrush(QColor(255, 236, 179));
        case Qt::ForegroundRole: return QBrush(QColor(Qt::black));
        case Qt::FontRole: {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        case Qt::AccessibleTextRole:
            if (index.column() == 0) return q(table_.cell(index.row(), 0) + ", " + table_.markWords);
            return q(table_.cell(index.row(), index.column()));
        case Qt::AccessibleDescriptionRole: return q(table_.markWords);
        default: return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole) return {};
        if (orientation == Qt::Vertical) return section + 1;
        const auto& columns = table_.columns();
        return section >= 0 && section < static_cast<int>(columns.size()) ? q(columns[static_cast<std::size_t>(section)].caption)
                                                                          : QVariant();
    }

    // Follows the table's last change of its rows.
    void follow() {
        const Table::RowChange& c = table_.lastChange();
        using What = Table::RowChange::What;
        if (c.what == What::Appended && rows_ + c.count == table_.rowCount()) {
            beginInsertRows({}, rows_, rows_ + c.count - 1);
            rows_ += c.count;
            endInsertRows();
        } else if (c.what == What::DroppedFront && rows_ - c.count == table_.rowCount() && c.count > 0) {
            beginRemoveRows({}, 0, c.count - 1);
            rows_ -= c.count;
            endRemoveRows();
        } else {
            beginResetModel();
            rows_ = table_.rowCount();
            endResetModel();
        }
    }

private:
    Table& table_;
    int rows_;
};

void showSelection(QTableView* v, const Table& table) {
    QItemSelection sel;
    const int last = static_cast<int>(table.columns().size()) - 1;
    for (const int r : table.selectedRows()) sel.select(v->model()->index(r, 0), v->model()->index(r, last));
    v->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
}

QWidget* create(FormView& view, Control& control, QWidget* parent) {
    auto& table = static_cast<Table&>(control);
    auto* v = new QTableView(parent);
    auto* model = new TableModel(table, v);
    v->setModel(model);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setSelectionMode(QAbstractItemView::ExtendedSelection);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setWordWrap(false);
    v->verticalHeader()->setDefaultSectionSize(v->fontMetrics().height() + 4);
    v->horizontalHeader()->setStretchLastSection(true);
    for (std::size_t i = 0; i < table.columns().size(); ++i)
        v->setColumnWidth(static_cast<int>(i), px(table.columns()[i].width));
    QObject::connect(v->selectionModel(), &QItemSelectionModel::selectionChanged, &view, [&view, v, &table] {
        if (view.applying()) return;
        std::vector<int> rows;
        for (const QModelIndex& i : v->selectionModel()->selectedRows()) rows.push_back(i.row());
        table.selectedByUser(std::move(rows));
    });
    return v;
}

void apply(FormView& view, Control& control, QObject* object, Prop prop) {
    auto* v = qobject_cast<QTableView*>(object);
    if (!v) return;
    auto& table = static_cast<Table&>(control);
    view.quietly([&] {
        if (prop == Prop::Items || prop == Prop::Range) {
            // A list that follows new rows stays at its end while the
            // operator is there, and where the operator put it otherwise;
            // rows anew in any other table show from the first.
            QScrollBar* bar = v->verticalScrollBar();
            const bool following = table.followsNewRows && bar->value() == bar->maximum();
            const bool anew = table.lastChange().what == Table::RowChange::What::Reset;
            static_cast<TableModel*>(v->model())->follow();
            if (following) v->scrollToBottom();
            else if (anew && !table.followsNewRows) v->scrollToTop();
        }
        if (prop == Prop::Items || prop == Prop::Value) showSelection(v, table);
    });
}

}  // namespace

const Binding kTableBinding{create, apply, nullptr, nullptr};

}  // namespace orbus::qt
