// orvanta-window-shot: opens the main window offscreen on a card, runs one
// query against an analysis server and saves a picture of the whole window.
//
//   orvanta-window-shot --out FILE.png [--start-out FILE.png] [--drive L=PATH]...
//                       [--config INI] [--time "YYYY-MM-DD HH:MM:SS"] [--size WxH]
//                       [--lang zh|en]
//
// --start-out also saves the window before the query, with its start page.
// The language is chosen as the window chooses it (--lang, or the desktop's).
//
// Without --drive the window reads a synthetic card on drive E: held in
// memory. Without --config a loopback server on 127.0.0.1 answers with a small
// page that draws the waveform it received, and a temporary INI points at it.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include "card/local_time.h"
#include "platform/drive_map.h"
#include "platform/memory_volume.h"
#include "ui/web_browser2.h"
#include "ui/main_dlg.h"
#include "ui/overview_strip.h"
#include "ui/sample_card.h"
#include "ui/ui_language.h"

namespace {

int Fail(const char* message) {
    std::fprintf(stderr, "orvanta-window-shot: %s\n", message);
    return 2;
}

std::string FormDecode(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string FormField(const std::string& body, const std::string& name) {
    std::istringstream pairs(body);
    std::string pair;
    while (std::getline(pairs, pair, '&')) {
        const std::size_t eq = pair.find('=');
        if (eq != std::string::npos && pair.substr(0, eq) == name) {
            return FormDecode(pair.substr(eq + 1));
        }
    }
    return std::string();
}

std::vector<long> Numbers(const std::string& text) {
    std::vector<long> numbers;
    std::istringstream in(text);
    long value;
    while (in >> value) numbers.push_back(value);
    return numbers;
}

std::string Polyline(const std::vector<long>& values, int width, int height, const char* colour) {
    if (values.empty()) return std::string();
    long lo = values[0], hi = values[0];
    for (long v : values) { lo = std::min(lo, v); hi = std::max(hi, v); }
    if (hi == lo) hi = lo + 1;
    std::ostringstream points;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double x = values.size() == 1 ? 0.0 : static_cast<double>(i) * width / (values.size() - 1);
        const double y = height - 4 - static_cast<double>(values[i] - lo) * (height - 8) / (hi - lo);
        points << x << ',' << y << ' ';
    }
    return "<polyline fill='none' stroke-width='1.5' stroke='" + std::string(colour) + "' points='" +
           points.str() + "'/>";
}

// A small answer page: the two times, the device record and the waveform.
std::string AnswerPage(const std::string& body) {
    const std::vector<long> wave = Numbers(FormField(body, "data"));
    const std::vector<long> trend = Numbers(FormField(body, "data1"));
    std::vector<long> a, b, ta;
    for (std::size_t i = 0; i + 1 < wave.size(); i += 2) { a.push_back(wave[i]); b.push_back(wave[i + 1]); }
    for (std::size_t i = 0; i + 1 < trend.size(); i += 2) ta.push_back(trend[i]);
    const auto format = [](const std::string& t) {
        return t.empty() ? std::string("-") : orvanta::FormatLocalStandard(std::atoi(t.c_str()));
    };
    std::ostringstream page;
    page << "<!DOCTYPE html><html><head><meta charset='utf-8'><title>谐波分析</title>"
            "<style>body{font-family:'Noto Sans CJK SC',sans-serif;margin:12px;color:#1b2b3a}"
            "h2{margin:0 0 6px;font-size:18px}td{padding:1px 10px 1px 0;font-size:13px}"
            "svg{background:#f4f7fa;border:1px solid #c8d3de;margin-top:6px}</style></head><body>"
         << "<h2>谐波分析（示例应答页）</h2><table>"
         << "<tr><td>所选时间</td><td>" << format(FormField(body, "selectedTime")) << "</td>"
         << "<td>记录时间</td><td>" << format(FormField(body, "actualTime")) << "</td></tr>"
         << "<tr><td>设备记录</td><td colspan='3'>" << FormField(body, "data2") << "</td></tr>"
         << "</table><div style='font-size:13px;margin-top:6px'>波形（A 通道蓝色，B 通道橙色）</div>"
         << "<svg width='600' height='150'>" << Polyline(a, 600, 150, "#1f5f99") << Polyline(b, 600, 150, "#e38a1c")
         << "</svg><div style='font-size:13px;margin-top:6px'>有效值趋势（A 通道，" << ta.size() << " 条记录）</div>"
         << "<svg width='600' height='80'>" << Polyline(ta, 600, 80, "#1f5f99") << "</svg></body></html>";
    return page.str();
}

// The loopback server's thread: stopped and joined on every way out of main,
// so an early error return never destroys a running thread.
class ServerThread {
public:
    explicit ServerThread(httplib::Server& server) : server_(server) {}
    ~ServerThread() {
        if (thread_.joinable()) {
            server_.stop();
            thread_.join();
        }
    }
    ServerThread(const ServerThread&) = delete;
    ServerThread& operator=(const ServerThread&) = delete;

