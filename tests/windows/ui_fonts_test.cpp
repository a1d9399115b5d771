// The fonts the windows ask for are found on the system, and Qt's own texts are Russian.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFont>
#include <QFontInfo>
#include <string>

#include "ui/qt_services.h"

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

TEST(FontsTest, QtsOwnButtonsAreRussian) {
    // Loaded with the first box (the start screen shows none of Qt's own texts).
    heatx::ui::EnsureRussianTranslation();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), "Отмена");
}

}  // namespace
