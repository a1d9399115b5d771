// The fonts the windows ask for are found on the system, and Qt's own texts are Russian.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFont>
#include <QFontInfo>
#include <string>

#include "ui/qt/qt_convert.h"
#include "ui/qt/qt_services.h"

namespace {

std::string FamilyFor(const char* requested, bool italic = false) {
    QFont font(QString::fromUtf8(requested));
    font.setPointSizeF(9.75);
    font.setItalic(italic);
    return QFontInfo(font).family().toStdString();
}

TEST(FontsTest, WindowFontsAreMappedToInstalledFacesWithCyrillic) {
    EXPECT_EQ(FamilyFor("Courier"), "Liberation Mono");
    EXPECT_EQ(FamilyFor("Courier New"), "Liberation Mono");
    EXPECT_EQ(FamilyFor("Courier New Cyr"), "Liberation Mono");
    EXPECT_EQ(FamilyFor("MS Sans Serif"), "Liberation Sans Narrow");
    EXPECT_EQ(FamilyFor("Microsoft Sans Serif"), "Liberation Sans");
    EXPECT_EQ(FamilyFor("Times New Roman"), "Liberation Serif");
    EXPECT_EQ(FamilyFor("Monotype Corsiva", true), "Liberation Serif");
    QFont corsiva("Monotype Corsiva");
    corsiva.setItalic(true);
    EXPECT_TRUE(QFontInfo(corsiva).italic());
}

// The windows ask for the standing-in face by its own name (a family the font set lacks costs a
// sort of the whole set), and get the face Qt's substitution would have given, in the asked style.
TEST(FontsTest, WindowFontsAskForTheStandingInFaceAndShowTheSameFace) {
    for (const char* windows : {"Courier", "Courier New", "Courier New Cyr", "MS Sans Serif",
                                "Microsoft Sans Serif", "Times New Roman", "Monotype Corsiva"}) {
        const QFont font = heatx::ui::MakeFont(windows, 9.75, true, true);
        EXPECT_EQ(font.family(), QFont::substitute(QString::fromUtf8(windows))) << windows;
        EXPECT_NE(font.family(), QString::fromUtf8(windows)) << windows;
        const QFontInfo shown(font);
        EXPECT_EQ(shown.family().toStdString(), FamilyFor(windows, true)) << windows;
        EXPECT_TRUE(shown.bold() && shown.italic()) << windows;
        EXPECT_DOUBLE_EQ(font.pointSizeF(), 9.75);
    }
    EXPECT_EQ(heatx::ui::MakeFont("Liberation Mono", 0, false, false).family(), "Liberation Mono");
}

TEST(FontsTest, QtsOwnButtonsAreRussian) {
    // Loaded with the first box (the start screen shows none of Qt's own texts).
    heatx::ui::EnsureRussianTranslation();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), "Отмена");
}

}  // namespace
