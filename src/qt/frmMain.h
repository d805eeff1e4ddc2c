#pragma once
// The main window in Qt: its widgets laid out from the form's table and
// wired to the form. What the window does is the form's.
#include "forms/MainForm.h"

#include <QWidget>

#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabBar;

namespace tarnwick {

class LayoutWidgets;

class DirListBox;
class FileListBox;
class NameListBox;
class Toolkit;

class frmMain : public QWidget {
    Q_OBJECT
public:
    // `toolkit`: what the windows' pickers and dialogs are; nullptr for the
    // real Qt ones.
    explicit frmMain(StartupOptions options = {}, Toolkit* toolkit = nullptr, QWidget* parent = nullptr);
    ~frmMain() override;

    MainForm& Form() { return *form_; }
    const MainForm& Form() const { return *form_; }
    // The form's start-up, then the window centred on the screen. False:
    // the program must end at once.
    bool Form_Load();

    // Controls, named as in the window's description.
    QTabBar* tbsMain = nullptr;
    QWidget* picBase[2] = {nullptr, nullptr};
    QComboBox* drvMain = nullptr;
    DirListBox* dirMain = nullptr;
    FileListBox* filVolumes = nullptr;
    NameListBox* lstData = nullptr;
    QPushButton* cmdSelAll = nullptr;
    QPushButton* cmdDelAll = nullptr;
    QPushButton* cmdExtract = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QPushButton* cmdExtractBrowse = nullptr;
    QPushButton* cmdDefSearchBrowse = nullptr;
    QPushButton* cmdAssociate = nullptr;
    QPushButton* cmdAbout = nullptr;
    QLineEdit* txtPath = nullptr;
    QLineEdit* txtExtractPath = nullptr;
    QLineEdit* txtDefSearchPath = nullptr;
    QCheckBox* chkOverwrite = nullptr;
    QCheckBox* chkPHX = nullptr;
    QCheckBox* chkFileSystem = nullptr;
    QCheckBox* chkSplash = nullptr;
    QComboBox* cboPHX = nullptr;
    QLabel* lab[10] = {};
    QMenu* mnuVolume = nullptr;
    QAction* mnuProperties = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildControls();
    // Keeps each of the table's widgets under its control's name.
    void TakeControls(const LayoutWidgets& w);
    // The keyboard order is the table's, the tabs last.
    void SetTabOrder(const LayoutWidgets& w);
    void Wire();
    // Draws a control again from the form; "" draws them all.
    void ShowControl(const std::string& name);

    std::unique_ptr<Toolkit> ownToolkit_;
    std::unique_ptr<MainForm> form_;
};

} // namespace tarnwick
