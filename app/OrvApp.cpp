#include "OrvApp.h"

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "CommandEncoder.h"
#include "DeviceState.h"
#include "Ipv4.h"
#include "OrvComm.h"
#include "OrvDlg.h"
#include "QtTranslations.h"
#include "StartConnection.h"
#include "UiTexts.h"

namespace orv {

namespace {

// On a window system the picture is read from the screen, so that the live
// video SDL draws into native child windows is in it; elsewhere the widgets
// paint themselves.
void SaveWindowPicture(QWidget& window, const QString& path) {
  QScreen* screen = window.screen();
  const bool fromScreen = QGuiApplication::platformName() == QStringLiteral("xcb") && screen;
  const QPixmap picture = fromScreen ? screen->grabWindow(window.winId()) : window.grab();
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
    } else if (args[i] == "--screenshot" && i + 1 < args.size()) {
      options.screenshotPath = args[++i];
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
              " (usage: orvpanel [--local-address A]... [--connect ADDRESS | --serial PORT]"
              " [--screenshot FILE [--page N] [--delay MS]])";
      return false;
    }
  }
  if (!options.connectAddress.empty() && !options.serialPort.empty()) {
    error = "--connect and --serial exclude each other";
    return false;
  }
  return true;
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
  dlg.Initialise();
  dlg.show();
  ConnectAtStart(dlg, {options_.connectAddress, options_.serialPort});
  if (!options_.screenshotPath.empty()) {
    QTimer::singleShot(options_.screenshotDelayMs, &dlg, [this, &dlg] {
      if (options_.screenshotPage >= 0) dlg.ShowPageByIndex(options_.screenshotPage, false);
      QTimer::singleShot(300, &dlg, [this, &dlg] {
        SaveWindowPicture(dlg, QString::fromStdString(options_.screenshotPath));
        dlg.close();
      });
    });
  }
  const int code = QApplication::exec();
  if (!dlg.ClosedDown()) dlg.CloseDown();
  return code;
}

}  // namespace orv
