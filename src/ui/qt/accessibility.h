// What the windows tell the accessibility bus (a screen reader) beyond what Qt tells it by itself.
//
// Qt 6.4 announces on the bus when a control is shown, hidden, enabled, disabled or gets a new
// caption, but not when the lines of a list change: its item views keep their own accessible lines
// in step with the model, and no listener on the bus hears of it, so a screen reader goes on reading
// the old lines. The list boxes therefore announce each line they add or remove themselves.
#pragma once

class QListWidget;
class QString;
class QWidget;

namespace heatx::ui {

// Line `row` has just been added to the list: it is announced as a new child of the list.
void AnnounceLineAdded(QListWidget* list, int row);
// Line `row` is about to be removed from the list (call before removing it): it is announced as a
// child that goes.
void AnnounceLineRemoving(QListWidget* list, int row);

// Has a screen reader say `text` now, the focus staying where it is. Qt 6.4 has no announcement of
// its own: the window gets a notification (an invisible child of no size with the notification role)
// that is shown anew with each text; a screen reader speaks a notification as it shows.
void AnnounceOnWindow(QWidget* window, const QString& text);

}  // namespace heatx::ui
