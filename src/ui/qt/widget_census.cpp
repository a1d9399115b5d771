#include "ui/qt/widget_census.h"

#include <unistd.h>
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSocketNotifier>
#include <QWidget>
#include <cstdlib>
#include <string>

namespace heatx::ui {

namespace {

// A caption as the bus names it: single '&' (keyboard marks) left out, "&&" read as '&'.
QString WithoutMarks(const QString& text) {
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('&')) {
                out.append(QLatin1Char('&'));
                ++i;
            }
            continue;
        }
        out.append(text.at(i));
    }
    return out;
}

void AddControl(QJsonArray& controls, const QString& role, const QString& name) {
    controls.append(QJsonArray{role, name});
}

QJsonObject WindowCensus(QWidget* window) {
    QJsonArray controls;
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (!child->isVisible() || child->window() != window) {
            continue;
        }
        if (const auto* button = qobject_cast<const QPushButton*>(child)) {
            AddControl(
                controls, QStringLiteral("push button"),
                button->accessibleName().isEmpty() ? WithoutMarks(button->text()) : button->accessibleName());
        } else if (const auto* label = qobject_cast<const QLabel*>(child)) {
            AddControl(
                controls, QStringLiteral("label"),
                label->accessibleName().isEmpty() ? WithoutMarks(label->text()) : label->accessibleName());
        } else if (const auto* list = qobject_cast<const QListWidget*>(child)) {
            AddControl(controls, QStringLiteral("list"), list->accessibleName());
            for (int i = 0; i < list->count(); ++i) {
                const QString spoken = list->item(i)->data(Qt::AccessibleTextRole).toString();
                AddControl(controls, QStringLiteral("list item"),
                           spoken.isEmpty() ? list->item(i)->text() : spoken);
            }
        } else if (qobject_cast<const QLineEdit*>(child) != nullptr) {
            AddControl(controls, QStringLiteral("text"), QString());
        }
    }
    // A window's spoken name where it has one, as the bus names it.
    const QString title =
        window->accessibleName().isEmpty() ? window->windowTitle() : window->accessibleName();
    return QJsonObject{{"title", title}, {"controls", controls}};
}

QByteArray Census() {
    QJsonArray windows;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible()) {
            windows.append(WindowCensus(top));
        }
    }
    return QJsonDocument(windows).toJson(QJsonDocument::Compact) + '\n';
}

}  // namespace

void InstallWidgetCensus() {
    const char* fds = std::getenv("HEATX_WIDGET_CENSUS_FDS");
    if (fds == nullptr) {
        return;
    }
    const std::string text(fds);
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) {
        return;
    }
    const int in = std::atoi(text.substr(0, comma).c_str());
    const int out = std::atoi(text.substr(comma + 1).c_str());
    if (in < 0 || out < 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(in, QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, in, out] {
        char buffer[256];
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got <= 0) {
            notifier->setEnabled(false);
            return;
        }
        const QByteArray answer = Census();
        qsizetype written = 0;
        while (written < answer.size()) {
            const ssize_t n =
                ::write(out, answer.constData() + written, static_cast<size_t>(answer.size() - written));
            if (n <= 0) {
                return;
            }
            written += n;
        }
    });
}

}  // namespace heatx::ui
