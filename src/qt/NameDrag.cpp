#include "qt/NameDrag.h"
#include "qt/QtText.h"

#include "qt/NameListBox.h"

#include "qt/frmMain.h"
#include "os/AnsiText.h"
#include "qt/DirectSave.h"

#include <QDir>
#include <QFileInfo>
#include <QDrag>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <vector>

namespace tarnwick {

namespace {

// The private folders the uri-list targets copy from. A file manager may
// copy after the drag has ended, so they stay until the main window goes.
class StagingFolders : public QObject {
public:
    explicit StagingFolders(QObject* parent) : QObject(parent) { setObjectName(kName); }
    static constexpr const char* kName = "tarnwick-drag-staging";
    std::string Make()
    {
        auto dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tarnwick-drag-XXXXXX"));
        if (!dir->isValid())
            return {};
        const std::string path = FromQt(dir->path());
        dirs_.push_back(std::move(dir));
        return path;
    }

private:
    std::vector<std::unique_ptr<QTemporaryDir>> dirs_;
};

StagingFolders& StagingOf(frmMain& main)
{
    // Found by name: the class has no meta-object of its own to be found by.
    auto* s = dynamic_cast<StagingFolders*>(
        main.findChild<QObject*>(QString::fromLatin1(StagingFolders::kName), Qt::FindDirectChildrenOnly));
    return s ? *s : *new StagingFolders(&main);
}

// The last piece of a stored name, as the file it becomes is called.
std::string LastPiece(const std::string& name)
{
    const std::size_t cut = name.find_last_of("\\/");
    return cut == std::string::npos ? name : name.substr(cut + 1);
}

} // namespace

NameDragData::NameDragData(frmMain& main, std::string suggestedName)
    : main_(main), suggested_(std::move(suggestedName))
{
    ReadDirectSaveAnswer = [this] { return ReadDirectSave(offeredOn_); };
}

QStringList NameDragData::formats() const
{
    return {QString::fromLatin1(kDirectSave), QStringLiteral("text/uri-list")};
}

bool NameDragData::hasFormat(const QString& mimeType) const { return formats().contains(mimeType); }

QVariant NameDragData::retrieveData(const QString& mimeType, QMetaType) const
{
    if (mimeType == QLatin1String(kDirectSave))
        return AnswerDirectSave();
    if (mimeType == QLatin1String("text/uri-list"))
        return StageAndList();
    return {};
}

QByteArray NameDragData::AnswerDirectSave() const
{
    if (dropFolder_)
        return QByteArrayLiteral("S"); // asked again: saved once
    // The target wrote file://host/folder/name; the name is only our
    // suggestion, the folder is the drop's. Anything but a local file is
    // "E": the target falls back to the file list.
    const QUrl url = QUrl::fromEncoded(ReadDirectSaveAnswer().trimmed());
    // The target is done with the property once it has asked.
    WithdrawDirectSave(offeredOn_);
    if (!url.isValid() || !url.isLocalFile())
        return QByteArrayLiteral("E");
    const QString folder = QFileInfo(url.toLocalFile()).absolutePath();
    if (!QFileInfo(folder).isDir())
        return QByteArrayLiteral("F");
    dropFolder_ = FromQt(folder);
    // The job must not run inside the target's request, which waits for
    // this answer: it runs from the main window's event loop, after it. The
    // folder is copied: Qt may delete the data once the target is done.
    QTimer::singleShot(0, &main_, [main = &main_, folder = *dropFolder_] {
        if (main->Form().lstData.HasSelection())
            main->Form().ExtractSelection(folder);
    });
    return QByteArrayLiteral("S");
}

QByteArray NameDragData::StageAndList() const
{
    if (staging_)
        return uriList_;
    staging_ = StagingOf(main_).Make();
    if (staging_->empty() || !main_.Form().lstData.HasSelection())
        return uriList_;
    main_.Form().ExtractSelection(*staging_);
    // What the job put there, top level only: the files, or with the
    // folders re-created, the first folder of each name.
    const QDir dir(ToQt(*staging_));
    for (const QFileInfo& item : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        uriList_ += QUrl::fromLocalFile(item.absoluteFilePath()).toEncoded() + "\r\n";
    return uriList_;
}

std::unique_ptr<NameDragData> MakeNameDragData(frmMain& main)
{
    const std::vector<std::string> names = main.Form().lstData.SelectedNames();
    if (names.empty())
        return nullptr;
    // One name: its own file name; several: the volume's, which a file
    // manager shows while it asks nothing of it.
    std::string suggested = names.size() == 1 ? LastPiece(names.front()) : main.Form().SelectedVolumeName();
    if (suggested.empty())
        suggested = "tarnwick";
    return std::make_unique<NameDragData>(main, AnsiToUtf8(suggested));
}

void lstData_DragOut(frmMain& main)
{
    std::unique_ptr<NameDragData> made = MakeNameDragData(main);
    if (!made)
        return;
    NameDragData* data = made.get();
    // Qt deletes the drag, and the data with it, once the target is done.
    auto* drag = new QDrag(main.lstData);
    drag->setMimeData(made.release());
    // The window the targets read the name from is the drag's own, there
    // only once exec() has begun the drag: the name goes on it as soon as
    // the drag's event loop runs, long before any button can go up.
    QTimer offer;
    offer.setSingleShot(true);
    QObject::connect(&offer, &QTimer::timeout, [data] { data->OfferedOn(OfferDirectSave(data->SuggestedName())); });
    offer.start(0);
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

} // namespace tarnwick
