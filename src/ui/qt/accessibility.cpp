#include "ui/qt/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QListWidget>
#include <QWidget>

namespace heatx::ui {

namespace {

// Sends `event` (ObjectCreated or ObjectDestroyed) for the accessible line `row` of the list; the
// bridge turns it into "children-changed" on the list for every listener.
void AnnounceLine(QListWidget* list, int row, QAccessible::Event event) {
    if (list == nullptr || !QAccessible::isActive()) {
        return;
    }
    QAccessibleInterface* accessibleList = QAccessible::queryAccessibleInterface(list);
    if (accessibleList == nullptr || row < 0 || row >= accessibleList->childCount()) {
        return;
    }
    if (QAccessibleInterface* line = accessibleList->child(row)) {
        QAccessibleEvent announcement(line, event);
        QAccessible::updateAccessibility(&announcement);
    }
}

constexpr const char* kAnnouncerName = "heatxAnnouncement";

// The notification of a window: its text is its name.
class Announcer : public QWidget {
  public:
    explicit Announcer(QWidget* parent) : QWidget(parent) {
        setObjectName(QString::fromLatin1(kAnnouncerName));
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(0, 0, 0, 0);
    }
};

class AnnouncerAccessible : public QAccessibleWidget {
  public:
    explicit AnnouncerAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Notification) {}
};

QAccessibleInterface* AnnouncerFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("QWidget") && object != nullptr &&
        object->objectName() == QLatin1String(kAnnouncerName) &&
        dynamic_cast<Announcer*>(object) != nullptr) {
        return new AnnouncerAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}

}  // namespace

void AnnounceOnWindow(QWidget* window, const QString& text) {
    if (window == nullptr || text.isEmpty()) {
        return;
    }
    static const bool installed = [] {
        QAccessible::installFactory(AnnouncerFactory);
        return true;
    }();
    (void)installed;
    auto* announcer =
        window->findChild<Announcer*>(QString::fromLatin1(kAnnouncerName), Qt::FindDirectChildrenOnly);
    if (announcer == nullptr) {
        announcer = new Announcer(window);
    }
    announcer->hide();
    announcer->setAccessibleName(text);
    announcer->show();
}

void AnnounceLineAdded(QListWidget* list, int row) {
    AnnounceLine(list, row, QAccessible::ObjectCreated);
}

void AnnounceLineRemoving(QListWidget* list, int row) {
    AnnounceLine(list, row, QAccessible::ObjectDestroyed);
}

}  // namespace heatx::ui
