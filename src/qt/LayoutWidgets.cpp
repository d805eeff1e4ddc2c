#include "qt/LayoutWidgets.h"

#include "qt/WindowFont.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <stdexcept>

namespace tarnwick {

namespace {

QLabel* MakeLabel(const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    // Labels show names from volumes and paths from the disk: text, never
    // markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

QWidget* MakeStandard(ControlKind kind, const QString& caption, QWidget* parent)
{
    switch (kind) {
    case ControlKind::Label:
        return MakeLabel(caption, parent);
    case ControlKind::Note: {
        QLabel* note = MakeLabel(caption, parent);
        note->setFont(WindowFont(true));
        QPalette pal = note->palette();
        pal.setColor(QPalette::WindowText, QColor(128, 128, 128));
        note->setPalette(pal);
        return note;
    }
    case ControlKind::Picture:
        return MakeLabel(QString(), parent);
    case ControlKind::Button:
        return new QPushButton(caption, parent);
    case ControlKind::CheckBox:
        return new QCheckBox(caption, parent);
    case ControlKind::TextBox:
        return new QLineEdit(caption, parent);
    case ControlKind::ComboBox:
        return new QComboBox(parent);
    case ControlKind::Frame:
        return new QGroupBox(caption, parent);
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        return bar;
    }
    default:
        return nullptr;
    }
}

} // namespace

LayoutWidgets::LayoutWidgets(QWidget& window, const WindowLayout& layout, const MakeCustom& custom)
{
    window.setWindowTitle(QString::fromUtf8(layout.caption));
    window.setFixedSize(Twips(layout.width), Twips(layout.height));
    for (const ControlPlace& c : layout.controls) {
        QWidget* parent = &window;
        if (*c.container != '\0') {
            parent = Find(c.container);
            if (!parent)
                throw std::logic_error(std::string(c.name) + " sits on " + c.container + ", not made before it");
        }
        QWidget* w = MakeStandard(c.kind, QString::fromUtf8(c.caption), parent);
        if (!w && custom)
            w = custom(c, parent);
        if (!w)
            throw std::logic_error(std::string(c.name) + " is of a kind this window does not make");
        w->setObjectName(ObjectName(c.name));
        PlaceTwips(w, c.left, c.top, c.width, c.height);
        w->setEnabled(c.enabled);
        if (auto* label = qobject_cast<QLabel*>(w)) {
            const Qt::Alignment across = c.align == TextAlign::Right    ? Qt::AlignRight
                                         : c.align == TextAlign::Center ? Qt::AlignHCenter
                                                                        : Qt::AlignLeft;
            label->setAlignment(across | (label->alignment() & Qt::AlignVertical_Mask));
        }
        widgets_[c.name] = w;
    }
}

QWidget* LayoutWidgets::Find(const std::string& name) const
{
    const auto it = widgets_.find(name);
    return it == widgets_.end() ? nullptr : it->second;
}

QString LayoutWidgets::ObjectName(const char* name)
{
    QString out = QString::fromUtf8(name);
    out.remove(QLatin1Char('(')).remove(QLatin1Char(')'));
    return out;
}

} // namespace tarnwick
