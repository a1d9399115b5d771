// The accessibility probe: one small window put through the lifecycle steps of the program's
// windows and controls, one step per line read from standard input, so that a driver on the
// accessibility bus can compare the tree with what is on the screen after each step.
//
// Each input line is "STEP MODE"; MODE "plain" does the step with Qt alone, as the windows did it
// before; MODE "announced" lets go of a window's controls by their own handlers only and announces
// a list's new lines (ui/accessibility.h), as the platform layer does now. After the
// step and the events it caused, one line goes to standard output:
//     done STEP {"title": ..., "controls": [[role, name], ...]}
// with the visible controls of the visible probe window (or dialog), as Qt's widgets see them.
//
// Steps:
//   reload      the window unloaded (hidden, deleted later) and created again under the same title
//   reload-now  the same, the old window deleted at once
//   detached    the same, after the handlers of the old window's controls were disconnected from
//               their widgets (plain: every connection of the widget, announced: the handler's own)
//   late-show   a control created hidden and shown after its window
//   hide-show   a control hidden and shown again
//   caption     a button's caption changed
//   label       a label's caption changed
//   enable      a control disabled and enabled again
//   list        the list's lines replaced
//   dialog      a new input box shown over the window (a new object each time), then closed
//   window      the window hidden and shown again
#include <unistd.h>
#include <QApplication>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <string>

#include "ui/qt/accessibility.h"

namespace {

const QString kTitle = QStringLiteral("Проба");

class ProbeWindow : public QWidget {
  public:
    explicit ProbeWindow(bool announced) : QWidget(nullptr, Qt::Window), announced_(announced) {
        setWindowTitle(kTitle);
        setGeometry(40, 40, 500, 400);
        for (int i = 0; i < 3; ++i) {
            auto* button = new QPushButton(this);
            button->setText(QStringLiteral("КНОПКА %1").arg(i + 1));
            button->setAccessibleName(button->text());
            button->setGeometry(20 + 150 * i, 20, 140, 30);
            buttons[i] = button;
            handlers[i] = QObject::connect(button, &QPushButton::clicked, [] {});
        }
        label = new QLabel(this);
        label->setText(QStringLiteral("Надпись 0"));
        label->setGeometry(20, 70, 300, 20);
        late = new QPushButton(this);
        late->setText(QStringLiteral("ПОЗДНЯЯ"));
        late->setAccessibleName(late->text());
        late->setGeometry(20, 100, 140, 30);
        late->setVisible(false);
        list = new QListWidget(this);
        list->setGeometry(20, 140, 300, 200);
        list->addItem(QStringLiteral("строка 0"));
    }

    void ShowWindow() { show(); }
    void SetControlVisible(QWidget* control, bool visible) { control->setVisible(visible); }
    void SetButtonCaption(QPushButton* button, const QString& text) {
        button->setText(text);
        button->setAccessibleName(text);
    }
    void SetLabelCaption(const QString& text) { label->setText(text); }
    void SetControlEnabled(QWidget* control, bool enabled) { control->setEnabled(enabled); }
    void ReplaceLines(int generation) {
        if (announced_) {
            for (int i = list->count() - 1; i >= 0; --i) {
                heatx::ui::AnnounceLineRemoving(list, i);
            }
        }
        list->clear();
        for (int i = 0; i < 3; ++i) {
            list->addItem(QStringLiteral("строка %1.%2").arg(generation).arg(i));
            if (announced_) {
                heatx::ui::AnnounceLineAdded(list, i);
            }
        }
    }

    // The old window's controls are let go of: their click handlers disconnected.
    void DetachHandlers() {
        for (int i = 0; i < 3; ++i) {
            if (announced_) {
                QObject::disconnect(handlers[i]);
            } else {
                buttons[i]->disconnect();
            }
        }
        if (!announced_) {
            label->disconnect();
            late->disconnect();
            list->disconnect();
        }
    }

    QPushButton* buttons[3] = {};
    QMetaObject::Connection handlers[3];
    QLabel* label = nullptr;
    QPushButton* late = nullptr;
    QListWidget* list = nullptr;