    void Start() {
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }

private:
    httplib::Server& server_;
    std::thread thread_;
};

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);

    QString out;
    QString startOut;
    QString config;
    QString timeText;
    QString language;
    int width = 0, height = 0;
    std::vector<std::string> driveArguments;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--out") && hasValue) {
            out = args.at(++i);
        } else if (arg == QLatin1String("--start-out") && hasValue) {
            startOut = args.at(++i);
        } else if (arg == QLatin1String("--config") && hasValue) {
            config = args.at(++i);
        } else if (arg == QLatin1String("--time") && hasValue) {
            timeText = args.at(++i);
        } else if (arg == QLatin1String("--drive") && hasValue) {
            driveArguments.push_back(args.at(++i).toLocal8Bit().toStdString());
        } else if (arg == QLatin1String("--lang") && hasValue) {
            language = args.at(++i);
            orvanta::UiLanguage ignored;
            if (language.isEmpty() || !orvanta::ChooseUiLanguage(language, &ignored)) return Fail("--lang needs zh or en");
        } else if (arg == QLatin1String("--size") && hasValue) {
            if (std::sscanf(args.at(++i).toLatin1().constData(), "%dx%d", &width, &height) != 2) {
                return Fail("--size needs WxH");
            }
        } else {
            std::fprintf(stderr, "usage: orvanta-window-shot --out FILE.png [--start-out FILE.png] "
                                 "[--drive L=PATH]... [--config INI] "
                                 "[--time \"YYYY-MM-DD HH:MM:SS\"] [--size WxH] [--lang zh|en]\n");
            return 2;
        }
    }
    if (out.isEmpty()) return Fail("--out FILE.png is required");
    orvanta::UiLanguage uiLanguage = orvanta::UiLanguage::kChinese;
    orvanta::ChooseUiLanguage(language, &uiLanguage);
    const orvanta::CUiTranslation translation(uiLanguage);

    // The card: given drives, or a synthetic card in memory.
    orvanta::DriveMap drives;
    std::unique_ptr<orvanta::RawVolumeSystem> volumes;
    orvanta::LocalFields first;
    first.year = 2024; first.month = 3; first.day = 15; first.hour = 10;
    orvanta::SampleCard card;
    card.firstTime = orvanta::LocalStandardTime(first);
    if (driveArguments.empty()) {
        auto memory = std::make_unique<orvanta::MemoryVolumeSystem>();
        orvanta::WriteSampleCard(memory->Attach('E'), card);
        volumes = std::move(memory);
    } else {
        std::string error;
        if (!orvanta::DriveMap::FromArguments(driveArguments, &drives, &error)) return Fail(error.c_str());
        volumes = orvanta::MakePlatformVolumeSystem(drives);
    }

    // The server: given by the INI, or a loopback answer page.
    QTemporaryDir scratch;
    httplib::Server server;
    ServerThread serverThread(server);
    if (config.isEmpty()) {
        server.Post(".*", [](const httplib::Request& request, httplib::Response& response) {
            response.set_content(AnswerPage(request.body), "text/html; charset=utf-8");
        });
        const int port = server.bind_to_any_port("127.0.0.1");
        if (port <= 0) return Fail("cannot open a loopback port");
        serverThread.Start();
        config = scratch.filePath(QStringLiteral("orvanta-vemlar.ini"));
        QFile ini(config);
        if (!ini.open(QIODevice::WriteOnly)) return Fail("cannot write the temporary INI file");
        ini.write(QStringLiteral("[Common]\r\nserverBaseUrl=http://127.0.0.1:%1/analysis\r\nuserID=demo\r\n"
                                 "password=demo\r\n").arg(port).toUtf8());
    }

    orvanta::MainDlgOptions options;
    options.iniPath = config.toLocal8Bit().toStdString();
    options.drives = driveArguments.empty() ? nullptr : &drives;
    int status = 0;
    {
        orvanta::CMainDlg window(*volumes, options);
        orvanta::LocalFields fields;
        if (!timeText.isEmpty()) {
            if (!orvanta::ParseLocalFields(timeText.toStdString(), &fields)) return Fail("--time needs YYYY-MM-DD HH:MM:SS");
            window.SetSelectedTime(orvanta::LocalStandardTime(fields));
        } else if (driveArguments.empty()) {
            window.SetSelectedTime(card.firstTime + 600);
        }
        window.ShowSelectedTime();
        if (width > 0 && height > 0) window.resize(width, height);
        window.show();

        int completed = 0;
        QObject::connect(window.Browser(), &orvanta::CWebBrowser2::documentComplete, [&completed] { ++completed; });
        // Waits for the page that is loading and for the overview strip's
        // scan (it reads the card on its own thread), lets the engine paint,
        // and saves the window (unless `file` is empty).
        const auto takePicture = [&completed, &window](const QString& file, const std::string& what) {
            QElapsedTimer clock;
            clock.start();
            while ((completed == 0 || window.OverviewStrip()->IsScanning()) && clock.elapsed() < 180000) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
            }
            if (completed == 0) return Fail((what + " did not finish loading").c_str());
            QElapsedTimer settle;
            settle.start();
            while (settle.elapsed() < 2500) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            if (!file.isEmpty() && !window.grab().save(file)) return Fail(("cannot save the picture of " + what).c_str());
            return 0;
        };
        // The start page first, as a user sees it; then one query.
        status = takePicture(startOut, "the start page");
        if (status == 0) {
            completed = 0;
            window.RefreshButton()->click();
            status = takePicture(out, "the answer page");
        }
        window.close();
    }
    return status;
}
