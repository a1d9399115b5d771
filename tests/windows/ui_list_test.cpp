// List boxes: lines appended, inserted and removed in place, the selected index, and the click
// handler that runs at once when the program selects a line.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "window_test_support.h"

namespace heatx::ui::testing {
namespace {

class ListWindow : public Form {
  public:
    explicit ListWindow(Platform& platform) : Form(platform, "ListWindow") {
        Move(100, 100, 10000, 8000);
        SetFont("Courier", 9.75);
        List1.Move(500, 1200, 9000, 3000);
        List1.OnClick([this] { List1_Click(); });
    }
    // Like a correction of one line: read the index, replace the line in place.
    void List1_Click() {
        const int i = List1.ListIndex();
        seen.push_back(i);
        if (replaceOnClick) {
            List1.RemoveItem(i);
            List1.AddItem("corrected " + std::to_string(i), i);
        }
    }
    ListBox& List1 = AddList("List1");
    std::vector<int> seen;
    bool replaceOnClick = false;
};

std::vector<std::string> Lines(const ListBox& list) {
    std::vector<std::string> lines;
    for (int i = 0; i < list.ListCount(); ++i) {
        lines.push_back(list.List(i));
    }
    return lines;
}

class ListTest : public WindowTest {
  protected:
    void SetUp() override {
        platform.OverrideLogicalDpi(96, 96);
        form = &platform.Forms().Get<ListWindow>();
        for (const char* line : {"line 0", "line 1", "line 2"}) {
            form->List1.AddItem(line);
        }
    }
    ListWindow* form = nullptr;
};

TEST_F(ListTest, InsertAndRemoveKeepTheOtherLinesInPlace) {
    form->List1.RemoveItem(1);
    form->List1.AddItem("new 1", 1);
    form->List1.AddItem("appended", 99);
    EXPECT_EQ(Lines(form->List1), (std::vector<std::string>{"line 0", "new 1", "line 2", "appended"}));
    form->List1.Clear();
    EXPECT_EQ(form->List1.ListCount(), 0);
    EXPECT_EQ(form->List1.List(0), "");
}

TEST_F(ListTest, SettingTheIndexRunsTheClickHandlerBeforeReturning) {
    EXPECT_EQ(form->List1.ListIndex(), -1);
    form->replaceOnClick = true;
    form->List1.SetListIndex(2);
    EXPECT_EQ(form->seen, (std::vector<int>{2})) << "handler saw the new index";
    EXPECT_EQ(Lines(form->List1), (std::vector<std::string>{"line 0", "line 1", "corrected 2"}));
    EXPECT_EQ(form->List1.ListIndex(), -1) << "removing the selected line leaves none selected";

    form->List1.SetListIndex(-1);
    EXPECT_EQ(form->seen.size(), 1u) << "clearing the selection is no click";
}

TEST_F(ListTest, SettingTheIndexInsideAHandlerRunsTheClickNested) {
    // The cooler's error dialog selects the faulty line from its own button handler.
    Button* yes = nullptr;
    struct Dialog : Form {
        explicit Dialog(Platform& p) : Form(p, "Dialog") {}
        Button& Command1 = AddButton("Command1");
    };
    Dialog& dialog = platform.Forms().Get<Dialog>();
    yes = &dialog.Command1;
    std::vector<std::string> order;
    form->List1.OnClick([&] { order.push_back("list click " + std::to_string(form->List1.ListIndex())); });
    yes->OnClick([&] {
        form->List1.SetListIndex(1);
        order.push_back("after SetListIndex");
    });
    RunInEventLoop(platform, [&] { yes->Click(); });
    EXPECT_EQ(order, (std::vector<std::string>{"list click 1", "after SetListIndex"}));
}

TEST_F(ListTest, AClickOnALineRunsTheHandlerOnlyWhileTheListIsEnabled) {
    form->Show();
    auto* list = static_cast<QListWidget*>(WidgetOf(form->List1));
    const QPoint line1 = list->visualItemRect(list->item(1)).center();

    form->List1.SetEnabled(false);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, line1);
    EXPECT_TRUE(form->seen.empty());

    form->List1.SetEnabled(true);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, line1);
    EXPECT_EQ(form->seen, (std::vector<int>{1}));
}

TEST_F(ListTest, LinesAreOneRowApartLikePrintedText) {
    form->Show();
    auto* list = static_cast<QListWidget*>(WidgetOf(form->List1));
    const int row = platform.TwipsToPixelsY(195);
    EXPECT_EQ(list->visualItemRect(list->item(1)).top() - list->visualItemRect(list->item(0)).top(), row);
    EXPECT_EQ(list->visualItemRect(list->item(0)).height(), row);
    EXPECT_EQ(QFontInfo(list->font()).family().toStdString(), "Liberation Mono") << "the window's font";
}

}  // namespace
}  // namespace heatx::ui::testing
