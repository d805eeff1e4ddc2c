#include "mainwindow/NameListModel.h"

#include "mainwindow/NameOrder.h"
#include "platform/AnsiText.h"

#include <cstring>

namespace tarnwick {

void NameListModel::SetTable(std::shared_ptr<const std::string> table)
{
    Clear();
    if (!table)
        return;
    std::vector<std::uint32_t> starts = SortedNameStarts(*table);
    beginResetModel();
    table_ = std::move(table);
    starts_ = std::move(starts);
    endResetModel();
}

void NameListModel::Clear()
{
    beginResetModel();
    table_.reset();
    starts_ = {};
    endResetModel();
}

int NameListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(starts_.size());
}

QVariant NameListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return Text(index.row());
}

std::string_view NameListModel::Name(int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= starts_.size())
        return {};
    const std::string& t = *table_;
    const std::size_t start = starts_[static_cast<std::size_t>(row)];
    const void* slash = std::memchr(t.data() + start, '/', t.size() - start);
    const std::size_t end = slash ? static_cast<std::size_t>(static_cast<const char*>(slash) - t.data()) : t.size();
    return std::string_view(t).substr(start, end - start);
}

QString NameListModel::Text(int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= starts_.size())
        return {};
    // Only as far as is shown: the end of a name of megabytes is not looked for.
    const std::string& t = *table_;
    const std::size_t start = starts_[static_cast<std::size_t>(row)];
    const std::size_t look = std::min(t.size() - start, kShownBytes + 1);
    const void* slash = std::memchr(t.data() + start, '/', look);
    const std::size_t size = slash ? static_cast<std::size_t>(static_cast<const char*>(slash) - (t.data() + start)) : look;
    const std::string utf8 = AnsiToUtf8(std::string_view(t).substr(start, std::min(size, kShownBytes)));
    QString shown = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    if (size > kShownBytes)
        shown += QChar(0x2026);
    return shown;
}

} // namespace tarnwick
