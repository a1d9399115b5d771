// A random walk through the windows: thousands of button presses, list clicks and dialog answers
// with random texts (empty, huge, non-numeric, decimal commas, extreme exponents, plausible values).
// After every step the program has not crashed or hung, no more windows are loaded than the chain
// of windows allows, and whatever was printed is never lost when the run ends.
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "design_data/design_data.h"

#include "navigation/start_forms.h"
#include "window_test_support.h"

namespace heatx::ui::testing {
namespace {

class RandomAnswers {
  public:
    explicit RandomAnswers(std::uint32_t seed) : rng_(seed) {}

    std::string Text() {
        static const std::vector<std::string> kTexts = {
            "",      "0",    "1",      "4",     "10",   "0,5",   "2,5",    "0.025",  "13",
            "100",   "0.02", "0.683",  "908",   "1e39", "-1e39", "1e-45",  "1D308",  "&HFF",
            "&O777", "abc",  "3 м",    "-0",    ".",    ",",     "1,2,3",  "  7  ",  "5000",
            "0.019", "9.99", "0.0001", "1e400", "55.6", "0.973", "402980", "4,36",   "\t\n5",
            "NaN",   "inf",  "-5",     "2300",  "0.06", "10.01", "0.99",   "1005000"};
        const int pick = Uniform(0, 99);
        if (pick < 2) {
            return std::string(static_cast<std::size_t>(Uniform(1000, 20000)), '9');
        }
        if (pick < 4) {
            std::string junk;
            for (int i = Uniform(1, 200); i > 0; --i) {
                junk += static_cast<char>(Uniform(1, 255));
            }
            return junk;
        }
        return kTexts[static_cast<std::size_t>(Uniform(0, static_cast<int>(kTexts.size()) - 1))];
    }

    int YesNo() { return Uniform(0, 99) < 95 ? kYes : kNo; }
    int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }

