#include "OrvApp.h"

#include <QApplication>

#include "CommandEncoder.h"
#include "Ipv4.h"
#include "OrvComm.h"
#include "OrvDlg.h"
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
    } else {
      error = "unknown argument: " + args[i] + " (usage: orvpanel [--local-address A]...)";
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

int OrvApp::Run() {
  SelectLanguage(DefaultLanguageName());
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
  const int code = QApplication::exec();
  if (!dlg.ClosedDown()) dlg.CloseDown();
  return code;
}

}  // namespace orv
