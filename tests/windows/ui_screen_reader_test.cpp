// What a screen reader learns from the windows through Qt's accessibility interfaces: the error
// dialogs are alerts, every window has a spoken name, results are named with their headings and
// units, a list under review is read from the keyboard without choosing, and a list that loses the
// focus leaves no line focused. (Orca itself is heard in tests/e2e: e2e.screen_reader.)
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QTest>

#include "navigation/start_forms.h"
#include "source_data/source_data_forms.h"
#include "window_test_support.h"

namespace heatx::ui::testing {
namespace {

class ScreenReaderTest : public WindowTest {};

QAccessibleInterface* Accessible(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget);
}

TEST_F(ScreenReaderTest, ErrorDialogsAreAlertsAndTheMenuHasASpokenNameBesideItsCaption) {
    Form8& dialog = platform.Forms().Get<Form8>();
    EXPECT_EQ(Accessible(WidgetOf(dialog))->role(), QAccessible::AlertMessage);
    EXPECT_EQ(Accessible(WidgetOf(dialog))->text(QAccessible::Name).toStdString(), "Внимание !");

    Form4& menu = platform.Forms().Get<Form4>();
    EXPECT_EQ(WidgetOf(menu)->windowTitle().toStdString(), "Form4") << "the caption on the screen stays";
    EXPECT_EQ(Accessible(WidgetOf(menu))->text(QAccessible::Name).toStdString(),
              "БИБЛИОТЕКА ПРОГРАММ. Выбор теплообменника");
    EXPECT_EQ(Accessible(WidgetOf(menu))->role(), QAccessible::Window);
}

TEST_F(ScreenReaderTest, AListUnderReviewIsReadLineByLineAndChoosesNothingAndLeavesNoLineFocused) {
    Form10& source = platform.Forms().Get<Form10>();
    source.List1.Clear();
    for (const char* line : {"A 1", "B 2", "C 3"}) {
        source.List1.AddItem(line);
    }
    int chosen = 0;
    source.List1.OnClick([&chosen] { ++chosen; });
    source.List1.SetEnabled(false);  // the review state
    source.Show();
    QApplication::setActiveWindow(WidgetOf(source));
    auto* list = static_cast<QListWidget*>(WidgetOf(source.List1));
    EXPECT_NE(list->focusPolicy() & Qt::TabFocus, 0) << "Tab reaches the list under review";

    list->setFocus(Qt::TabFocusReason);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->currentRow(), 2)
        << "the arrow keys move through the lines (from the first, taken with the focus)";
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(chosen, 0) << "a list under review chooses nothing";

    // The focus goes on: no line of the list tells the bus that it is focused any more.
    WidgetOf(source.Command1)->setFocus(Qt::TabFocusReason);
    QAccessibleInterface* lines = Accessible(list);
    for (int i = 0; i < lines->childCount(); ++i) {
        EXPECT_FALSE(lines->child(i)->state().focused) << "line " << i;
    }
    list->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(list->currentRow(), 2) << "the keyboard's line comes back with the focus";
}

TEST_F(ScreenReaderTest, AFaultyLineIsNamedWithItsFaultUntilItIsReplaced) {
    Form10& source = platform.Forms().Get<Form10>();
    source.List1.Clear();
    source.List1.AddItem("A 0.9");
    source.List1.AddItem("B 2");
    source.List1.SetLineNote(0, "Ошибка.");
    auto* list = static_cast<QListWidget*>(WidgetOf(source.List1));
    EXPECT_EQ(Accessible(list)->child(0)->text(QAccessible::Name).toStdString(), "A 0.9. Ошибка.");
    EXPECT_EQ(list->item(0)->text().toStdString(), "A 0.9") << "the screen shows the line as it was";
    source.List1.RemoveItem(0);
    source.List1.AddItem("A 0.683", 0);
    EXPECT_TRUE(list->item(0)->data(Qt::AccessibleTextRole).isNull()) << "the new line is named by its text";
}

}  // namespace
}  // namespace heatx::ui::testing
