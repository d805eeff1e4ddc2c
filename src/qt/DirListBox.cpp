#include "qt/DirListBox.h"
#include "qt/QtText.h"

#include "forms/FolderListing.h"

#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStyle>

namespace tarnwick {

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (Open)
            Open(row(item));
    });
}

void DirListBox::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
        if (Open)
            Open(currentRow());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirListBox::Show(const FolderListing& listing)
{
    const QSignalBlocker quiet(this);
    clear();
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    for (const FolderEntry& e : listing.Entries())
        addItem(new QListWidgetItem(e.open ? open : closed,
                                    QString(e.depth * 2, QLatin1Char(' ')) + ToQt(e.label)));
    setCurrentRow(listing.CurrentRow());
}

} // namespace tarnwick