  private:
    std::mt19937 rng_;
};

// A sensible answer for a prompt (the reference value of the parameter it asks), so that the walk
// reaches the results windows often enough; random answers are mixed in by the caller.
std::string GoodAnswer(const std::string& prompt) {
    static const std::map<std::string, std::string> answers = [] {
        std::map<std::string, std::string> m;
        for (std::size_t i = 0; i < kEvaporatorReferenceTexts.size(); ++i) {
            m[std::string(kEvaporatorLabelTexts[i])] = std::string(kEvaporatorReferenceTexts[i]);
        }
        for (std::size_t i = 0; i < kHeaterReferenceTexts.size(); ++i) {
            m[std::string(kHeaterLabelTexts[i])] = std::string(kHeaterReferenceTexts[i]);
        }
        for (std::size_t i = 0; i < kCoolerReferenceTexts.size(); ++i) {
            m[std::string(kCoolerLabelTexts[i])] = std::string(kCoolerReferenceTexts[i]);
        }
        for (std::size_t i = 0; i < 4; ++i) {
            m[std::string(kHeaterLabelTexts[12 + i])] = std::string(kHeaterReferenceConstruction[i]);
        }
        // Assigned as strings, not as character arrays: GCC 12 sees a false overlap (-Wrestrict) in
        // an inlined assignment of a short literal.
        m[std::string(kHeaterLabelTexts[16])] = std::string("3");
        for (std::size_t i = 0; i < 5; ++i) {
            m[std::string(kCoolerLabelTexts[13 + i])] = std::string(kCoolerReferenceConstruction[i]);
        }
        m["  ВВЕДИТЕ ВЫСОТУ ТРУБ, М "] = std::string("4");
        return m;
    }();
    const auto found = answers.find(prompt);
    return found != answers.end() ? found->second : "5";
}

// The visible, enabled buttons and the lines of visible, enabled lists of the visible windows.
struct Target {
    QPushButton* button = nullptr;
    QListWidget* list = nullptr;
    int row = -1;
};

std::vector<Target> Targets(Platform& platform) {
    std::vector<Target> targets;
    for (int i = 0; i < platform.Forms().Count(); ++i) {
        QWidget* window = WidgetOf(platform.Forms().At(i));
        if (window == nullptr || !window->isVisible()) {
            continue;
        }
        for (QPushButton* button : window->findChildren<QPushButton*>()) {
            if (button->isVisible() && button->isEnabled()) {
                targets.push_back({button, nullptr, -1});
            }
        }
        for (QListWidget* list : window->findChildren<QListWidget*>()) {
            if (list->isVisible() && list->isEnabled()) {
                for (int row = 0; row < list->count(); ++row) {
                    targets.push_back({nullptr, list, row});
                }
            }
        }
    }
    return targets;
}

void Click(const Target& target) {
    if (target.button != nullptr) {
        QTest::mouseClick(target.button, Qt::LeftButton);
        return;
    }
    QListWidgetItem* item = target.list->item(target.row);
    target.list->scrollToItem(item);
    const QRect rect = target.list->visualItemRect(item);
    QTest::mouseClick(target.list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

// One run of the program from the start screen until it ends or the step budget is spent.
// Returns the steps taken.
int Walk(RandomAnswers& random, int budget, std::uint32_t seed, std::set<std::string>& seen) {
    TestPlatform services;
    Platform& platform = services.platform;
    services.dialogs.SetResponder([&random](const DialogCall& call) -> std::optional<ScriptedAnswer> {
        switch (call.kind) {
            case DialogKind::Input: {
                const int pick = random.Uniform(0, 99);
                if (pick < 5) {
                    return ScriptedAnswer::Cancel();
                }
                return ScriptedAnswer::Input(pick < 85 ? GoodAnswer(call.prompt) : random.Text());
            }
            case DialogKind::YesNo:
                return ScriptedAnswer::YesNo(random.YesNo());
            default:
                return ScriptedAnswer::YesNo(kYes);
        }
    });

    int steps = 0;
    RunInEventLoop(
        platform,
        [&] {
            platform.Forms().Get<Form1>().Show();
            while (steps < budget && !platform.Ended()) {
                const std::vector<Target> targets = Targets(platform);
                ASSERT_FALSE(targets.empty())
                    << "no window offers anything to do; seed " << seed << ", step " << steps;
                Click(targets[static_cast<std::size_t>(
                    random.Uniform(0, static_cast<int>(targets.size()) - 1))]);
                ++steps;
                ASSERT_TRUE(platform.Failures().empty())
                    << platform.Failures().front() << "; seed " << seed << ", step " << steps;
                for (int i = 0; i < platform.Forms().Count(); ++i) {
                    if (platform.Forms().At(i).Visible()) {
                        seen.insert(platform.Forms().At(i).Name());
                    }
                }
                if (!platform.Ended()) {
                    // The chain of windows: a window, its dialog, and a hidden one kept for later.
                    ASSERT_LE(platform.Forms().Count(), 3) << "seed " << seed << ", step " << steps;
                }
            }
        },
        60000);
    EXPECT_TRUE(platform.Failures().empty()) << "seed " << seed;
    if (platform.Ended()) {
        // Every printed line has been released in a document.
        EXPECT_FALSE(services.printer.HasOpenDocument()) << "seed " << seed << ", step " << steps;
    }
    for (const auto& document : services.printer.Documents()) {
        EXPECT_FALSE(document.empty()) << "seed " << seed;
        seen.insert("document");
    }
    return steps;
}

TEST(RandomWalkTest, ThousandsOfRandomActionsNeverCrashHangOrLosePrints) {
    constexpr std::uint32_t kSeed = 20261208;
    constexpr int kSteps = 4000;
    RandomAnswers random(kSeed);
    int done = 0;
    int runs = 0;
    std::set<std::string> seen;
    while (done < kSteps && !::testing::Test::HasFatalFailure()) {
        done += Walk(random, kSteps - done, kSeed, seen);
        ++runs;
    }
    RecordProperty("runs", runs);
    EXPECT_GE(done, kSteps) << "seed " << kSeed;
    // The walk went everywhere: every window was on screen and reports were printed.
    for (const char* name : {"Form1", "Form2", "Form4", "Form10", "Form3", "Form6", "Form8", "Form5",
                             "Form14", "Form11", "Form9", "Form13", "document"}) {
        EXPECT_TRUE(seen.count(name) > 0) << name << " never reached; seed " << kSeed;
    }
}

}  // namespace
}  // namespace heatx::ui::testing
