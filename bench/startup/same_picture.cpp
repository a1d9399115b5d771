// The second yardstick of the startup benchmark: a bare Qt program that paints the picture of
// heatx's start screen and nothing else — the same gradient, the same three texts (the title, the
// three button captions on their coloured faces, the author line) in the same fonts and sizes, at
// the same places — in one widget without controls, and reports its first paint like heatx's probe.
// What heatx needs beyond this program is what heatx itself adds to the start.
// With --texts-alone the background is one plain colour instead of the gradient: what is left is
// what Qt needs to show the three texts in their fonts, a floor for any program drawing them.
#include <QApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

long ResidentKilobytes() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) {
        return -1;
    }
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "VmRSS:", 6) == 0) {
            kb = std::strtol(line + 6, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return kb;
}

QFont Font(const char* family, double points, bool bold, bool italic) {
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// The start screen at 96 dpi: 800 x 600 pixels.
class StartPicture : public QWidget {
  public:
    explicit StartPicture(bool textsAlone) : textsAlone_(textsAlone) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (textsAlone_) {
            painter.fillRect(rect(), QColor(150, 50, 255));
        } else {
            // Column x in the colour of the last box over it: RGB(150, 50, 255 - 255 i / 800).
            const int w = width();
            const int edge = height() + 150;
            for (int x = 0; x < w; ++x) {
                const int last = x < edge ? x : w;
                painter.fillRect(x, 0, 1, height(), QColor(150, 50, 255 - (255 * last) / w));
            }
        }
        // The title: two lines on a brown block.
        painter.fillRect(224, 80, 353, 49, QColor(192, 64, 0));
        painter.setPen(QColor(128, 255, 128));
        painter.setFont(Font("Liberation Sans Narrow", 12, true, true));
        painter.drawText(
            QRect(224, 80, 353, 49), Qt::AlignLeft | Qt::AlignTop,
            QStringLiteral("                 Программа расчета\n      кожухотрубных теплообменников"));
        // The three buttons: flat faces with a two-pixel edge, the captions fitted to the face.
        const struct {
            int left;
            QColor face;
            const char* caption;
        } buttons[] = {{79, QColor(255, 255, 0), "ОПИСАНИЕ ПРОГРАММЫ"},
                       {320, QColor(0, 255, 0), "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ"},
                       {560, QColor(255, 128, 128), "ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ"}};
        for (const auto& button : buttons) {
            const QRect face(button.left, 400, 161, 41);
            painter.fillRect(face, button.face);
            painter.setPen(QPen(button.face.darker(200), 2));
            painter.drawRect(face.adjusted(1, 1, -1, -1));
            const QString caption = QString::fromUtf8(button.caption);
            QFont font = Font("Liberation Sans Narrow", 8.25, false, false);
            const double needed = QFontMetricsF(font).horizontalAdvance(caption);
            if (needed > face.width() - 6) {
                font.setPointSizeF(static_cast<int>(8.25 * (face.width() - 6) / needed * 4.0) / 4.0);
            }
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(face, Qt::AlignCenter, caption);
        }
        // The author line on its red block.
        painter.fillRect(593, 474, 193, 25, QColor(255, 0, 0));
        painter.setPen(QColor(255, 255, 192));
        painter.setFont(Font("Liberation Serif", 14.25, false, true));
        painter.drawText(QRect(593, 474, 193, 25), Qt::AlignLeft | Qt::AlignTop,
                         QStringLiteral("  автор программы"));
        painter.end();
        Report();
    }

  private:
    // With HEATX_STARTUP_PROBE set, as heatx: the time and memory of the first paint, then the end.
    void Report() {
        if (reported_ || std::getenv("HEATX_STARTUP_PROBE") == nullptr) {
            return;
        }
        reported_ = true;
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const long long ns = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
        const long rss = ResidentKilobytes();
        // The processor time spent so far (all threads): a figure the machine's load hardly moves.
        timespec cpu{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        const long long cpuNs = static_cast<long long>(cpu.tv_sec) * 1000000000LL + cpu.tv_nsec;
        QTimer::singleShot(0, [ns, rss, cpuNs] {
            std::fprintf(stderr, "first-paint-ns %lld rss-kb %ld cpu-ns %lld\n", ns, rss, cpuNs);
            std::fflush(stderr);
            std::_Exit(0);
        });
    }
    bool textsAlone_;
    bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    StartPicture window(argc > 1 && std::strcmp(argv[1], "--texts-alone") == 0);
    window.setAttribute(Qt::WA_OpaquePaintEvent);
    window.setWindowTitle(QStringLiteral("НАЧАЛО РАБОТЫ С ПРОГРАММОЙ"));
    window.setGeometry(33, 33, 800, 600);
    window.show();
    return QApplication::exec();
}
