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

inline QFont MakeFont(const std::string& family, double points, bool bold, bool italic) {
    QFont font(ToQt(family));
    if (points > 0.0) {
        font.setPointSizeF(points);
    }
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

}  // namespace heatx::ui
