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
// missing characters: Qt then finds the face without sorting the whole font set for fallbacks,
// which is most of what the first text of the start screen costs.
inline QFont MakeFont(const std::string& family, double points, bool bold, bool italic) {
    QFont font(ToQt(family));
    font.setStyleStrategy(QFont::NoFontMerging);
    if (points > 0.0) {
        font.setPointSizeF(points);
    }
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

}  // namespace heatx::ui
