#pragma once
// The contents list of the main window: the names of the listed volume,
// sorted; several can be selected, each click on an entry toggling it.
#include <QListView>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class NameListModel;

class NameListBox : public QListView {
    Q_OBJECT
public:
    explicit NameListBox(QWidget* parent = nullptr);

    // Shows the names of a reader's table text; throws std::bad_alloc, and
    // then shows none.
    void SetTable(std::shared_ptr<const std::string> table);
    void Clear();

    int count() const;
    QString Text(int row) const;
    std::string_view Name(int row) const;
    bool IsSelected(int row) const;
    void SetSelected(int row, bool selected);
    bool HasSelection() const;
    // The selected names' stored bytes, in list order.
    std::vector<std::string> SelectedNames() const;

    // Runs a drag of the selected names out of the list (the main window
    // extracts them where the drag lands).
    std::function<void()> DragOut;

protected:
    void startDrag(Qt::DropActions supportedActions) override;

private:
    NameListModel* names_;
};

} // namespace tarnwick
