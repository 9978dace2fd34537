// Start-up of the main window to its first paint, against a floor measured in
// the same run.
//
// The figure runs from the start of CMainDlg's construction (which constructs
// the card reader: calibration ratios, then the drive search, here finding a
// synthetic card in memory on drive E:) through show() to the first
// QEvent::Paint the dialog receives, with the event loop running in between.
//
// The floor is the same work without the window's own machinery: a bare
// QDialog of the same size and font holding the same number of plain child
// widgets (three buttons, five labels, three drop-down lists with the same
// items, a date edit, a size grip, and a plain QWidget where the browser sits),
// with the same captions at the same places, shown to its first paint. A second
// floor puts a bare QWebEngineView (no page loaded) where the browser sits: what
// the browser engine alone costs, so that the rest is the window's own.
//
// Two pairs of figures:
// - the first window of a process, where the browser engine starts up, against
//   the first bare dialog of a process (each measured in a fresh process of its
//   own, started from this program, the median of several);
// - later windows in one process (the median of several), against later bare
//   dialogs, taken in turns so that both see the same machine.
//
// Runs the window offscreen (QT_QPA_PLATFORM=offscreen). Prints every sample
// (sample <TAB> window|floor <TAB> first|later <TAB> index <TAB> nanoseconds to
// the first paint <TAB> nanoseconds to the end of construction), then one
// tab-separated line per figure for scripts/bench:
//   row <TAB> figure <TAB> nanoseconds <TAB> floor <TAB> floor nanoseconds
// and one line naming the Qt version and platform (info <TAB> text).
//
// Usage: window_startup_bench [--cold-runs=N] [--warm-runs=N]
// (--cold=window|floor|engine-floor: one start-up as the first of the process,
// printed as "cold <nanoseconds to paint> <nanoseconds to construction end>")
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QSizeGrip>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>

#include "card/local_time.h"
#include "platform/memory_volume.h"
#include "ui/dialog_units.h"
#include "ui/main_dlg.h"
#include "ui/sample_card.h"
#include "ui/ui_strings.h"

namespace orvanta {
namespace {

using Clock = std::chrono::steady_clock;

// How long a window may take to paint before the run counts as failed.
constexpr int kPaintTimeoutMs = 120000;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "window_startup_bench: %s\n", what.c_str());
    std::exit(1);
}

// Notes the moment the watched widget receives its first paint event.
class FirstPaintWatch : public QObject {
public:
    explicit FirstPaintWatch(QEventLoop& loop) : loop_(loop) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted_) {
            at_ = Clock::now();
            painted_ = true;
            loop_.quit();
        }
        return QObject::eventFilter(watched, event);
    }
    bool Painted() const { return painted_; }
    Clock::time_point At() const { return at_; }

private:
    QEventLoop& loop_;
    bool painted_ = false;
    Clock::time_point at_;
};

