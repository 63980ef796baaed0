// The control panel: builds the application object and runs it.
#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "OrvApp.h"

int main(int argc, char** argv) {
  // The live video is drawn by SDL into native child windows of the layer
  // cells. Their siblings (output areas, other widgets) stay ordinary
  // widgets: a native sibling would be an opaque window over the video.
  QApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
  QApplication app(argc, argv);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  orv::OrvApp::Options options;
  std::string error;
  if (!orv::OrvApp::ParseArguments(args, options, error)) {
    std::fprintf(stderr, "orvpanel: %s\n", error.c_str());
    return 2;
  }
  orv::OrvApp orvApp(std::move(options));
  return orvApp.Run();
}
