#include "mainwindow/frmMain.h"

#include "extraction/ExtractCommands_ui.h"
#include "extraction/NameDrag_ui.h"
#include "mainwindow/Artwork_ui.h"
#include "mainwindow/DirListBox.h"
#include "mainwindow/FileListBox.h"
#include "mainwindow/NameListBox.h"
#include "mainwindow/frmAbout.h"
#include "mainwindow/frmSplash.h"
#include "platform/AssociateCommand.h"
#include "platform/BrowseForFolder_ui.h"
#include "platform/CommonRoutines.h"
#include "platform/MessageBox.h"
#include "platform/WindowFont_ui.h"
#include "platform/os/Drives.h"
#include "platform/os/Files.h"
#include "platform/os/System.h"
#include "volume/PropertiesCommand_ui.h"
#include "volume/clsVOLReader.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>

#include <algorithm>
#include <string_view>
#include <vector>

namespace tarnwick {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* caption, int l, int t, int w, int h)
{
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setTextFormat(Qt::PlainText);
    PlaceTwips(label, l, t, w, h);
    return label;
}

// The grey italic notes under some options.
QLabel* MakeNote(QWidget* parent, const char* caption, int l, int t, int w, int h)
{
    QLabel* label = MakeLabel(parent, caption, l, t, w, h);
    label->setFont(WindowFont(true));
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(128, 128, 128));
    label->setPalette(pal);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* caption, int l, int t, int w, int h)
{
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    PlaceTwips(b, l, t, w, h);
    b->setAutoDefault(false);
    return b;
}

QCheckBox* MakeCheck(QWidget* parent, const char* caption, int l, int t, int w, int h)
{
    auto* c = new QCheckBox(QString::fromLatin1(caption), parent);
    PlaceTwips(c, l, t, w, h);
    return c;
}

QLineEdit* MakeText(QWidget* parent, int l, int t, int w, int h)
{
    auto* e = new QLineEdit(parent);
    PlaceTwips(e, l, t, w, h);
    return e;
}

std::string FromQt(const QString& s) { return s.toLocal8Bit().toStdString(); }
QString ToQt(const std::string& s) { return QString::fromLocal8Bit(s); }

} // namespace

std::string CleanCommandLinePath(std::string tail)
{
    if (!tail.empty() && tail.front() == '"')
        tail.erase(0, 1);
    if (!tail.empty() && tail.back() == '"')
        tail.pop_back();
    return tail;
}

