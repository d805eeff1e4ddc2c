#pragma once
// A window's widgets made from its layout table: each control as the Qt
// widget of its kind, named, captioned and placed in twips on the widget it
// sits on, labels as plain text. What only Qt has (fonts, alignment,
// colours) the window adds.
#include "forms/ControlLayout.h"

#include <QWidget>

#include <functional>
#include <map>
#include <string>

namespace tarnwick {

class LayoutWidgets {
public:
    // Makes the window's own widget for the list kinds, the tab strip and
    // its pages, which each window builds its own way.
    using MakeCustom = std::function<QWidget*(const ControlPlace& control, QWidget* parent)>;

    // Also titles the window and fixes its size. Throws std::logic_error for
    // a control on a container not made before it, or of a kind nothing
    // makes: a fault in the table, found the first time the window opens.
    LayoutWidgets(QWidget& window, const WindowLayout& layout, const MakeCustom& custom = {});

    // The widget of that control; nullptr for a name the table lacks.
    QWidget* Find(const std::string& name) const;
    template <class T> T* Get(const std::string& name) const { return qobject_cast<T*>(Find(name)); }

    // The Qt name of a control: "lab(3)" is "lab3".
    static QString ObjectName(const char* name);

private:
    std::map<std::string, QWidget*> widgets_;
};

} // namespace tarnwick