// Shows `dialog`, runs the event loop until its first paint and returns the
// nanoseconds from `start` to that paint. Closes and deletes the dialog.
double ShowToFirstPaint(QDialog* dialog, Clock::time_point start) {
    QEventLoop loop;
    FirstPaintWatch watch(loop);
    dialog->installEventFilter(&watch);
    dialog->show();
    if (!watch.Painted()) {
        QTimer::singleShot(kPaintTimeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!watch.Painted()) Fail("the window was not painted within two minutes");
    const double ns = std::chrono::duration<double, std::nano>(watch.At() - start).count();
    dialog->removeEventFilter(&watch);
    dialog->close();
    delete dialog;
    // Let deferred deletions and the engine's clean-up run before the next.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 100) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return ns;
}

// The window and what it reads: a synthetic card on drive E:, a configuration
// path that is not read before a query.
struct WindowRig {
    WindowRig() {
        LocalFields first;
        first.year = 2024;
        first.month = 3;
        first.day = 15;
        first.hour = 10;
        SampleCard card;
        card.firstTime = LocalStandardTime(first);
        WriteSampleCard(volumes.Attach('E'), card);
        options.iniPath = scratch.filePath(QStringLiteral("orvanta-vemlar.ini")).toLocal8Bit().toStdString();
    }
    MemoryVolumeSystem volumes;
    QTemporaryDir scratch;
    MainDlgOptions options;
};

struct Startup {
    double total = 0;        // nanoseconds to the first paint
    double constructed = 0;  // nanoseconds to the end of construction
};

Startup WindowStartup(WindowRig& rig) {
    const Clock::time_point start = Clock::now();
    auto* window = new CMainDlg(rig.volumes, rig.options);
    const Clock::time_point built = Clock::now();
    if (window->Reader().driveCode != 'E') Fail("the window's reader did not find the card on E:");
    return {ShowToFirstPaint(window, start), std::chrono::duration<double, std::nano>(built - start).count()};
}

// The floor: the window's plain controls, texts, lists, font and size on a bare
// dialog, without the card reader, the anchor table, the icon or the context
// menu; in the browser's place a plain QWidget, or with `engine` a bare
// QWebEngineView.
Startup FloorStartup(bool engine) {
    const Clock::time_point start = Clock::now();
    auto* dialog = new QDialog;
    const QFont font = DialogFont();
    const DialogUnits units(font);
    dialog->setFont(font);
    dialog->setWindowTitle(QString::fromUtf8(text::kMainCaption));
    auto put = [&units](QWidget* control, int x, int y, int w, int h) { control->setGeometry(units.Rect(x, y, w, h)); };
    auto label = [&](const QString& caption, int x, int y, int w, int h) {
        put(new QLabel(caption, dialog), x, y, w, h);
    };
    auto list = [&](int x, int y, int count) {
        auto* box = new QComboBox(dialog);
        for (int i = 0; i < count; ++i) box->addItem(QString::asprintf("%02d", i));
        put(box, x, y, 33, 14);
    };
    put(new QPushButton(QString::fromUtf8(text::kRefresh), dialog), 20, 227, 50, 14);
    label(QString::fromUtf8(text::kSelectTime), 9, 209, 39, 8);
    put(engine ? new QWebEngineView(dialog) : new QWidget(dialog), 9, 8, 391, 190);  // where the browser sits
    list(116, 206, 24);
    list(165, 206, 60);
    list(212, 206, 60);
    label(QString::fromUtf8(text::kHour), 152, 209, 9, 8);
    label(QString::fromUtf8(text::kMinute), 200, 209, 9, 8);
    label(QString::fromUtf8(text::kSecond), 247, 209, 9, 8);
    auto* date = new QDateEdit(QDate(2024, 3, 15), dialog);
    date->setCalendarPopup(true);
    date->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    put(date, 51, 205, 57, 15);
    put(new QPushButton(QString::fromUtf8(text::kBack), dialog), 275, 205, 13, 14);
    put(new QPushButton(QString::fromUtf8(text::kForward), dialog), 292, 205, 13, 14);
    label(QString::fromUtf8(text::kCardOnDrive).arg(QLatin1Char('E')), 310, 205, 90, 36);
    dialog->resize(units.X(409), units.Y(251));
    auto* grip = new QSizeGrip(dialog);
    grip->move(dialog->width() - grip->sizeHint().width(), dialog->height() - grip->sizeHint().height());
    const Clock::time_point built = Clock::now();
    return {ShowToFirstPaint(dialog, start), std::chrono::duration<double, std::nano>(built - start).count()};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// One start-up: nanoseconds to the first paint, and to the end of construction.
void PrintSample(const char* what, const char* when, int index, const Startup& s) {
    std::printf("sample\t%s\t%s\t%d\t%.0f\t%.0f\n", what, when, index, s.total, s.constructed);
    std::fflush(stdout);
}

// Runs this program again as `--cold=window` or `--cold=floor` and reads the
// one start-up it measures as the first of its process.
Startup ColdStartup(const std::string& self, const char* what) {
    const std::string command = "'" + self + "' --cold=" + what;
    FILE* child = ::popen(command.c_str(), "r");
    if (child == nullptr) Fail("cannot start " + command);
    char line[256];
    Startup startup;
    bool read = false;
    while (std::fgets(line, sizeof line, child) != nullptr) {
        read = read || std::sscanf(line, "cold %lf %lf", &startup.total, &startup.constructed) == 2;
    }
    const int status = ::pclose(child);
    if (status != 0 || !read) Fail(std::string("the first-") + what + " run failed");
    return startup;
}

std::string SelfPath() {
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) Fail("cannot find this program's path");
    path[n] = '\0';
    return path;
}

int ParseCount(const std::string& argument, std::size_t prefix) {
    const int value = std::atoi(argument.c_str() + prefix);
    if (value < 1 || value > 1000) Fail("bad count in " + argument);
    return value;
}

}  // namespace
}  // namespace orvanta

