// Conversions at the Qt boundary of the platform layer (used by its .cpp files only).
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string>

#include "ui/color.h"

namespace heatx::ui {

inline QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}

inline std::string FromQt(const QString& text) {
    return text.toStdString();
}

inline QColor ToQColor(Color color) {
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

inline Color FromQColor(const QColor& color) {
    return Rgb(color.red(), color.green(), color.blue());
}

// A window's or a control's font. The window fonts are mapped to faces that hold every character
// the windows show (Latin, Cyrillic and the typographic signs), so no other face is merged in for
// missing characters. The face standing for a Windows font is asked for by its own name: a family
// the font set does not hold makes Qt sort the whole set for fallbacks before it looks at the
// substitutes, and those sorts were a tenth of what the start screen costs to its first picture.
inline QFont MakeFont(const std::string& family, double points, bool bold, bool italic) {
    QFont font(QFont::substitute(ToQt(family)));
    font.setStyleStrategy(QFont::NoFontMerging);
    if (points > 0.0) {
        font.setPointSizeF(points);
    }
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

}  // namespace heatx::ui
