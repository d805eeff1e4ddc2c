#pragma once
// Shows a folder listing in the classic style; a double click (or Enter) on
// an entry asks for that folder to be opened.
#include <QListWidget>

#include <functional>

namespace tarnwick {

class FolderListing;

class DirListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);

    // Shows the listing's entries again, the current folder selected.
    void Show(const FolderListing& listing);

    std::function<void(int row)> Open;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace tarnwick
