#include "qt/QtMessageSink.h"
#include "qt/QtText.h"

#include <QApplication>
#include <QMessageBox>

namespace tarnwick {

MsgAnswer QtMessageSink::Show(const MessageRequest& r)
{
    QMessageBox box(QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                      : QApplication::activeWindow());
    box.setWindowTitle(ToQt(r.title));
    // Messages quote names from volumes and paths from the disk: shown as the
    // characters they are, never taken for markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(ToQt(r.text));
    switch (r.icon) {
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    }
    switch (r.buttons) {
    case MsgButtons::OK:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OKCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    // A busy pointer set by the caller must not hide that a box wants an answer.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    if (busy)
        QApplication::restoreOverrideCursor();
    switch (answer) {
    case QMessageBox::Ok: return MsgAnswer::OK;
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    default:
        // Closed by its close box or Esc: the answer that changes nothing.
        if (r.buttons == MsgButtons::YesNo)
            return MsgAnswer::No;
        return r.buttons == MsgButtons::OKCancel ? MsgAnswer::Cancel : MsgAnswer::OK;
    }
}

void QtMessageSink::Beep()
{
    // The desktop's bell: the OS layer's BEL on stderr is heard only in a
    // terminal, and a program started from a desktop has none.
    QApplication::beep();
}

} // namespace tarnwick
