#include "platform/BrowseForFolder_ui.h"

#include <QDir>
#include <QFileDialog>

namespace tarnwick {

std::string BrowseForFolder(QWidget* owner, const std::string& title, int, int)
{
    const QString chosen = QFileDialog::getExistingDirectory(owner, QString::fromLocal8Bit(title), QDir::rootPath(),
                                                             QFileDialog::ShowDirsOnly);
    return QDir::toNativeSeparators(chosen).toLocal8Bit().toStdString();
}

} // namespace tarnwick
