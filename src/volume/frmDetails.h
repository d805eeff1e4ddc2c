#pragma once
// The "Volume Details" window: a volume's name, size, date, number of names
// and its three directory values. The Properties command fills the value
// labels and shows it modally over the main window.
#include <QDialog>
#include <QDateTime>
#include <QLocale>

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

class QGroupBox;
class QLabel;
class QPushButton;

namespace tarnwick {

class frmDetails : public QDialog {
    Q_OBJECT
public:
    explicit frmDetails(QWidget* owner = nullptr);

    // The caption labels "Name:" ... "VOLI:", indices 0 to 6.
    QLabel* lab[7] = {};
    QLabel* labName = nullptr;
    QLabel* labSize = nullptr;
    QLabel* labDate = nullptr;
    QLabel* labFileCount = nullptr;
    // The "Binary Information" frame (its object name is "frmDetails", as
    // the window's own).
    QGroupBox* fraBinary = nullptr;
    QLabel* labPVOL = nullptr;
    QLabel* labVOLS = nullptr;
    QLabel* labVOLI = nullptr;
    QPushButton* cmdOK = nullptr;

    // What the size and date labels say when the file cannot be examined
    // (removed after it was found to be a volume).
    static constexpr const char* kUnknown = "unknown";

    // Fills the value labels. A missing size or date shows kUnknown.
    void Fill(const std::string& name, std::optional<std::int64_t> size,
              std::optional<std::time_t> modified, long long fileCount,
              std::int32_t pvol, std::int32_t vols, std::int32_t voli);

    // The system's general date: short date, then long time, the time left
    // out at exactly midnight.
    static QString GeneralDate(const QDateTime& when, const QLocale& locale = QLocale::system());

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void cmdOK_Click();
};

} // namespace tarnwick
