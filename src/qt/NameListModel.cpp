#include "qt/NameListModel.h"

#include "forms/NameListing.h"

namespace tarnwick {

NameListModel::NameListModel(const NameListing& listing, QObject* parent)
    : QAbstractListModel(parent), listing_(listing), generation_(listing.Generation())
{
}

void NameListModel::Sync()
{
    if (generation_ == listing_.Generation())
        return;
    beginResetModel();
    generation_ = listing_.Generation();
    endResetModel();
}

int NameListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(listing_.Count());
}

QVariant NameListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return QString::fromStdString(listing_.Text(static_cast<std::size_t>(index.row())));
}

Qt::ItemFlags NameListModel::flags(const QModelIndex& index) const
{
    const Qt::ItemFlags flags = QAbstractListModel::flags(index);
    return index.isValid() ? flags | Qt::ItemIsDragEnabled : flags;
}

} // namespace tarnwick
