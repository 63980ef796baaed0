#include "OrvApp.h"

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "CGdipButton.h"
#include "CommandEncoder.h"
#include "DeviceState.h"
#include "Ipv4.h"
#include "OrvComm.h"
#include "OrvDlg.h"
#include "QtTranslations.h"
#include "ShutdownSignals.h"
#include "StartConnection.h"
#include "UiTexts.h"

namespace orv {

namespace {

constexpr int kPressIntervalMs = 500;

// On a window system the picture is read from the screen, so that the live
// video SDL draws into native child windows is in it; elsewhere the widgets
// paint themselves.
void SaveWindowPicture(QWidget& window, const QString& path) {
  QScreen* screen = window.screen();
  const bool fromScreen = QGuiApplication::platformName() == QStringLiteral("xcb") && screen;
  // The screen's part under the window, so that the video window over it shows too.
  const QRect area = window.frameGeometry();
  const QPixmap picture =
      fromScreen ? screen->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                 : window.grab();
  picture.save(path);
}

}  // namespace

bool OrvApp::ParseArguments(const std::vector<std::string>& args, Options& options,
                            std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--local-address" && i + 1 < args.size()) {
      const std::string& address = args[++i];
      if (!ParseIpv4(address)) {
        error = "not an IPv4 address: " + address;
        return false;
      }
      options.localAddresses.push_back(address);
    } else if (args[i] == "--connect" && i + 1 < args.size()) {
      const std::string& address = args[++i];
      if (!ParseIpv4(address)) {
        error = "not an IPv4 address: " + address;
        return false;
      }
      options.connectAddress = address;
    } else if (args[i] == "--serial" && i + 1 < args.size()) {
      options.serialPort = args[++i];
    } else if (args[i] == "--offline") {
      options.offline = true;
      // The project is optional: a following word that is no option names it.
      if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) {
        options.offlineProject = args[++i];
      }
    } else if (args[i] == "--screenshot" && i + 1 < args.size()) {
      options.screenshotPath = args[++i];
    } else if (args[i] == "--press" && i + 1 < args.size()) {
      const std::string& value = args[++i];
      char* end = nullptr;
      const long id = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || id <= 0 || id > 0xFFFF) {
        error = "not a control id for --press: " + value;
        return false;
      }
      options.screenshotPresses.push_back(static_cast<int>(id));
    } else if ((args[i] == "--page" || args[i] == "--delay") && i + 1 < args.size()) {
      const std::string& name = args[i];
      const std::string& value = args[++i];
      char* end = nullptr;
      const long number = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || number < -1 || number > 600000) {
        error = "not a number for " + name + ": " + value;
        return false;
      }
      (name == "--page" ? options.screenshotPage : options.screenshotDelayMs) =
          static_cast<int>(number);
    } else {
      error = "unknown argument: " + args[i] +
              " (usage: orvpanel [--local-address A]..."
              " [--connect ADDRESS | --serial PORT | --offline [FILE.pro]]"
              " [--screenshot FILE [--page N] [--delay MS] [--press ID]...])";
      return false;
    }
  }
  const int targets = (options.connectAddress.empty() ? 0 : 1) +
                      (options.serialPort.empty() ? 0 : 1) + (options.offline ? 1 : 0);
  if (targets > 1) {
    error = "--connect, --serial and --offline exclude each other";
    return false;
  }
  return true;
}

const std::vector<std::string>& OrvApp::OptionNames() {
  static const std::vector<std::string> kNames = {"--local-address", "--connect",    "--serial",
                                                  "--offline",       "--screenshot", "--page",
                                                  "--delay",         "--press"};
  return kNames;
}

OrvApp::OrvApp(Options options) : options_(std::move(options)) {}

OrvApp::~OrvApp() {
  StopLibrary();
}

void OrvApp::StopLibrary() {
  SetCommLibrary(nullptr);
  comm_.reset();  // joins the reply thread
}

int OrvApp::Run() {
  // A port given by its device path joins the port list before the
  // connection page fills it.
  if (!options_.serialPort.empty() && !SerialPortNumberOf(options_.serialPort)) {
    std::fprintf(stderr, "orvpanel: no serial port %s\n", options_.serialPort.c_str());
    return 2;
  }
  // Asked to end from outside (kill, a service manager, logout, a closed
  // terminal, the desktop session ending): the window closes as its close
  // button closes it, then the event loop ends. Installed before anything
  // else can claim the signals.
  OrvDlg* window = nullptr;
  const auto closeFromOutside = [&window] {
    if (window) window->CloseUnattended();
    QCoreApplication::exit(0);
  };
  ShutdownSignals shutdownSignals([&closeFromOutside](int) { closeFromOutside(); });
  if (!shutdownSignals.installed()) {
    std::fprintf(stderr, "orvpanel: SIGTERM, SIGINT and SIGHUP end the panel without saving\n");
  }
  SelectStartLanguage();
  UseQtTranslationsFor(ActiveLanguageName());
  comm_ = std::make_unique<OrvComm>();
  SetCommLibrary(comm_.get());

  OrvDlg::Options dlgOptions;
  dlgOptions.library = comm_.get();
  dlgOptions.stopLibrary = [this] { StopLibrary(); };
  if (!options_.localAddresses.empty()) {
    dlgOptions.localAddresses = [addresses = options_.localAddresses] { return addresses; };
  }
  OrvDlg dlg(std::move(dlgOptions));
  window = &dlg;
  QObject::connect(qApp, &QGuiApplication::commitDataRequest, &dlg,
                   [&closeFromOutside](QSessionManager&) { closeFromOutside(); });
  QObject::connect(qApp, &QCoreApplication::aboutToQuit, &dlg, [&dlg] {
    if (!dlg.ClosedDown()) dlg.CloseUnattended();
  });
  dlg.Initialise();
  dlg.show();
  // A project named on the command line is the one in the working folder.
  std::string offlineProject = options_.offlineProject;
  std::error_code noFolder;
  const std::filesystem::path absolute = std::filesystem::absolute(offlineProject, noFolder);
  if (!offlineProject.empty() && !noFolder) offlineProject = absolute.string();
  ConnectAtStart(dlg,
                 {options_.connectAddress, options_.serialPort, options_.offline, offlineProject});
  if (!options_.screenshotPath.empty()) {
    QTimer::singleShot(options_.screenshotDelayMs, &dlg, [this, &dlg] {
      if (options_.screenshotPage >= 0) dlg.ShowPageByIndex(options_.screenshotPage, false);
      int afterMs = 0;
      for (int id : options_.screenshotPresses) {
        afterMs += kPressIntervalMs;
        QTimer::singleShot(afterMs, &dlg, [&dlg, id] {
          if (CGdipButton* button = dlg.Button(id)) button->click();
        });
      }
      QTimer::singleShot(afterMs + 300, &dlg, [this, &dlg] {
        SaveWindowPicture(dlg, QString::fromStdString(options_.screenshotPath));
        dlg.close();
      });
    });
  }
  const int code = QApplication::exec();
  if (!dlg.ClosedDown()) dlg.CloseDown();
  window = nullptr;
  return code;
}

}  // namespace orv
