// A table of rows and columns that the window fills on demand: it holds the
// number of rows and asks for a cell's text only when one is shown, so a
// table of many thousands of rows costs what the screen shows. The
// operator selects rows; the window adds rows at the end and drops them at
// the front as its data comes and goes.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/control.h"

namespace orbus {

class Table : public Control {
public:
    struct Column {
        std::string caption;
        int width;  // twips
    };
    // The last change of the rows, for the view to follow.
    struct RowChange {
        enum class What { Reset, Appended, DroppedFront } what = What::Reset;
        int count = 0;
    };

    Table(Form& form, std::string name, std::vector<Column> columns)
        : Control(form, Kind::Table, std::move(name)), columns_(std::move(columns)) {}

    const std::vector<Column>& columns() const { return columns_; }
    // A list that follows new rows (a log): while the operator is at its
    // end, rows that come are scrolled into view. Any other table opens at
    // its first row and stays where the operator put it.
    bool followsNewRows = false;
    int rowCount() const { return rows_; }
    const RowChange& lastChange() const { return change_; }

    // The text of a cell; the window sets it once.
    std::function<std::string(int row, int column)> cellText;
    // A row that stands out (a difference the operator should see): drawn
    // in a warning colour, and said so to assistive technology. Unset: none.
    std::function<bool(int row)> rowMarked;
    // What a marked row is, in a word or two ("differs").
    std::string markWords = "marked";
    bool marked(int row) const { return rowMarked && row >= 0 && row < rows_ && rowMarked(row); }
    std::string cell(int row, int column) const {
        return cellText && row >= 0 && row < rows_ ? cellText(row, column) : std::string();
    }

    // Rows anew: the selection goes.
    void resetRows(int count) {
        rows_ = std::max(count, 0);
        selected_.clear();
        notify({RowChange::What::Reset, rows_}, Prop::Items);
    }
    // `count` rows added at the end; selected rows stay selected.
    void appendRows(int count) {
        if (count <= 0) return;
        rows_ += count;
        notify({RowChange::What::Appended, count}, Prop::Range);
    }
    // The first `count` rows gone; the selection moves up with its rows.
    void dropFrontRows(int count) {
        count = std::min(count, rows_);
        if (count <= 0) return;
        rows_ -= count;
        std::vector<int> kept;
        for (const int r : selected_) {
            if (r >= count) kept.push_back(r - count);
        }
        selected_ = std::move(kept);
        notify({RowChange::What::DroppedFront, count}, Prop::Range);
    }

    // Selected rows, in ascending order.
    const std::vector<int>& selectedRows() const { return selected_; }
    // The program selects rows (shown on the view).
    void setSelectedRows(std::vector<int> rows) {
        select(std::move(rows));
        changed(Prop::Value);
    }
    // The operator selected rows (the view already shows them).
    void selectedByUser(std::vector<int> rows) {
        select(std::move(rows));
        if (onSelect) onSelect();
    }
    // The operator changed the selection.
    std::function<void()> onSelect;

private:
    void select(std::vector<int> rows) {
        std::erase_if(rows, [this](int r) { return r < 0 || r >= rows_; });
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        selected_ = std::move(rows);
    }
    void notify(RowChange c, Prop p) {
        change_ = c;
        changed(p);
    }

    std::vector<Column> columns_;
    int rows_ = 0;
    RowChange change_;
    std::vector<int> selected_;
};

}  // namespace orbus
