// The evaporator results window Form11: its design, the variation of the tube height, the printed
// report (rows, heads, the signature rule) and every way of leaving it, none of which may leave a
// printer document open.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>
#include <QWidget>
#include <algorithm>
#include <string>
#include <vector>

#include "evaporator_test_support.h"
#include "navigation/start_forms.h"
#include "reports/layout.h"
#include "reports/text.h"

namespace heatx::ui::testing {
namespace {

using EvaporatorResultsTest = EvaporatorTest;

// What the student must recognise: caption, colours (buttons exact), captions, the fixed-pitch font.
TEST_F(EvaporatorResultsTest, DesignAsLoaded) {
    Form11& f = Results();
    EXPECT_EQ(f.Caption(), "РАСЧЁТ ИСПАРИТЕЛЕЙ");
    EXPECT_EQ(f.BackColor(), Rgb(255, 255, 0));
    EXPECT_DOUBLE_EQ(f.Width(), 12000);

    struct ButtonDesign {
        ui::Button* button;
        const char* caption;
        Color color;
    };
    const std::vector<ButtonDesign> buttons = {
        {&f.Command1, "ПЕЧАТЬ РЕУЛЬТАТА ( F расч. < F норм. )", Rgb(0, 255, 0)},
        {&f.Command2, "ИЗМЕНЕНИЕ ВЫСОТЫ ТРУБ", Rgb(0, 255, 255)},
        {&f.Command3, "ИЗМЕНЕНИЕ МАССИВА ФИЗСВОЙСТВ", Rgb(0, 255, 255)},
        {&f.Command4, "ПЕРЕХОД К РАСЧЁТУ ДРУГОГО ТЕПЛООБМЕННИКА", Rgb(255, 192, 128)},
        {&f.Command5, "ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ", Rgb(255, 128, 128)},
    };
    for (const ButtonDesign& b : buttons) {
        SCOPED_TRACE(b.button->Name());
        EXPECT_EQ(b.button->Caption(), b.caption);
        EXPECT_EQ(b.button->BackColor(), b.color);
        // The exact colour is what is drawn, not a lightened gradient.
        const QColor drawn = PixelOf(WidgetOf(*b.button), WidgetOf(*b.button)->width() / 2, 4);
        EXPECT_EQ(Rgb(drawn.red(), drawn.green(), drawn.blue()), b.color);
    }

    EXPECT_EQ(f.Label1.ForeColor(), Rgb(128, 0, 0));
    EXPECT_EQ(f.Label2.ForeColor(), Rgb(0, 0, 192));
    for (ui::Label* label : {&f.Label1, &f.Label2}) {
        EXPECT_EQ(label->BackColor(), Rgb(255, 255, 0));
        const QFont font = WidgetOf(*label)->font();
        // "Courier", shown in the face that stands for it.
        EXPECT_EQ(QFontInfo(font).family().toStdString(), "Liberation Mono");
        EXPECT_DOUBLE_EQ(font.pointSizeF(), 9.75);
    }
}

TEST_F(EvaporatorResultsTest, TwoPrintsGiveOnePageHeadOneTableHeadAndTwoRows) {
    RunToResults("4");
    Press(PrintButton);
    EXPECT_EQ(data().ReportPrinted, kTrue);
    EXPECT_FALSE(Results().Command1.Visible()) << "one print per result";
    EXPECT_FALSE(Results().Command1.Press());

    dialogs.QueueInput("10");
    Press(HeightButton);
    EXPECT_EQ(Results().Label1.Caption(), "  ВЫСОТА ТРУБ 10 М");
    EXPECT_EQ(Results().Label2.Caption(), EvaporatorResultsHeading() + kResultsLineHeight10AfterChange);
    EXPECT_TRUE(Results().Command1.Visible()) << "a new result can be printed";
    Press(PrintButton);

    ASSERT_TRUE(printer().HasOpenDocument());
    EXPECT_TRUE(printer().Documents().empty()) << "the report stays open while the task goes on";
    const std::vector<std::string> lines = printer().Lines();
    EXPECT_EQ(CountLinesContaining(lines, kReportTitle), 1);
    EXPECT_EQ(CountLinesContaining(lines, "| ВЫСОТА |"), 1);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], kReportRowHeight4);
    EXPECT_EQ(lines[lines.size() - 1], kReportRowHeight10);
    EXPECT_EQ(lines[lines.size() - 7], kReportTableTop);
    EXPECT_EQ(printer().FontName(), "Courier New Cyr");
    EXPECT_FLOAT_EQ(printer().FontSize(), 9.0f);
    EXPECT_EQ(Beeps(), 0);
}

