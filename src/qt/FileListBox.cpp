#include "qt/FileListBox.h"
#include "qt/QtText.h"

#include "forms/FileListing.h"

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

} // namespace tarnwick