frmMain::frmMain(StartupOptions options, QWidget* parent) : QWidget(parent), options_(std::move(options))
{
    programFolder_ = options_.programFolder.empty() ? os::ProgramFolder() : options_.programFolder;
    settingsPath_ = options_.settingsPath.empty() ? SettingsFilePath(programFolder_) : options_.settingsPath;
    PickFolder = [this](const std::string& title) {
        return BrowseForFolder(this, title, 1, 17);
    };
    PickExtractor = [this](const std::string& suggested) -> std::optional<std::string> {
        QFileDialog dialog(this, QStringLiteral("Locate Extract"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        if (options_.style == PathStyle::Windows) {
            dialog.setNameFilters({QStringLiteral("Executable Files (*.exe)"), QStringLiteral("All Files (*.*)")});
            dialog.setDefaultSuffix(QStringLiteral("exe"));
        } else {
            // Programs here carry no extension; the Windows build's name is
            // offered too, for an extractor run through a compatibility layer.
            dialog.setNameFilters({QStringLiteral("Extractor (extract extract.exe)"), QStringLiteral("All Files (*)")});
        }
        const std::string current = FromQt(txtExtractPath->text());
        const std::string folder = GetParentFolder(current, options_.style);
        dialog.setDirectory(ToQt(os::IsPlainFolder(folder) ? folder : programFolder_));
        dialog.selectFile(ToQt(suggested));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return FromQt(dialog.selectedFiles().front());
    };
    BuildControls();
}

frmMain::~frmMain() = default;

clsVOLReader& frmMain::VOL()
{
    if (!vol_)
        vol_ = std::make_unique<clsVOLReader>(options_.style);
    return *vol_;
}

void frmMain::BuildControls()
{
    setWindowTitle(QStringLiteral("Tarnwick"));
    setWindowIcon(ProgramIcon());
    setFont(WindowFont());
    // A fixed single border: no resizing, no minimize or maximize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(Twips(6975), Twips(8655));

    tbsMain = new QTabBar(this);
    tbsMain->addTab(QStringLiteral("&Browser"));
    tbsMain->addTab(QStringLiteral("&Options"));
    tbsMain->setDrawBase(false);
    tbsMain->setGeometry(0, 0, Twips(6975), Twips(360));
    // The page frame the tabs sit on.
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setGeometry(0, tbsMain->sizeHint().height() - 1, Twips(6975), Twips(8655) - tbsMain->sizeHint().height() + 1);
    frame->lower();
    connect(tbsMain, &QTabBar::currentChanged, this, [this] { tbsMain_Click(); });

    picBase[0] = new QWidget(this);
    PlaceTwips(picBase[0], 120, 480, 6735, 8055);
    picBase[1] = new QWidget(this);
    PlaceTwips(picBase[1], 120, 480, 6735, 8055);
    QWidget* b = picBase[0];
    QWidget* o = picBase[1];

    lab[0] = MakeLabel(b, "Drive:", 120, 120, 615, 255);
    drvMain = new QComboBox(b);
    PlaceTwips(drvMain, 840, 90, 2535, 315);
    lab[1] = MakeLabel(b, "Directory:", 120, 480, 855, 255);
    dirMain = new DirListBox(options_.style, b);
    PlaceTwips(dirMain, 120, 720, 3255, 3015);
    lab[2] = MakeLabel(b, "Available Volumes:", 120, 3840, 3255, 255);
    filVolumes = new FileListBox(".vol", b);
    PlaceTwips(filVolumes, 120, 4080, 3255, 2820);
    lab[4] = MakeLabel(b, "Files contained in Volume:", 3480, 120, 2415, 255);
    lstData = new NameListBox(b);
    PlaceTwips(lstData, 3480, 360, 3015, 6105);
    cmdSelAll = MakeButton(b, "Select All", 3480, 6480, 1455, 375);
    cmdDelAll = MakeButton(b, "Deselect All", 5040, 6480, 1455, 375);
    lab[3] = MakeLabel(b, "Extraction Path:", 120, 6960, 1455, 255);
    txtPath = MakeText(b, 1560, 6945, 4215, 285);
    cmdBrowse = MakeButton(b, "...", 5880, 6960, 735, 255);
    chkOverwrite = MakeCheck(b, "Over&write Files without Prompt", 120, 7320, 3135, 255);
    chkPHX = MakeCheck(b, "Re&validate Phoenix Bitmaps Using:", 120, 7560, 3375, 255);
    chkPHX->setEnabled(false);
    cboPHX = new QComboBox(b);
    cboPHX->addItems({QStringLiteral("Palette 1"), QStringLiteral("Palette 2"), QStringLiteral("Palette 3")});
    cboPHX->setEditable(false);
    cboPHX->setEnabled(false);
    PlaceTwips(cboPHX, 3480, 7530, 1335, 315);
    lab[8] = MakeNote(b, "currently does NOT revalidate PBMPs.", 240, 7800, 3255, 255);
    cmdExtract = MakeButton(b, "&Extract", 5040, 7680, 1695, 375);

    lab[5] = MakeLabel(o, "Location of Extract.exe:", 0, 120, 2055, 255);
    txtExtractPath = MakeText(o, 2160, 105, 3735, 285);
    cmdExtractBrowse = MakeButton(o, "...", 6000, 120, 495, 255);
    lab[6] = MakeLabel(o, "Default Source Path:", 0, 480, 2055, 255);
    txtDefSearchPath = MakeText(o, 2160, 465, 3735, 285);
    cmdDefSearchBrowse = MakeButton(o, "...", 6000, 480, 495, 255);
    lab[7] = MakeNote(o, " path will be used when not shelled from explorer", 120, 840, 4455, 255);
    chkFileSystem = MakeCheck(o, "Recreate File System", 120, 1080, 2895, 255);
    lab[9] = MakeNote(o, " recreate the internal file structure from the volume into destination.", 120, 1320, 6615, 255);
    chkSplash = MakeCheck(o, "Splash Screen", 120, 1560, 2055, 255);
    cmdAssociate = MakeButton(o, "Associate &Tarnwick with *.vol (volumes)", 0, 1920, 3975, 375);
    cmdAbout = MakeButton(o, "&About", 5400, 7680, 1215, 375);

    for (int i = 0; i < 10; ++i)
        lab[i]->setObjectName(QStringLiteral("lab%1").arg(i));

    // The keyboard order of the classic window.
    QWidget* order[] = {lstData, cmdSelAll, cmdDelAll, txtPath, cmdBrowse, cmdExtract, drvMain, dirMain,
                        filVolumes, chkOverwrite, chkPHX, cboPHX, txtExtractPath, cmdExtractBrowse,
                        txtDefSearchPath, cmdDefSearchBrowse, chkSplash, cmdAssociate, cmdAbout, tbsMain};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    mnuVolume = new QMenu(QStringLiteral("Volume"), this);
    mnuProperties = mnuVolume->addAction(QStringLiteral("&Properties"));
    connect(mnuProperties, &QAction::triggered, this, [this] { mnuProperties_Click(*this); });

    for (const std::string& root : os::DriveRoots())
        drvMain->addItem(ToQt(root));
    connect(drvMain, &QComboBox::currentIndexChanged, this, [this] {
        if (!settingDrive_)
            drvMain_Change();
    });
    dirMain->Change = [this] { dirMain_Change(); };
    filVolumes->Click = [this] { filVolumes_Click(); };
    filVolumes->MouseDown = [this](Qt::MouseButton button, const QPoint& at) { filVolumes_MouseDown(button, at); };
    lstData->DragOut = [this] { lstData_DragOut(*this); };
    connect(cmdSelAll, &QPushButton::clicked, this, [this] { cmdSelAll_Click(*this); });
    connect(cmdDelAll, &QPushButton::clicked, this, [this] { cmdDelAll_Click(*this); });
    connect(cmdExtract, &QPushButton::clicked, this, [this] { cmdExtract_Click(*this); });
    connect(cmdBrowse, &QPushButton::clicked, this, [this] { cmdBrowse_Click(); });
    connect(cmdDefSearchBrowse, &QPushButton::clicked, this, [this] { cmdDefSearchBrowse_Click(); });
    connect(cmdExtractBrowse, &QPushButton::clicked, this, [this] { cmdExtractBrowse_Click(); });
    connect(cmdAbout, &QPushButton::clicked, this, [this] { cmdAbout_Click(); });
    connect(cmdAssociate, &QPushButton::clicked, this, [this] { cmdAssociate_Click(); });

    picBase[0]->raise();
    picBase[1]->hide();
    // A volume dropped from a file manager opens as one on the command line.
    setAcceptDrops(true);
}

std::string frmMain::Join(const std::string& folder, const std::string& name) const
{
    const char sep = Separator(options_.style);
    if (!folder.empty() && folder.back() == sep)
        return folder + name;
    return folder + sep + name;
}

std::string frmMain::DirPath() const { return dirMain->Path(); }
std::string frmMain::SelectedVolumeName() const { return filVolumes->FileName(); }

std::string frmMain::SelectedVolumePath() const
{
    const std::string name = SelectedVolumeName();
    return name.empty() ? std::string() : Join(DirPath(), name);
}

// ---------------------------------------------------------------- start-up

bool frmMain::Form_Load()
{
    const PathStyle style = options_.style;
    if (options_.anotherInstanceRunning) {
        Messages().Beep();
        MsgBox("You may only run one instance of Tarnwick at a time.", MsgButtons::OK, MsgIcon::Information);
        return false;
    }

    tbsMain->setCurrentIndex(0);
    tbsMain_Click();
    cboPHX->setCurrentIndex(0);

    bool fromCommandLine = false;
    std::string commandPath;
    if (!options_.commandTail.empty()) {
        commandPath = CleanCommandLinePath(options_.commandTail);
        fromCommandLine = IsVolumePath(commandPath);
    }

    LoadSettings();

    if (fromCommandLine) {
        ShowVolume(commandPath);
    } else {
        ShowStartFolder(LongFormOf(FromQt(txtDefSearchPath->text())));
        if (!os::IsPlainFile(FromQt(txtExtractPath->text()))) {
            const std::string where = os::DefaultExtractorPath(programFolder_);
            const MsgAnswer a = MsgBox(ShownPath(where, style) +
                                           " was not located.  Extract is a required component for Tarnwick to "
                                           "function.  Please locate it.",
                                       MsgButtons::OKCancel, MsgIcon::Critical);
            if (a == MsgAnswer::Cancel)
                return false;
            cmdExtractBrowse_Click();
        }
    }

    if (chkSplash->checkState() == Qt::Checked && !fromCommandLine) {
        frmSplash splash(nullptr, options_.splashMilliseconds.value_or(frmSplash::kReleaseMilliseconds));
        SplashWasShown = true;
        splash.exec();
    }

    // Centred on the screen when it opens.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    loaded_ = true;
    return true;
}

bool frmMain::IsVolumePath(const std::string& path)
{
    // Both checks always run, each reporting by itself: a path that is
    // neither there nor a .vol gets both messages, in this order.
    const PathStyle style = options_.style;
    bool valid = true;
    if (!os::IsPlainFile(path)) {
        Messages().Beep();
        MsgBox(ShownPath(path, style) + " is not a valid path to a volume (*.vol) file.", MsgButtons::OK,
               MsgIcon::Critical);
        valid = false;
    }
    const std::string lower = ToLower(path);
    if (lower.size() < 4 || lower.compare(lower.size() - 4, 4, ".vol") != 0) {
        Messages().Beep();
        MsgBox(ShownPath(path, style) + " is not a valid volume (*.vol) file.", MsgButtons::OK, MsgIcon::Critical);
        valid = false;
    }
    return valid;
}

std::string frmMain::LongFormOf(const std::string& path)
{
    // The long name of a path that is gone is empty; keep the stored one so
    // that the nearest folder above it can still be shown.
    const std::string longName = GetLongFileName(path);
    return longName.empty() ? path : longName;
}

void frmMain::ShowVolume(const std::string& volumePath)
{
    const std::string path = LongFormOf(volumePath);
    ShowStartFolder(path);
    // On a disk where case matters, base.vol and Base.vol are two volumes:
    // the one named exactly wins, and the match without regard to case is
    // only the fallback.
    const std::string title = GetFileTitle(path, options_.style);
    int exact = -1, folded = -1;
    for (int i = 0; i < filVolumes->count() && exact < 0; ++i) {
        const std::string shown = FromQt(filVolumes->item(i)->text());
        if (shown == title)
            exact = i;
        else if (folded < 0 && EqualsNoCase(shown, title))
            folded = i;
    }
    if (const int row = exact >= 0 ? exact : folded; row >= 0)
        filVolumes->SelectRow(row);
}

void frmMain::OpenDroppedVolume(const std::string& path)
{
    if (!IsVolumePath(path))
        return;
    // The volume's lists are on the Browser page.
    tbsMain->setCurrentIndex(0);
    ShowVolume(path);
}

void frmMain::dragEnterEvent(QDragEnterEvent* event)
{
    // Local files only; what the contents list itself drags out is not a
    // volume to open.
    const QList<QUrl> urls = event->mimeData()->urls();
    const auto* from = qobject_cast<const QWidget*>(event->source());
    if (!urls.isEmpty() && urls.front().isLocalFile() && !(from && isAncestorOf(from)))
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile())
        return;
    event->acceptProposedAction();
    // Several files: the first, as the command line takes one volume.
    OpenDroppedVolume(FromQt(urls.front().toLocalFile()));
}

void frmMain::ShowStartFolder(const std::string& startPath)
{
    const PathStyle style = options_.style;
    std::string folder = startPath;
    if (folder.size() >= 4 && folder[folder.size() - 4] == '.')
        folder = GetParentFolder(folder, style);
    // A start path that is gone (or was never set) still opens the window:
    // the nearest folder above it that exists, else the program's folder.
    std::string probe = folder;
    while (!probe.empty() && !os::IsPlainFolder(probe)) {
        const std::string up = GetParentFolder(probe, style);
        probe = up == probe ? std::string() : up;
    }
    if (probe.empty())
        probe = os::IsPlainFolder(programFolder_) ? programFolder_ : std::string(1, Separator(style));
    dirMain->SetPath(probe);
    dirMain_Change(); // SetPath raises it only for a new folder
    std::vector<std::string> roots;
    for (int i = 0; i < drvMain->count(); ++i)
        roots.push_back(FromQt(drvMain->itemText(i)));
    SetDrive(style == PathStyle::Windows ? dirMain->Path().substr(0, 3) : os::DriveOf(dirMain->Path(), roots));
}

void frmMain::SetDrive(const std::string& root)
{
    const int index = drvMain->findText(ToQt(root), Qt::MatchFixedString);
    settingDrive_ = true;
    drvMain->setCurrentIndex(index >= 0 ? index : 0);
    settingDrive_ = false;
    driveFolders_[FromQt(drvMain->currentText())] = dirMain->Path();
}

// ---------------------------------------------------------------- handlers

void frmMain::tbsMain_Click()
{
    const int index = tbsMain->currentIndex() + 1;
    for (int i = 0; i < 2; ++i)
        picBase[i]->setVisible(i == index - 1);
    picBase[index - 1]->raise();
}

void frmMain::drvMain_Change()
{
    const std::string previous = dirMain->Path();
    const std::string drive = FromQt(drvMain->currentText());
    if (!os::IsPlainFolder(drive)) {
        // An unreadable drive (no disc, a gone mount) is reported; the lists
        // stay where they were.
        ShowError(ShownPath(drive, options_.style) + " cannot be read.");
        std::vector<std::string> roots;
        for (int i = 0; i < drvMain->count(); ++i)
            roots.push_back(FromQt(drvMain->itemText(i)));
        SetDrive(os::DriveOf(previous, roots));
        return;
    }
    auto it = driveFolders_.find(drive);
    std::string target = it != driveFolders_.end() && os::IsPlainFolder(it->second) ? it->second : drive;
    dirMain->SetPath(target);
    driveFolders_[drive] = dirMain->Path();
}

void frmMain::dirMain_Change()
{
    filVolumes->SetPath(dirMain->Path());
    const std::string drive = FromQt(drvMain->currentText());
    if (!drive.empty())
        driveFolders_[drive] = dirMain->Path();
}

void frmMain::filVolumes_Click()
{
    const std::string name = filVolumes->FileName();
    if (name.empty())
        return;
    const std::string key = ShownPath(dirMain->Path() + Separator(options_.style) + name, options_.style);
    if (key == CurrentVolume)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    lstData->Clear();
    CurrentVolumeListed = false;
    clsVOLReader& reader = VOL();
    const std::string folder = filVolumes->Path();
    const bool root = options_.style == PathStyle::Windows ? folder.size() == 3 : folder == "/";
    reader.SetPath(root ? folder + name : folder + Separator(options_.style) + name);
    try {
        // The list shows the reader's table itself, sorted: GetFileNames'
        // text would be the same names once more.
        CurrentVolumeListed = reader.ListNames();
        if (CurrentVolumeListed)
            lstData->SetTable(reader.TableText());
    } catch (const std::bad_alloc&) {
        // A volume may hold more names than this machine can list: say so
        // rather than end the program.
        lstData->Clear();
        QApplication::restoreOverrideCursor();
        MsgBox("Not enough memory to list the files of " + ShownPath(reader.Path(), options_.style) + ".", MsgButtons::OK,
               MsgIcon::Critical);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }

    CurrentVolume = key;
    QApplication::restoreOverrideCursor();
}

void frmMain::filVolumes_MouseDown(Qt::MouseButton button, const QPoint& globalPos)
{
    if (button != Qt::RightButton || filVolumes->count() == 0 || filVolumes->FileName().empty())
        return;
    mnuVolume->popup(globalPos);
}

void frmMain::cmdBrowse_Click()
{
    const std::string chosen = PickFolder("Select Destination Path");
    if (!chosen.empty())
        txtPath->setText(ToQt(ShownPath(chosen, options_.style)));
}

void frmMain::cmdDefSearchBrowse_Click()
{
    const std::string chosen = PickFolder("Select Default Volume Path");
    if (!chosen.empty())
        txtDefSearchPath->setText(ToQt(ShownPath(chosen, options_.style)));
}

void frmMain::cmdExtractBrowse_Click()
{
    // A cancelled dialog leaves the box as it was.
    if (auto chosen = PickExtractor(os::ExtractorFileName()))
        txtExtractPath->setText(ToQt(*chosen));
}

void frmMain::cmdAbout_Click()
{
    frmAbout about(this);
    about.exec();
}

void frmMain::cmdAssociate_Click()
{
    // The executable's name without its extension, beside the folder.
    std::string name = GetFileTitle(os::ProgramPath(), options_.style);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.erase(dot);
    const std::string failure = AssociateVolumes(programFolder_, name, ProgramIconPng(128).toStdString());
    if (!failure.empty())
        ShowError(failure);
}

// ---------------------------------------------------------------- closing

void frmMain::closeEvent(QCloseEvent* event)
{
    if (loaded_ && !unloaded_)
        Form_Unload();
    event->accept();
}

void frmMain::Form_Unload()
{
    unloaded_ = true;
    vol_.reset();
    SaveSettings();
}

} // namespace tarnwick