TEST_F(EvaporatorResultsTest, HeightChangeRefusedHeightsAskAgainOnYes) {
    RunToResults("4");
    dialogs.QueueCancel();
    dialogs.QueueYesNo(kYes);
    dialogs.QueueInput("0,5");
    dialogs.QueueYesNo(kYes);
    dialogs.QueueInput("1");
    bool hiddenWhileAsked = true;
    dialogs.OnOpen([this, &hiddenWhileAsked](const DialogCall&) {
        Form11& f = Results();
        hiddenWhileAsked = hiddenWhileAsked && !f.Command1.Visible() && !f.Command5.Visible() &&
                           !f.Label1.Visible() && !f.Label2.Visible();
    });
    Press(HeightButton);

    ASSERT_FALSE(platform.Ended());
    EXPECT_TRUE(hiddenWhileAsked);
    EXPECT_EQ(dialogs.CallsOf(DialogKind::YesNo).size(), 2u);
    EXPECT_EQ(dialogs.CallsOf(DialogKind::YesNo)[0].prompt, kTubeHeightQuestion);
    EXPECT_EQ(Beeps(), 2);
    EXPECT_EQ(Results().Label1.Caption(), "  ВЫСОТА ТРУБ 1 М");
    EXPECT_EQ(Results().Label2.Caption(),
              EvaporatorResultsHeading() +
                  "  10751.62            8742.11           1454.61          12.43          ");
}

TEST_F(EvaporatorResultsTest, HeightChangeThatFailsKeepsTheOldHeightAndHidesThePrintButton) {
    RunToResults("4");
    data().Values[12] = 0.01f;  // the method now fails whatever the height
    dialogs.QueueInput("10");
    dialogs.QueueYesNo(kYes);
    Press(HeightButton);

    ASSERT_FALSE(platform.Ended());
    EXPECT_EQ(Beeps(), 2);
    EXPECT_EQ(dialogs.CallsOf(DialogKind::YesNo).at(0).prompt, kFailureQuestion);
    Form11& f = Results();
    EXPECT_EQ(f.Label1.Caption(), "  ВЫСОТА ТРУБ 4 М") << "the height of the last shown result";
    EXPECT_TRUE(f.Label1.Visible());
    EXPECT_FALSE(f.Label2.Visible());
    EXPECT_FALSE(f.Command1.Visible());
    EXPECT_TRUE(f.Command2.Visible() && f.Command3.Visible() && f.Command4.Visible() && f.Command5.Visible());

    // With sound data again a new height gives a result that can be printed.
    data().Values[12] = 55.6f;
    dialogs.QueueInput("4");
    Press(HeightButton);
    EXPECT_TRUE(Results().Command1.Visible());
    EXPECT_EQ(Results().Label2.Caption(),
              EvaporatorResultsHeading() +
                  "  10166.39            5681.11           1325.06          13.64          ");
}