  private:
    bool announced_;
};

QString RoleOf(const QWidget* widget) {
    if (qobject_cast<const QPushButton*>(widget) != nullptr) {
        return QStringLiteral("push button");
    }
    if (qobject_cast<const QLabel*>(widget) != nullptr) {
        return QStringLiteral("label");
    }
    if (qobject_cast<const QListWidget*>(widget) != nullptr) {
        return QStringLiteral("list");
    }
    if (qobject_cast<const QLineEdit*>(widget) != nullptr) {
        return QStringLiteral("text");
    }
    return {};
}

QString NameOf(const QWidget* widget) {
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        return button->accessibleName().isEmpty() ? QString(button->text()).remove(QLatin1Char('&'))
                                                  : button->accessibleName();
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    return {};
}

// The visible controls of a visible top-level window, as Qt's widgets see them.
QJsonObject Census(QWidget* window) {
    QJsonArray controls;
    if (window != nullptr && window->isVisible()) {
        for (QWidget* child : window->findChildren<QWidget*>()) {
            const QString role = RoleOf(child);
            if (role.isEmpty() || !child->isVisible() || child->window() != window) {
                continue;
            }
            controls.append(QJsonArray{role, NameOf(child)});
        }
        if (auto* list = window->findChild<QListWidget*>()) {
            for (int i = 0; i < list->count(); ++i) {
                controls.append(QJsonArray{QStringLiteral("list item"), list->item(i)->text()});
            }
        }
    }
    return QJsonObject{{"title", window != nullptr ? window->windowTitle() : QString()},
                       {"controls", controls}};
}

class Probe {
  public:
    Probe() : notifier_(STDIN_FILENO, QSocketNotifier::Read) {
        QObject::connect(&notifier_, &QSocketNotifier::activated, [this] { ReadLine(); });
    }

  private:
    void ReadLine() {
        std::string line;
        if (!std::getline(std::cin, line)) {
            QCoreApplication::exit(0);
            return;
        }
        const QStringList parts = QString::fromStdString(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() != 2) {
            return;
        }
        const QString step = parts.at(0);
        const bool announced = parts.at(1) == QLatin1String("announced");
        QWidget* shown = Run(step, announced);
        // Report after the events the step caused, as a person would look at the screen afterwards.
        QTimer::singleShot(50, [step, shown, this] {
            QWidget* target = shown != nullptr ? shown : window_;
            const QByteArray census = QJsonDocument(Census(target)).toJson(QJsonDocument::Compact);
            std::printf("done %s %s\n", step.toUtf8().constData(), census.constData());
            std::fflush(stdout);
        });
    }

    void Fresh(bool announced, bool deleteNow, bool detach = false) {
        if (window_ != nullptr) {
            if (detach) {
                window_->DetachHandlers();
            }
            window_->hide();
            if (deleteNow) {
                delete window_;
            } else {
                window_->deleteLater();
            }
        }
        window_ = new ProbeWindow(announced);
        window_->ShowWindow();
    }

    QWidget* Run(const QString& step, bool announced) {
        if (window_ == nullptr || step == QLatin1String("reload")) {
            Fresh(announced, false);
        } else if (step == QLatin1String("reload-now")) {
            Fresh(announced, true);
        } else if (step == QLatin1String("detached")) {
            Fresh(announced, false, true);
        }
        ++generation_;
        ProbeWindow& w = *window_;
        if (step == QLatin1String("late-show")) {
            Fresh(announced, false);
            ProbeWindow& fresh = *window_;
            QTimer::singleShot(0, &fresh, [&fresh] { fresh.SetControlVisible(fresh.late, true); });
        } else if (step == QLatin1String("hide-show")) {
            w.SetControlVisible(w.buttons[1], false);
            QTimer::singleShot(0, &w, [&w] { w.SetControlVisible(w.buttons[1], true); });
        } else if (step == QLatin1String("caption")) {
            w.SetButtonCaption(w.buttons[2], QStringLiteral("КНОПКА 3.%1").arg(generation_));
        } else if (step == QLatin1String("label")) {
            w.SetLabelCaption(QStringLiteral("Надпись %1").arg(generation_));
        } else if (step == QLatin1String("enable")) {
            w.SetControlEnabled(w.buttons[0], false);
            QTimer::singleShot(0, &w, [&w] { w.SetControlEnabled(w.buttons[0], true); });
        } else if (step == QLatin1String("list")) {
            w.ReplaceLines(generation_);
        } else if (step == QLatin1String("window")) {
            w.hide();
            w.ShowWindow();
        } else if (step == QLatin1String("dialog")) {
            if (dialog_ != nullptr) {
                dialog_->hide();
                dialog_->deleteLater();
            }
            dialog_ = new QInputDialog;
            dialog_->setWindowTitle(QStringLiteral("Ввод %1").arg(generation_));
            dialog_->setLabelText(QStringLiteral("Значение %1").arg(generation_));
            dialog_->setOkButtonText(QStringLiteral("OK"));
            dialog_->setCancelButtonText(QStringLiteral("Отмена"));
            dialog_->move(60, 60);
            dialog_->show();
            return dialog_;
        }
        if (dialog_ != nullptr) {
            dialog_->hide();
            dialog_->deleteLater();
            dialog_ = nullptr;
        }
        return nullptr;
    }

    QSocketNotifier notifier_;
    ProbeWindow* window_ = nullptr;
    QInputDialog* dialog_ = nullptr;
    int generation_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Probe probe;
    std::printf("ready\n");
    std::fflush(stdout);
    return QApplication::exec();
}
