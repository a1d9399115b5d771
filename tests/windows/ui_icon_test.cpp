// Every window carries the program's icon, drawn from its SVG at the sizes a desktop asks for, once
// the start screen has painted its first picture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QWidget>

#include "ui/qt/startup_probe.h"

namespace {

TEST(IconTest, WindowsCarryTheProgramsIconAtEverySize) {
    heatx::ui::NoteWindowPainted();
    QCoreApplication::processEvents();
    const QIcon icon = QApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    for (const int size : {16, 32, 48, 128}) {
        const QImage image = icon.pixmap(size, size).toImage();
        ASSERT_FALSE(image.isNull()) << size;
        EXPECT_EQ(image.width(), size);
        // The blue ground of the icon above the shell, between the two nozzles.
        const QColor ground = image.pixelColor(size / 2, size / 8);
        EXPECT_NEAR(ground.red(), 0x00, 8) << size;
        EXPECT_NEAR(ground.green(), 0xa0, 8) << size;
        EXPECT_NEAR(ground.blue(), 0xff, 8) << size;
        // The rounded corner is left transparent.
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << size;
    }
    QWidget window;
    EXPECT_EQ(window.windowIcon().cacheKey(), icon.cacheKey());
    EXPECT_EQ(QGuiApplication::desktopFileName().toStdString(), "heatx");
}

TEST(IconTest, WorkAfterTheFirstPaintRunsFromTheEventLoopOnceAWindowHasPainted) {
    heatx::ui::NoteWindowPainted();
    int runs = 0;
    heatx::ui::AfterFirstPaint([&runs] { ++runs; });
    EXPECT_EQ(runs, 0);  // never inside the paint or the caller
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 1);
}

}  // namespace
