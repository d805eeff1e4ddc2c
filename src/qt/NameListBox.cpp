#include "qt/NameListBox.h"

#include "qt/NameListModel.h"
#include "forms/NameListing.h"

#include <QItemSelectionModel>

namespace tarnwick {

NameListBox::NameListBox(NameListing& listing, QWidget* parent)
    : QListView(parent), listing_(listing), names_(new NameListModel(listing, this))
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
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &NameListBox::Selected);
}

void NameListBox::Selected(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (showing_)
        return;
    // Ranges, not one index object per row: a select-all of a million names
    // is one range.
    for (const QItemSelectionRange& r : deselected)
        listing_.SetRangeSelected(static_cast<std::size_t>(r.top()), static_cast<std::size_t>(r.bottom()), false);
    for (const QItemSelectionRange& r : selected)
        listing_.SetRangeSelected(static_cast<std::size_t>(r.top()), static_cast<std::size_t>(r.bottom()), true);
}

void NameListBox::Show()
{
    showing_ = true;
    names_->Sync();
    const std::size_t n = listing_.Count();
    if (listing_.SelectedCount() == 0) {
        clearSelection();
    } else if (listing_.SelectedCount() == n) {
        selectAll();
    } else {
        QItemSelection runs;
        for (std::size_t r = 0; r < n;) {
            if (!listing_.IsSelected(r)) {
                ++r;
                continue;
            }
            std::size_t end = r;
            while (end + 1 < n && listing_.IsSelected(end + 1))
                ++end;
            runs.select(names_->index(static_cast<int>(r)), names_->index(static_cast<int>(end)));
            r = end + 1;
        }
        selectionModel()->select(runs, QItemSelectionModel::ClearAndSelect);
    }
    showing_ = false;
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

int NameListBox::count() const { return names_->rowCount(); }
QString NameListBox::Text(int row) const { return names_->data(names_->index(row)).toString(); }

} // namespace tarnwick
