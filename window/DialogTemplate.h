#pragma once
#include <span>

#include "window/Geometry.h"

// What a control of the main dialog is; the view makes its own widget of it.
enum class ControlKind {
    Label,  // static text
    Link,   // static text followed as a link
    CheckBox,
    List,       // the report list
    Html,       // the details panel
    Button,     // push button, disabled at start
    ClickText,  // static text that reports clicks
    ClickIcon,  // icon that reports clicks
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;
    Rect dlu;  // position and size in dialog units
    bool rightAligned = false;
    unsigned icon = 0;  // ClickIcon: its icon resource
};

// The main dialog: its size in dialog units, caption, and its controls in
// tab order.
inline constexpr Size kDialogSizeDlu{581, 456};
inline constexpr const char* kDialogCaption = "Loadwatch";
inline constexpr int kDialogFontPoints = 8;
std::span<const ControlTemplate> DialogTemplate();
const ControlTemplate* FindControlTemplate(int id);
