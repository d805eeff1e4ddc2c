#pragma once
// Shows the contents list's names to a Qt view: rows read from the form's
// listing, nothing copied.
#include <QAbstractListModel>

#include <cstdint>

namespace tarnwick {

class NameListing;

class NameListModel : public QAbstractListModel {
    Q_OBJECT
public:
    NameListModel(const NameListing& listing, QObject* parent);

    // Tells the views the names changed, when they did.
    void Sync();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Every name can be dragged out: the view starts a drag only from rows
    // that say so, and a press on a selected row that may not be dragged
    // deselects it instead.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const NameListing& listing_;
    std::uint64_t generation_ = 0;
};

} // namespace tarnwick
