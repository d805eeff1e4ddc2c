#include "qt/frmMain.h"
#include "qt/QtText.h"

#include "qt/NameDrag.h"
#include "qt/Artwork.h"
#include "qt/DirListBox.h"
#include "qt/FileListBox.h"
#include "qt/NameListBox.h"
#include "qt/LayoutWidgets.h"
#include "qt/QtToolkit.h"
#include "qt/TabStrip.h"
#include "qt/WindowFont.h"

#include <algorithm>
#include <vector>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabBar>
#include <QUrl>

namespace tarnwick {

namespace {

Qt::CheckState QtCheck(CheckState state)
{
    switch (state) {
    case CheckState::Unchecked: return Qt::Unchecked;
    case CheckState::Checked: return Qt::Checked;
    default: return Qt::PartiallyChecked;
    }
}

CheckState FormCheck(Qt::CheckState state)
{
    switch (state) {
    case Qt::Unchecked: return CheckState::Unchecked;
    case Qt::Checked: return CheckState::Checked;
    default: return CheckState::Grayed;
    }
}

void ShowCheck(QCheckBox* box, CheckState state)
{
    const QSignalBlocker quiet(box);
    // A grey box stays three-state: a click moves it on through the three.
    if (state == CheckState::Grayed)
        box->setTristate(true);
    box->setCheckState(QtCheck(state));
}

void ShowText(QLineEdit* box, const std::string& text)
{
    if (FromQt(box->text()) == text && !box->text().isEmpty())
        return; // the user's own typing, already the form's
    const QSignalBlocker quiet(box);
    box->setText(ToQt(text));
    // A long path shows its beginning, where the drive and the first
    // folders are, rather than its end.
    box->setCursorPosition(0);
}

void ShowChoice(QComboBox* box, const ListChoice& choice)
{
    const QSignalBlocker quiet(box);
    if (box->count() != static_cast<int>(choice.items.size())) {
        box->clear();
        for (std::size_t i = 0; i < choice.items.size(); ++i)
            box->addItem(ToQt(choice.Label(i)));
    }
    box->setCurrentIndex(choice.index);
}

} // namespace

frmMain::frmMain(StartupOptions options, Toolkit* toolkit, QWidget* parent) : QWidget(parent)
{
    if (!toolkit) {
        auto own = std::make_unique<QtToolkit>(this);
        own->VolumeMenu = [this](MenuPlace place) {
            mnuVolume->popup(place == MenuPlace::Pointer ? QCursor::pos()
                                                         : filVolumes->EntryPoint(form_->filVolumes.Selected()));
        };
        ownToolkit_ = std::move(own);
        toolkit = ownToolkit_.get();
    }
    form_ = std::make_unique<MainForm>(std::move(options), *toolkit);
    form_->ProgramIconPng = [] { return ProgramIconPng(128).toStdString(); };
    BuildControls();
    Wire();
    ShowControl("");
    form_->Changed = [this](const std::string& name) { ShowControl(name); };
}

frmMain::~frmMain()
{
    form_->Changed = nullptr;
}

namespace {

// The widgets of the kinds the table's generic builder does not know.
QWidget* MakeMainControl(MainForm& form, const ControlPlace& c, QWidget* parent)
{
    switch (c.kind) {
    case ControlKind::FolderList: return new DirListBox(parent);
    case ControlKind::FileList: return new FileListBox(parent);
    case ControlKind::NameList: return new NameListBox(form.lstData, parent);
    case ControlKind::Page: return new QWidget(parent);
    case ControlKind::DriveList: return new QComboBox(parent);
    case ControlKind::TabStrip: {
        auto* tabs = new TabStrip(parent);
        for (const QString& tab : QString::fromLatin1(c.caption).split(QLatin1Char('|')))
            tabs->addTab(tab);
        return tabs;
    }
    default: return nullptr;
    }
}

} // namespace

void frmMain::BuildControls()
{
    setWindowIcon(ProgramIcon());
    setFont(WindowFont());
    // A fixed single border: no resizing, no minimize or maximize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    MainForm& form = *form_;
    const LayoutWidgets w(*this, MainForm::Layout(), [&form](const ControlPlace& c, QWidget* parent) {
        return MakeMainControl(form, c, parent);
    });
    TakeControls(w);
    SetTabOrder(w);
    // The window opens with the contents list ready for the keys.
    lstData->setFocus();

    mnuVolume = new QMenu(QStringLiteral("Volume"), this);
    mnuProperties = mnuVolume->addAction(QStringLiteral("&Properties"));
    // A volume dropped from a file manager opens as one on the command line.
    setAcceptDrops(true);
}

void frmMain::TakeControls(const LayoutWidgets& w)
{
    tbsMain = w.Get<QTabBar>("tbsMain");
    picBase[0] = w.Find("picBase(0)");
    picBase[1] = w.Find("picBase(1)");
    drvMain = w.Get<QComboBox>("drvMain");
    dirMain = w.Get<DirListBox>("dirMain");
    filVolumes = w.Get<FileListBox>("filVolumes");
    lstData = w.Get<NameListBox>("lstData");
    cmdSelAll = w.Get<QPushButton>("cmdSelAll");
    cmdDelAll = w.Get<QPushButton>("cmdDelAll");
    cmdExtract = w.Get<QPushButton>("cmdExtract");
    cmdBrowse = w.Get<QPushButton>("cmdBrowse");
    cmdExtractBrowse = w.Get<QPushButton>("cmdExtractBrowse");
    cmdDefSearchBrowse = w.Get<QPushButton>("cmdDefSearchBrowse");
    cmdAssociate = w.Get<QPushButton>("cmdAssociate");
    cmdAbout = w.Get<QPushButton>("cmdAbout");
    txtPath = w.Get<QLineEdit>("txtPath");
    txtExtractPath = w.Get<QLineEdit>("txtExtractPath");
    txtDefSearchPath = w.Get<QLineEdit>("txtDefSearchPath");
    chkOverwrite = w.Get<QCheckBox>("chkOverwrite");
    chkPHX = w.Get<QCheckBox>("chkPHX");
    chkFileSystem = w.Get<QCheckBox>("chkFileSystem");
    chkSplash = w.Get<QCheckBox>("chkSplash");
    cboPHX = w.Get<QComboBox>("cboPHX");
    for (int i = 0; i < 10; ++i)
        lab[i] = w.Get<QLabel>("lab(" + std::to_string(i) + ")");
}

void frmMain::SetTabOrder(const LayoutWidgets& w)
{
    // The table's keyboard order runs over the whole window, across the
    // pages; labels and pages hold places in it but take no focus.
    std::vector<const ControlPlace*> order;
    for (const ControlPlace& c : MainForm::Layout().controls)
        if (c.tab >= 0 && c.kind != ControlKind::Page && c.kind != ControlKind::Label && c.kind != ControlKind::Note)
            order.push_back(&c);
    std::sort(order.begin(), order.end(), [](const ControlPlace* a, const ControlPlace* b) { return a->tab < b->tab; });
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(w.Find(order[i - 1]->name), w.Find(order[i]->name));
}

void frmMain::Wire()
{
    MainForm& f = *form_;
    connect(tbsMain, &QTabBar::currentChanged, this, [&f](int index) {
        f.tbsMain = index;
        f.tbsMain_Click();
    });
    connect(drvMain, &QComboBox::currentIndexChanged, this, [&f](int index) {
        f.drvMain.index = index;
        f.drvMain_Change();
    });
    dirMain->Open = [&f](int row) { f.dirMain_Open(row); };
    filVolumes->Click = [&f](int row) {
        f.filVolumes.Select(row);
        f.filVolumes_Click();
    };
    filVolumes->RightClick = [&f] { f.filVolumes_MouseDown(true); };
    filVolumes->MenuKey = [&f] { f.filVolumes_MenuKey(); };
    lstData->DragOut = [this] { lstData_DragOut(*this); };
    connect(mnuProperties, &QAction::triggered, this, [&f] { f.mnuProperties_Click(); });
    const std::pair<QPushButton*, void (MainForm::*)()> buttons[] = {
        {cmdSelAll, &MainForm::cmdSelAll_Click},
        {cmdDelAll, &MainForm::cmdDelAll_Click},
        {cmdExtract, &MainForm::cmdExtract_Click},
        {cmdBrowse, &MainForm::cmdBrowse_Click},
        {cmdDefSearchBrowse, &MainForm::cmdDefSearchBrowse_Click},
        {cmdExtractBrowse, &MainForm::cmdExtractBrowse_Click},
        {cmdAbout, &MainForm::cmdAbout_Click},
        {cmdAssociate, &MainForm::cmdAssociate_Click},
    };
    for (const auto& [button, handler] : buttons)
        connect(button, &QPushButton::clicked, this, [&f, handler = handler] { (f.*handler)(); });
    const std::pair<QLineEdit*, std::string MainForm::*> texts[] = {
        {txtPath, &MainForm::txtPath},
        {txtExtractPath, &MainForm::txtExtractPath},
        {txtDefSearchPath, &MainForm::txtDefSearchPath},
    };
    for (const auto& [box, value] : texts)
        connect(box, &QLineEdit::textChanged, this, [&f, value = value](const QString& t) { f.*value = FromQt(t); });
    const std::pair<QCheckBox*, CheckState MainForm::*> checks[] = {
        {chkOverwrite, &MainForm::chkOverwrite},
        {chkPHX, &MainForm::chkPHX},
        {chkFileSystem, &MainForm::chkFileSystem},
        {chkSplash, &MainForm::chkSplash},
    };
    for (const auto& [box, value] : checks)
        connect(box, &QCheckBox::stateChanged, this,
                [&f, value = value](int s) { f.*value = FormCheck(static_cast<Qt::CheckState>(s)); });
    connect(cboPHX, &QComboBox::currentIndexChanged, this, [&f](int index) { f.cboPHX.index = index; });
}

void frmMain::ShowControl(const std::string& name)
{
    const MainForm& f = *form_;
    const bool all = name.empty();
    if (all || name == "tbsMain") {
        const QSignalBlocker quiet(tbsMain);
        tbsMain->setCurrentIndex(f.tbsMain);
    }
    if (all || name == "picBase" || name == "tbsMain") {
        for (int i = 0; i < 2; ++i)
            picBase[i]->setVisible(i == f.tbsMain);
        picBase[f.tbsMain == 1 ? 1 : 0]->raise();
    }
    if (all || name == "drvMain")
        ShowChoice(drvMain, f.drvMain);
    if (all || name == "cboPHX")
        ShowChoice(cboPHX, f.cboPHX);
    if (all || name == "dirMain")
        dirMain->Show(f.dirMain);
    if (all || name == "filVolumes")
        filVolumes->Show(f.filVolumes);
    if (all || name == "lstData")
        lstData->Show();
    const std::pair<QLineEdit*, const std::string*> texts[] = {
        {txtPath, &f.txtPath}, {txtExtractPath, &f.txtExtractPath}, {txtDefSearchPath, &f.txtDefSearchPath}};
    for (const auto& [box, value] : texts)
        if (all || name == box->objectName().toStdString())
            ShowText(box, *value);
    const std::pair<QCheckBox*, CheckState> checks[] = {{chkOverwrite, f.chkOverwrite},
                                                        {chkPHX, f.chkPHX},
                                                        {chkFileSystem, f.chkFileSystem},
                                                        {chkSplash, f.chkSplash}};
    for (const auto& [box, value] : checks)
        if (all || name == box->objectName().toStdString())
            ShowCheck(box, value);
}

bool frmMain::Form_Load()
{
    if (!form_->Form_Load())
        return false;
    // Centred on the screen when it opens.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    return true;
}

void frmMain::closeEvent(QCloseEvent* event)
{
    form_->Form_Unload();
    event->accept();
}

void frmMain::dragEnterEvent(QDragEnterEvent* event)
{
    // What the contents list itself drags out is not a volume to open, and
    // is turned away before its list is read: asking for the list extracts
    // the names and ends their selection. Otherwise local files only.
    const auto* from = qobject_cast<const QWidget*>(event->source());
    if (from && isAncestorOf(from))
        return;
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.front().isLocalFile())
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile())
        return;
    event->acceptProposedAction();
    std::vector<std::string> paths;
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            paths.push_back(FromQt(url.toLocalFile()));
    form_->OpenDroppedFiles(paths);
}

} // namespace tarnwick
