#include "forms/NameListing.h"

#include "forms/NameOrder.h"
#include "os/AnsiText.h"

#include <algorithm>
#include <cstring>

namespace tarnwick {

void NameListing::SetTable(std::shared_ptr<const std::string> table)
{
    Clear();
    if (!table)
        return;
    std::vector<std::uint32_t> starts = SortedNameStarts(*table);
    std::vector<unsigned char> selected(starts.size(), 0);
    table_ = std::move(table);
    starts_ = std::move(starts);
    selected_ = std::move(selected);
    ++generation_;
}

void NameListing::Clear()
{
    table_.reset();
    starts_ = {};
    selected_ = {};
    selectedCount_ = 0;
    ++generation_;
}

std::string_view NameListing::Name(std::size_t row) const
{
    if (row >= starts_.size())
        return {};
    const std::string& t = *table_;
    const std::size_t start = starts_[row];
    const void* slash = std::memchr(t.data() + start, '/', t.size() - start);
    const std::size_t end = slash ? static_cast<std::size_t>(static_cast<const char*>(slash) - t.data()) : t.size();
    return std::string_view(t).substr(start, end - start);
}

std::string NameListing::Text(std::size_t row) const
{
    if (row >= starts_.size())
        return {};
    // Only as far as is shown: the end of a name of megabytes is not looked for.
    const std::string& t = *table_;
    const std::size_t start = starts_[row];
    const std::size_t look = std::min(t.size() - start, kShownBytes + 1);
    const void* slash = std::memchr(t.data() + start, '/', look);
    const std::size_t size = slash ? static_cast<std::size_t>(static_cast<const char*>(slash) - (t.data() + start)) : look;
    std::string shown = AnsiToUtf8(std::string_view(t).substr(start, std::min(size, kShownBytes)));
    if (size > kShownBytes)
        shown += "\xE2\x80\xA6";
    return shown;
}

void NameListing::SetSelected(std::size_t row, bool selected)
{
    if (row >= selected_.size() || (selected_[row] != 0) == selected)
        return;
    selected_[row] = selected ? 1 : 0;
    selected ? ++selectedCount_ : --selectedCount_;
}

void NameListing::SetRangeSelected(std::size_t first, std::size_t last, bool selected)
{
    if (selected_.empty() || first > last || first >= selected_.size())
        return;
    last = std::min(last, selected_.size() - 1);
    for (std::size_t r = first; r <= last; ++r)
        SetSelected(r, selected);
}

void NameListing::SelectAll(bool selected)
{
    std::fill(selected_.begin(), selected_.end(), selected ? 1 : 0);
    selectedCount_ = selected ? selected_.size() : 0;
}

std::vector<std::string> NameListing::SelectedNames() const
{
    std::vector<std::string> names;
    names.reserve(selectedCount_);
    for (std::size_t r = 0; r < selected_.size() && names.size() < selectedCount_; ++r)
        if (selected_[r])
            names.emplace_back(Name(r));
    return names;
}

} // namespace tarnwick