TEST_F(EvaporatorResultsTest, PropertyChangeListsTheDataAndRepeatsTheHeadsOnTheNextPrint) {
    RunToResults("4");
    Press(PrintButton);
    Press(PropertiesButton);

    ASSERT_FALSE(platform.Ended());
    EXPECT_EQ(data().ReportHeadPending, kTrue);
    EXPECT_EQ(data().TableHeadPending, kTrue);
    EXPECT_TRUE(printer().HasOpenDocument()) << "the report is not ended here";
    EXPECT_EQ(LoadedWindowNames(platform), (std::vector<std::string>{"Form11", "Form10"}));
    EXPECT_FALSE(Results().Visible());

    Form10& source = platform.Forms().Get<Form10>();
    EXPECT_TRUE(source.Visible());
    EXPECT_TRUE(source.List1.Visible());
    EXPECT_TRUE(source.Label3.Visible());
    EXPECT_FALSE(source.Command1.Visible());
    EXPECT_FALSE(source.Command2.Visible());
    EXPECT_FALSE(source.Command3.Visible());
    ASSERT_EQ(source.List1.ListCount(), kEvaporatorSourceCount);
    for (int i = 0; i < kEvaporatorSourceCount; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        EXPECT_EQ(source.List1.List(i),
                  SourceLine(data().EvaporatorLabels[slot], data().EvaporatorTexts[slot], 62));
    }
    // The value text starts right after the 62 characters of the padded label.
    EXPECT_EQ(CharLength(source.List1.List(12)), 62u + 4u);
    EXPECT_EQ(source.List1.List(12).substr(source.List1.List(12).size() - 4), "55.6");

    // A corrected property and a new run: the next print starts with a new page head and table head.
    data().EvaporatorTexts[12] = "50";
    data().Values[12] = 50.0f;
    dialogs.QueueInput("4");
    Run([this] { RunEvaporator(run); });
    Press(PrintButton);

    const std::vector<std::string> lines = printer().Lines();
    EXPECT_EQ(CountLinesContaining(lines, kReportTitle), 2);
    EXPECT_EQ(CountLinesContaining(lines, "| ВЫСОТА |"), 2);
    const std::string label12 = data().EvaporatorLabels[12];
    const std::string margin(12, ' ');
    EXPECT_EQ(std::count(lines.begin(), lines.end(), margin + label12 + PadBlanks(label12, 65) + "55.6"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), margin + label12 + PadBlanks(label12, 65) + "50"), 1)
        << "the second page lists the corrected value";
    EXPECT_TRUE(printer().Documents().empty()) << "one document for the whole task";
}

TEST_F(EvaporatorResultsTest, OtherKindAfterPrintingClosesTheReportWithTheSignatureRule) {
    RunToResults("4");
    Press(PrintButton);
    Press(OtherKindButton);

    ASSERT_FALSE(platform.Ended());
    EXPECT_FALSE(printer().HasOpenDocument());
    ASSERT_EQ(printer().Documents().size(), 1u);
    const std::vector<std::string>& doc = printer().Documents()[0];
    EXPECT_TRUE(EndsWithSignature(doc));
    EXPECT_EQ(doc[doc.size() - 5], kReportRowHeight4);
    EXPECT_EQ(data().ReportHeadPending, kFalse);
    EXPECT_EQ(data().TableHeadPending, kTrue);
    EXPECT_FALSE(Results().Visible());
    EXPECT_TRUE(platform.Forms().Get<Form4>().Visible());
}

TEST_F(EvaporatorResultsTest, OtherKindWithoutPrintingSendsNothingToThePrinter) {
    RunToResults("4");
    Press(OtherKindButton);
    EXPECT_FALSE(printer().HasOpenDocument());
    EXPECT_TRUE(printer().Documents().empty());
    EXPECT_TRUE(printer().Lines().empty());
    EXPECT_TRUE(platform.Forms().Get<Form4>().Visible());
}

