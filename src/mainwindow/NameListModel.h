#pragma once
// The names of a volume as the contents list shows them: the reader's table
// text shared, not copied, plus where each listed name starts, in list
// order. Four bytes a name besides the table, where an item and a text per
// name cost a hundred.
#include <QAbstractListModel>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class NameListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Lists the non-empty names of `table` (every name followed by "/"),
    // sorted. Throws std::bad_alloc, and then lists nothing.
    void SetTable(std::shared_ptr<const std::string> table);
    void Clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The stored bytes of a row's name, whole; empty for a row not listed.
    std::string_view Name(int row) const;
    // What a row shows: its name as Windows-1252 text, a very long one cut.
    QString Text(int row) const;

    // Names longer than this many bytes show only that many and "…": laying
    // out a text of megabytes takes the window minutes.
    static constexpr std::size_t kShownBytes = 1024;

private:
    std::shared_ptr<const std::string> table_;
    std::vector<std::uint32_t> starts_;
};

} // namespace tarnwick
