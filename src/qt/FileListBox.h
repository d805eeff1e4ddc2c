#pragma once
// Shows a file listing, one entry selectable at a time. A click (also on
// the selected entry) and a move by keyboard both count as a click; a right
// click, and the keyboard's request for a menu (the Menu key, Shift+F10),
// report themselves without touching the selection.
#include <QListWidget>

#include <functional>

namespace tarnwick {

class FileListing;

class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    void Show(const FileListing& listing);

    std::function<void(int row)> Click;
    std::function<void()> RightClick;
    std::function<void()> MenuKey;
    // Where a menu about an entry goes, on the screen: below the entry's
    // start, the entry scrolled into sight first. The list's top left for
    // a row that is no entry.
    QPoint EntryPoint(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

} // namespace tarnwick