TEST_F(EvaporatorResultsTest, EndButtonClosesTheReportOnlyWhenSomethingWasPrinted) {
    {
        TestPlatform fresh;
        StartReferenceTask(fresh.run.data);
        fresh.dialogs.QueueInput("4");
        RunInEventLoop(fresh.platform, [&] { RunEvaporator(fresh.run); });
        RunInEventLoop(fresh.platform, [&] { fresh.platform.Forms().Get<Form11>().Command5.Press(); });
        EXPECT_TRUE(fresh.platform.Ended());
        EXPECT_TRUE(fresh.printer.Documents().empty()) << "nothing printed, nothing sent";
    }
    RunToResults("4");
    Press(PrintButton);
    Press(EndButton);
    EXPECT_TRUE(platform.Ended());
    EXPECT_EQ(platform.ExitCode(), 0);
    EXPECT_FALSE(printer().HasOpenDocument());
    ASSERT_EQ(printer().Documents().size(), 1u);
    EXPECT_TRUE(EndsWithSignature(printer().Documents()[0]));
}

TEST_F(EvaporatorResultsTest, CloseButtonEndsTheRunLikeTheEndButton) {
    RunToResults("4");
    Press(PrintButton);
    Run([this] { WidgetOf(Results())->close(); });
    EXPECT_TRUE(platform.Ended());
    EXPECT_FALSE(printer().HasOpenDocument());
    ASSERT_EQ(printer().Documents().size(), 1u);
    EXPECT_TRUE(EndsWithSignature(printer().Documents()[0]));
}

// Every No answer ends the run at once; a report that was printed is ended, not lost.
TEST_F(EvaporatorResultsTest, NoAnswersAfterPrintingLeaveNoDocumentOpen) {
    struct Path {
        const char* name;
        std::function<void(TestPlatform&)> script;
    };
    const std::vector<Path> paths = {
        {"refused height on a height change",
         [](TestPlatform& t) {
             t.dialogs.QueueInput("11");
             t.dialogs.QueueYesNo(kNo);
             RunInEventLoop(t.platform, [&] { t.platform.Forms().Get<Form11>().Command2.Press(); });
         }},
        {"failed calculation on a height change",
         [](TestPlatform& t) {
             t.run.data.Values[12] = 0.01f;
             t.dialogs.QueueInput("5");
             t.dialogs.QueueYesNo(kNo);
             RunInEventLoop(t.platform, [&] { t.platform.Forms().Get<Form11>().Command2.Press(); });
         }},
        {"refused height after a property change",
         [](TestPlatform& t) {
             RunInEventLoop(t.platform, [&] { t.platform.Forms().Get<Form11>().Command3.Press(); });
             t.dialogs.QueueCancel();
             t.dialogs.QueueYesNo(kNo);
             RunInEventLoop(t.platform, [&] { RunEvaporator(t.run); });
         }},
        {"failed calculation after a property change",
         [](TestPlatform& t) {
             RunInEventLoop(t.platform, [&] { t.platform.Forms().Get<Form11>().Command3.Press(); });
             t.run.data.Values[12] = 0.01f;
             t.dialogs.QueueInput("4");
             t.dialogs.QueueYesNo(kNo);
             RunInEventLoop(t.platform, [&] { RunEvaporator(t.run); });
         }},
    };
    for (const Path& path : paths) {
        SCOPED_TRACE(path.name);
        TestPlatform t;
        StartReferenceTask(t.run.data);
        t.dialogs.QueueInput("4");
        RunInEventLoop(t.platform, [&] { RunEvaporator(t.run); });
        RunInEventLoop(t.platform, [&] { t.platform.Forms().Get<Form11>().Command1.Press(); });
        ASSERT_TRUE(t.printer.HasOpenDocument());

        path.script(t);

        EXPECT_TRUE(t.platform.Ended());
        EXPECT_EQ(t.dialogs.Unexpected(), 0) << t.dialogs.UnexpectedReport();
        EXPECT_FALSE(t.printer.HasOpenDocument());
        ASSERT_EQ(t.printer.Documents().size(), 1u);
        EXPECT_EQ(t.printer.Documents()[0].back(), kReportRowHeight4) << "the printed row is kept";
    }
}

}  // namespace
}  // namespace heatx::ui::testing
