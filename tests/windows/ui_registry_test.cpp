// The lifecycle of windows: created on first reference with Form_Load run then, the list of loaded
// windows in creation order, unloading (also from inside a window's own handler) and CloseOtherForms.
#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <string>
#include <vector>

#include "window_test_support.h"

namespace heatx::ui::testing {
namespace {

// What happened to the test windows, in order.
std::vector<std::string>& Journal() {
    static std::vector<std::string> journal;
    return journal;
}

int CountOf(const std::string& event) {
    int n = 0;
    for (const auto& e : Journal()) {
        n += e == event ? 1 : 0;
    }
    return n;
}

class JournalForm : public Form {
  public:
    JournalForm(Platform& platform, const std::string& name) : Form(platform, name) {
        Journal().push_back(name + " created");
    }
    ~JournalForm() override { Journal().push_back(Name() + " destroyed"); }
    void Form_Load() override { Journal().push_back(Name() + " loaded"); }
};

class FormA : public JournalForm {
  public:
    explicit FormA(Platform& platform) : JournalForm(platform, "FormA") {}
};
class FormC : public JournalForm {
  public:
    explicit FormC(Platform& platform) : JournalForm(platform, "FormC") {}
};
class FormB : public JournalForm {
  public:
    explicit FormB(Platform& platform) : JournalForm(platform, "FormB") {
        Command1.OnClick([this] { Command1_Click(); });
    }
    // The pattern of a window that leaves: unload itself, then carry on through the registry.
    void Command1_Click() {
        Unload();
        Journal().push_back("B handler after unload: caption " + Caption());
        Forms().Get<FormC>().SetCaption("set by B");
        Forms().CloseOtherForms();
        Forms().Get<FormC>().Show();
        Journal().push_back("B handler done");
    }
    Button& Command1 = AddButton("Command1");
};
// Form_Load that reaches its own window through the registry must not create it twice.
class SelfReferring : public JournalForm {
  public:
    explicit SelfReferring(Platform& platform) : JournalForm(platform, "SelfReferring") {}
    void Form_Load() override {
        JournalForm::Form_Load();
        Forms().Get<SelfReferring>().SetCaption("loaded");
    }
};

std::vector<std::string> LoadedNames(FormRegistry& forms) {
    std::vector<std::string> names;
    for (int i = 0; i < forms.Count(); ++i) {
        names.push_back(forms.At(i).Name());
    }
    return names;
}

class RegistryTest : public WindowTest {
  protected:
    void SetUp() override { Journal().clear(); }
    FormRegistry& forms = platform.Forms();
};

TEST_F(RegistryTest, FirstReferenceCreatesAndLoadsOnceInCreationOrder) {
    EXPECT_FALSE(forms.IsLoaded<FormB>());
    FormB& b = forms.Get<FormB>();
    forms.Get<FormA>();
    EXPECT_EQ(&forms.Get<FormB>(), &b);

    EXPECT_TRUE(forms.IsLoaded<FormB>());
    EXPECT_EQ(LoadedNames(forms), (std::vector<std::string>{"FormB", "FormA"}));
    EXPECT_EQ(Journal(),
              (std::vector<std::string>{"FormB created", "FormB loaded", "FormA created", "FormA loaded"}));
    EXPECT_FALSE(b.Visible()) << "a window appears only when shown";
    EXPECT_EQ(WidgetOf(b)->objectName().toStdString(), "FormB");
}

TEST_F(RegistryTest, FormLoadCanReferToItsOwnWindow) {
    SelfReferring& form = forms.Get<SelfReferring>();
    EXPECT_EQ(form.Caption(), "loaded");
    EXPECT_EQ(forms.Count(), 1);
    EXPECT_EQ(CountOf("SelfReferring created"), 1);
}

TEST_F(RegistryTest, CloseOtherFormsWithOneWindowKeepsItEvenHidden) {
    forms.Get<FormA>().Hide();
    forms.CloseOtherForms();
    EXPECT_EQ(LoadedNames(forms), (std::vector<std::string>{"FormA"}));
    EXPECT_EQ(forms.PendingDestruction(), 0);
}

TEST_F(RegistryTest, CloseOtherFormsUnloadsAllButTheNewest) {
    forms.Get<FormA>().Show();
    forms.Get<FormB>().Show();
    FormC& c = forms.Get<FormC>();
    QPointer<QWidget> aWidget = WidgetOf(forms.Get<FormA>());

    forms.CloseOtherForms();

    EXPECT_EQ(LoadedNames(forms), (std::vector<std::string>{"FormC"}));
    EXPECT_FALSE(aWidget->isVisible()) << "unloaded windows disappear at once";
    EXPECT_EQ(CountOf("FormA destroyed"), 0) << "destruction waits for the handlers";
    forms.CollectUnloaded();
    EXPECT_EQ(CountOf("FormA destroyed"), 1);
    EXPECT_EQ(CountOf("FormB destroyed"), 1);
    EXPECT_TRUE(aWidget.isNull());
    EXPECT_EQ(&forms.Get<FormC>(), &c);

    // A later reference creates a window afresh, with its Form_Load.
    forms.Get<FormA>();
    EXPECT_EQ(CountOf("FormA loaded"), 2);
    EXPECT_EQ(LoadedNames(forms), (std::vector<std::string>{"FormC", "FormA"}));
}

TEST_F(RegistryTest, UnloadThenHideRecreatesTheWindowAsTheNewest) {
    forms.Get<FormA>();
    forms.Get<FormB>();
    forms.Get<FormC>().Show();

    // A handler of FormA closes its window in the order "unload, then hide", then CloseOtherForms.
    forms.Unload<FormA>();
    forms.Get<FormA>().Hide();
    EXPECT_EQ(LoadedNames(forms), (std::vector<std::string>{"FormB", "FormC", "FormA"}));
    EXPECT_EQ(CountOf("FormA loaded"), 2);

    forms.CloseOtherForms();
    EXPECT_EQ(LoadedNames(forms), (std::vector<std::string>{"FormA"}));
    EXPECT_FALSE(forms.Get<FormA>().Visible());

    // The window shown next is the second in the list, and a later CloseOtherForms finds A oldest.
    forms.Get<FormB>().Show();
    EXPECT_EQ(LoadedNames(forms), (std::vector<std::string>{"FormA", "FormB"}));
    forms.CloseOtherForms();
    EXPECT_EQ(LoadedNames(forms), (std::vector<std::string>{"FormB"}));
}

TEST_F(RegistryTest, UnloadOfAWindowNotLoadedDoesNothing) {
    FormA& a = forms.Get<FormA>();
    forms.Unload(a);
    forms.Unload(a);
    forms.Unload<FormB>();
    EXPECT_EQ(forms.Count(), 0);
    EXPECT_EQ(forms.PendingDestruction(), 1);
}

TEST_F(RegistryTest, AWindowUnloadedInsideItsOwnClickHandlerLivesUntilTheHandlerReturns) {
    forms.Get<FormA>();
    FormB& b = forms.Get<FormB>();
    b.SetCaption("B");
    b.Show();
    QPointer<QWidget> bWidget = WidgetOf(b);

    const int code = RunInEventLoop(platform, [&] { b.Command1.Press(); });

    EXPECT_EQ(code, 0);
    // Both unloaded windows (B itself, and A through CloseOtherForms) are destroyed only after the
    // handler has finished.
    EXPECT_EQ(Journal(),
              (std::vector<std::string>{"FormA created", "FormA loaded", "FormB created", "FormB loaded",
                                        "B handler after unload: caption B", "FormC created", "FormC loaded",
                                        "B handler done", "FormB destroyed", "FormA destroyed"}));
    EXPECT_EQ(forms.Get<FormC>().Caption(), "set by B");
    EXPECT_TRUE(bWidget.isNull()) << "the widget is released once Qt has left the click";
    EXPECT_EQ(LoadedNames(forms), (std::vector<std::string>{"FormC"}));
    EXPECT_FALSE(platform.Ended());
}

TEST_F(RegistryTest, AMouseClickThatUnloadsTheWindowIsSafe) {
    FormB& b = forms.Get<FormB>();
    b.Show();
    QPointer<QWidget> button = WidgetOf(b.Command1);

    // The click comes from the event loop itself, as the student's would.
    RunInEventLoop(platform, [&] {
        QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
    });

    EXPECT_EQ(CountOf("B handler done"), 1);
    EXPECT_EQ(CountOf("FormB destroyed"), 1);
    EXPECT_TRUE(button.isNull());
    EXPECT_EQ(forms.PendingDestruction(), 0);
}

TEST_F(RegistryTest, DestroyingThePlatformDestroysEveryWindow) {
    {
        TestPlatform other;
        other.platform.Forms().Get<FormA>();
        other.platform.Forms().Get<FormC>();
        other.platform.Forms().Unload<FormA>();
    }
    EXPECT_EQ(CountOf("FormA destroyed"), 1);
    EXPECT_EQ(CountOf("FormC destroyed"), 1);
}

}  // namespace
}  // namespace heatx::ui::testing