int main(int argc, char* argv[]) {
    using namespace orvanta;
    std::string cold;
    int coldRuns = 7;
    int warmRuns = 21;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--cold=", 0) == 0) {
            cold = argument.substr(7);
            if (cold != "window" && cold != "floor" && cold != "engine-floor") {
                Fail("--cold needs window, floor or engine-floor");
            }
        } else if (argument.rfind("--cold-runs=", 0) == 0) {
            coldRuns = ParseCount(argument, 12);
        } else if (argument.rfind("--warm-runs=", 0) == 0) {
            warmRuns = ParseCount(argument, 12);
        } else {
            std::fprintf(stderr, "usage: window_startup_bench [--cold-runs=N] [--warm-runs=N]\n");
            return 2;
        }
    }

    // Offscreen here, set before any child process is started, which inherits
    // it. scripts/bench turns the browser engine's sandbox off when run as root.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

    // The first start-ups, each in a process of its own, in turns.
    std::vector<double> coldWindows, coldFloors, coldEngineFloors;
    if (cold.empty()) {
        const std::string self = SelfPath();
        for (int i = 0; i < coldRuns; ++i) {
            const Startup window = ColdStartup(self, "window");
            PrintSample("window", "first", i, window);
            coldWindows.push_back(window.total);
            const Startup floor = ColdStartup(self, "floor");
            PrintSample("floor", "first", i, floor);
            coldFloors.push_back(floor.total);
            const Startup engineFloor = ColdStartup(self, "engine-floor");
            PrintSample("engine-floor", "first", i, engineFloor);
            coldEngineFloors.push_back(engineFloor.total);
        }
    }

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    std::unique_ptr<WindowRig> rig = std::make_unique<WindowRig>();

    if (!cold.empty()) {
        const Startup startup = cold == "window" ? WindowStartup(*rig) : FloorStartup(cold == "engine-floor");
        std::printf("cold %.0f %.0f\n", startup.total, startup.constructed);
        return 0;
    }

    // The first of each in this process is a cold start-up and is not counted.
    WindowStartup(*rig);
    FloorStartup(false);
    FloorStartup(true);
    std::vector<double> warmWindows, warmFloors, warmEngineFloors;
    for (int i = 0; i < warmRuns; ++i) {
        const Startup window = WindowStartup(*rig);
        PrintSample("window", "later", i, window);
        warmWindows.push_back(window.total);
        const Startup floor = FloorStartup(false);
        PrintSample("floor", "later", i, floor);
        warmFloors.push_back(floor.total);
        const Startup engineFloor = FloorStartup(true);
        PrintSample("engine-floor", "later", i, engineFloor);
        warmEngineFloors.push_back(engineFloor.total);
    }

    std::printf("info\tQt %s, platform %s\n", qVersion(), qPrintable(QGuiApplication::platformName()));
    const auto row = [](const std::string& figure, double ns, const char* floor, double floorNs) {
        std::printf("row\t%s\t%.0f\t%s\t%.0f\n", figure.c_str(), ns, floor, floorNs);
    };
    const std::string first = "Window start-up to first paint, first window of a process (median of " +
                              std::to_string(coldRuns) + " processes)";
    const std::string later = "Window start-up to first paint, later windows in the process (median of " +
                              std::to_string(warmRuns) + ")";
    row(first, Median(coldWindows),
        "bare QDialog, same plain controls, texts and font, plain QWidget for the browser, first of a process",
        Median(coldFloors));
    row(first, Median(coldWindows), "the same bare QDialog with a bare QWebEngineView for the browser, first of a process",
        Median(coldEngineFloors));
    row(later, Median(warmWindows), "the same bare QDialog with a plain QWidget, later dialogs", Median(warmFloors));
    row(later, Median(warmWindows), "the same bare QDialog with a bare QWebEngineView, later dialogs",
        Median(warmEngineFloors));
    rig.reset();
    return 0;
}
