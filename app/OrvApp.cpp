#include "OrvApp.h"

#include <QApplication>
#include <QTimer>
#include <cstdlib>

#include "CommandEncoder.h"
#include "DeviceState.h"
#include "Ipv4.h"
#include "OrvComm.h"
#include "OrvDlg.h"
#include "QtTranslations.h"
#include "ReadBack.h"
#include "UiTexts.h"

namespace orv {

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
      options.connectAddress = args[++i];
      if (!ParseIpv4(options.connectAddress)) {
        error = "not an IPv4 address: " + options.connectAddress;
        return false;
      }
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
      error =
          "unknown argument: " + args[i] +
          " (usage: orvpanel [--local-address A]... [--connect A] [--screenshot FILE [--page N] "
          "[--delay MS]])";
      return false;
    }
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

// Opens the link, and once it is open reads the machine back; a link that
// never opens (the library gives up after its connect time) does nothing.
void OrvApp::ConnectAtStart(QObject* context) {
  const std::string ip = options_.connectAddress;
  comm_->OpenNetLink(ip.c_str(), kDevicePort);
  auto* poll = new QTimer(context);
  poll->setInterval(20);
  const int maxPolls = 200;
  QObject::connect(poll, &QTimer::timeout, context, [this, poll, ip, polls = 0]() mutable {
    if (comm_ && comm_->IsNetLinkOpen(ip)) {
      poll->stop();
      SetDeviceAddress((*ParseIpv4(ip))[3]);
      StartFullReadBack();
    } else if (++polls >= maxPolls) {
      poll->stop();
    }
  });
  poll->start();
}

int OrvApp::Run() {
  SelectLanguage(DefaultLanguageName());
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
  if (!options_.connectAddress.empty()) ConnectAtStart(&dlg);
  if (!options_.screenshotPath.empty()) {
    QTimer::singleShot(options_.screenshotDelayMs, &dlg, [this, &dlg] {
      if (options_.screenshotPage >= 0) dlg.ShowPageByIndex(options_.screenshotPage, false);
      QTimer::singleShot(300, &dlg, [this, &dlg] {
        dlg.grab().save(QString::fromStdString(options_.screenshotPath));
        dlg.close();
      });
    });
  }
  const int code = QApplication::exec();
  if (!dlg.ClosedDown()) dlg.CloseDown();
  return code;
}

}  // namespace orv
