#include "mainwindow/NameListBox.h"

#include "mainwindow/NameListModel.h"

#include <QItemSelectionModel>

#include <algorithm>

namespace tarnwick {

NameListBox::NameListBox(QWidget* parent) : QListView(parent), names_(new NameListModel(this))
{
    setModel(names_);
    // Each click toggles an entry, as in the classic multi-select list.
    setSelectionMode(QAbstractItemView::MultiSelection);
    // Rows of one height are laid out by arithmetic, not by measuring each
    // name; one pass over a million rows takes milliseconds.
    setUniformItemSizes(true);
    setLayoutMode(QListView::SinglePass);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Names can be dragged out to a file manager, never dropped in.
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
}

void NameListBox::startDrag(Qt::DropActions supportedActions)
{
    // The view's own drag would offer the names as text; what a file
    // manager wants are files, which only the main window can make.
    if (DragOut)
        DragOut();
    else
        QListView::startDrag(supportedActions);
}

void NameListBox::SetTable(std::shared_ptr<const std::string> table) { names_->SetTable(std::move(table)); }
void NameListBox::Clear() { names_->Clear(); }
int NameListBox::count() const { return names_->rowCount(); }
QString NameListBox::Text(int row) const { return names_->Text(row); }
std::string_view NameListBox::Name(int row) const { return names_->Name(row); }

bool NameListBox::IsSelected(int row) const { return selectionModel()->isRowSelected(row, {}); }

void NameListBox::SetSelected(int row, bool selected)
{
    selectionModel()->select(names_->index(row, 0), selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

bool NameListBox::HasSelection() const { return selectionModel()->hasSelection(); }

std::vector<std::string> NameListBox::SelectedNames() const
{
    // Rows from the selection's ranges, not one index object per row.
    std::vector<int> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int r = range.top(); r <= range.bottom(); ++r)
            rows.push_back(r);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<std::string> names;
    names.reserve(rows.size());
    for (int r : rows)
        names.emplace_back(names_->Name(r));
    return names;
}

} // namespace tarnwick
