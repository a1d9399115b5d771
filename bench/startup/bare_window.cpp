// The yardstick of the startup benchmark: a bare Qt window of the start screen's size that paints
// itself once and reports like heatx's startup probe.
#include <QApplication>
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

class BareWindow : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(150, 50, 255));
        if (reported_) {
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

  private:
    bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    BareWindow window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.setGeometry(33, 33, 800, 600);
    window.show();
    return QApplication::exec();
}
