#include "ui/qt/app_icon.h"

#include <QGuiApplication>
#include <QIcon>
#include <QString>

namespace heatx::ui {

void InstallApplicationIcon() {
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/heatx/heatx.svg")));
}

}  // namespace heatx::ui
