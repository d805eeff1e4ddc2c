#include "qt/FileListBox.h"
#include "qt/QtText.h"

#include "forms/FileListing.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace tarnwick {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    // Listing an already listed volume costs nothing, so every click counts.
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (Click)
            Click(row(item));
    });
    connect(this, &QListWidget::currentRowChanged, this, [this](int r) {
        if (r >= 0 && Click)
            Click(r);
    });
}

void FileListBox::Show(const FileListing& listing)
{
    const QSignalBlocker quiet(this);
    const int selected = listing.Selected();
    clear();
    for (const std::string& n : listing.Names())
        addItem(ToQt(n));
    setCurrentRow(selected);
    if (selected < 0)
        clearSelection();
}

void FileListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        if (RightClick)
            RightClick();
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
}

void FileListBox::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if ((event->key() == Qt::Key_Menu && mods == Qt::NoModifier) ||
        (event->key() == Qt::Key_F10 && mods == Qt::ShiftModifier)) {
        if (MenuKey)
            MenuKey();
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void FileListBox::contextMenuEvent(QContextMenuEvent* event)
{
    // X11 also turns the Menu key into a menu request of its own, which the
    // key has answered already; a right click has answered its own too.
    event->accept();
}

QPoint FileListBox::EntryPoint(int row)
{
    QListWidgetItem* entry = item(row);
    if (!entry)
        return viewport()->mapToGlobal(QPoint(0, 0));
    scrollToItem(entry);
    const QRect r = visualItemRect(entry);
    return viewport()->mapToGlobal(QPoint(r.left() + r.height() / 2, r.bottom()));
}

} // namespace tarnwick
