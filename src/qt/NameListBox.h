#pragma once
// Shows the contents list: the names of the listed volume, sorted; several
// can be selected, each click on an entry toggling it. The selection lives
// in the form's listing; the view follows it and reports the user's clicks.
#include <QListView>

#include <functional>

namespace tarnwick {

class NameListModel;
class NameListing;

class NameListBox : public QListView {
    Q_OBJECT
public:
    NameListBox(NameListing& listing, QWidget* parent = nullptr);

    // Shows the listing's names and selection again.
    void Show();
    int count() const;
    QString Text(int row) const;

    // Runs a drag of the selected names out of the list (the main window
    // extracts them where the drag lands).
    std::function<void()> DragOut;

protected:
    void startDrag(Qt::DropActions supportedActions) override;

private:
    void Selected(const QItemSelection& selected, const QItemSelection& deselected);

    NameListing& listing_;
    NameListModel* names_;
    bool showing_ = false;
};

} // namespace tarnwick
