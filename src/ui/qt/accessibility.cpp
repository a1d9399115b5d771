#include "ui/qt/accessibility.h"

#include <QAccessible>
#include <QListWidget>

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

}  // namespace

void AnnounceLineAdded(QListWidget* list, int row) {
    AnnounceLine(list, row, QAccessible::ObjectCreated);
}

void AnnounceLineRemoving(QListWidget* list, int row) {
    AnnounceLine(list, row, QAccessible::ObjectDestroyed);
}

}  // namespace heatx::ui
