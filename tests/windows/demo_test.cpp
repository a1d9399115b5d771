// The demonstration mode: every input box of a task offers the reference value, so that the whole
// road can be shown by pressing Enter; without it the boxes start empty.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "design_data/design_data.h"
#include "results/results_forms.h"
#include "source_data_test_support.h"

namespace heatx::ui::testing {
namespace {

// Answers every input box with its own default text, as a teacher pressing Enter; Yes to questions.
void PressEnterEverywhere(ScriptedDialogs& dialogs) {
    dialogs.SetResponder([](const DialogCall& call) -> std::optional<ScriptedAnswer> {
        if (call.kind == DialogKind::Input) {
            return ScriptedAnswer::Input(call.defaultText);
        }
        return ScriptedAnswer::YesNo(kYes);
    });
}

std::vector<std::string> Defaults(const ScriptedDialogs& dialogs) {
    std::vector<std::string> defaults;
    for (const DialogCall& call : dialogs.CallsOf(DialogKind::Input)) {
        defaults.push_back(call.defaultText);
    }
    return defaults;
}

class DemonstrationTest : public WindowTest {
  protected:
    void Choose(int kind) {
        RunInEventLoop(platform, [&] {
            Form4& menu = platform.Forms().Get<Form4>();
            menu.Show();
            Button& button = kind == 1 ? menu.Command1 : kind == 2 ? menu.Command2 : menu.Command3;
            ASSERT_TRUE(button.Press());
        });
    }
};

TEST_F(DemonstrationTest, EnterAloneRunsTheEvaporatorToItsResults) {
    run.demonstration = true;
    PressEnterEverywhere(dialogs);
    Choose(1);
    RunInEventLoop(platform, [&] { ASSERT_TRUE(platform.Forms().Get<Form10>().Command1.Press()); });
    std::vector<std::string> expected = AsTexts(kEvaporatorReferenceTexts);
    expected.push_back("4");
    EXPECT_EQ(Defaults(dialogs), expected);
    ASSERT_TRUE(platform.Forms().IsLoaded<Form11>());
    EXPECT_NE(platform.Forms().Get<Form11>().Label2.Caption().find("10166.39"), std::string::npos);
}

TEST_F(DemonstrationTest, EnterAloneRunsTheHeaterAndTheCooler) {
    run.demonstration = true;
    PressEnterEverywhere(dialogs);
    Choose(2);
    RunInEventLoop(platform, [&] {
        ASSERT_TRUE(platform.Forms().Get<Form3>().Command1.Press());
        ASSERT_TRUE(platform.Forms().Get<Form9>().Command7.Press());
    });
    std::vector<std::string> heater = AsTexts(kHeaterReferenceTexts);
    for (std::string_view text : kHeaterReferenceConstruction) {
        heater.emplace_back(text);
    }
    EXPECT_EQ(Defaults(dialogs), heater);
    EXPECT_NE(platform.Forms().Get<Form9>().Label2.Caption().find("1128.83"), std::string::npos);

    dialogs.Reset();
    PressEnterEverywhere(dialogs);
    RunInEventLoop(platform, [&] { ASSERT_TRUE(platform.Forms().Get<Form9>().Command4.Press()); });
    Choose(3);
    RunInEventLoop(platform, [&] { ASSERT_TRUE(platform.Forms().Get<Form6>().Command1.Press()); });
    std::vector<std::string> cooler = AsTexts(kCoolerReferenceTexts);
    for (std::string_view text : kCoolerReferenceConstruction) {
        cooler.emplace_back(text);
    }
    EXPECT_EQ(Defaults(dialogs), cooler);
    EXPECT_NE(platform.Forms().Get<Form13>().Label4.Caption().find("538.91"), std::string::npos);
}

TEST_F(DemonstrationTest, WithoutItEveryBoxStartsEmpty) {
    dialogs.QueueInputs(AsTexts(kEvaporatorReferenceTexts));
    Choose(1);
    for (const std::string& text : Defaults(dialogs)) {
        EXPECT_EQ(text, "");
    }
    EXPECT_EQ(Defaults(dialogs).size(), kEvaporatorReferenceTexts.size());
}

}  // namespace
}  // namespace heatx::ui::testing
