// A look at the live preview without the main page: a virtual processor in
// this process streams its output, the comm library receives it, and the
// preview draws it into four layer cells on a stand-in canvas and into the
// video window's four views.
//
//   preview-demo [--ip 127.0.9.1] [--screenshot FILE] [--delay MS]
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <memory>
#include <vector>

#include "CommLibrary.h"
#include "Ini.h"
#include "MShowVideoDlg.h"
#include "OrvComm.h"
#include "VideoPreview.h"
#include "VirtualProcessor.h"

using namespace orv;
using namespace orv::preview;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::string ip = "127.0.9.1";
  QString screenshot;
  int delayMs = 2500;
  const QStringList args = app.arguments();
  for (int i = 1; i + 1 < args.size(); ++i) {
    if (args[i] == QStringLiteral("--ip"))
      ip = args[++i].toStdString();
    else if (args[i] == QStringLiteral("--screenshot"))
      screenshot = args[++i];
    else if (args[i] == QStringLiteral("--delay"))
      delayMs = args[++i].toInt();
  }

  sim::ProcessorConfig config;
  config.ip = ip;
  config.udp = false;
  config.selfReportMs = 0;
  sim::VirtualProcessor processor(config);
  std::string error;
  if (!processor.Start(&error)) {
    std::fprintf(stderr, "preview-demo: %s\n", error.c_str());
    return 1;
  }
  // All four layers on, so every cell and view has a picture.
  processor.WithModel([](sim::DeviceModel& m) {
    for (int layer = 2; layer < 4; ++layer) m.image().CHNLDATA[layer].CHNLONOFF = 1;
    return 0;
  });
  processor.SetPreviewOffered(true);
  DeviceState state;
  state.block = processor.Image();
  state.REPLY1_FLAG = 1;

  VideoPreview preview(VideoPreview::SurfaceForPlatform(), DataFolder() + "arial.ttf");
  preview.SetPreviewSize(
      processor.WithModel([](sim::DeviceModel& m) { return m.encoder().resolutionCode; }), state);

  QWidget canvas;
  canvas.setWindowTitle(QStringLiteral("Layer cells"));
  canvas.setStyleSheet(QStringLiteral("background: #202020"));
  canvas.setGeometry(10, 10, 960, 540);
  const auto factory = preview.CellFactory();
  std::vector<std::unique_ptr<QWidget>> cellWidgets;
  std::vector<std::unique_ptr<CellVideo>> cells;
  const int hreso = std::max<int>(1, state.block.OUTPUTRESO.HRESO);
  const int vreso = std::max<int>(1, state.block.OUTPUTRESO.VRESO);
  preview.Switch(true);
  for (int layer = 0; layer < kLayers; ++layer) {
    const ChannelData& ch = state.block.CHNLDATA[layer];
    auto widget = std::make_unique<QWidget>(&canvas);
    widget->setGeometry(ch.HPOS * 960 / hreso, ch.VPOS * 540 / vreso,
                        std::max(1, ch.HACT * 960 / hreso), std::max(1, ch.VACT * 540 / vreso));
    auto cell = factory(widget.get(), layer, ch.CHNLINPUT);
    cell->SetGeometry(widget->x(), widget->y(), widget->width(), widget->height());
    const QByteArray label =
        (layer == 0 ? QStringLiteral("Main : IN%1") : QStringLiteral("PIP-%1 : IN%2").arg(layer))
            .arg(ch.CHNLINPUT + 1)
            .toUtf8();
    cell->SetLabel(label.constData());
    widget->show();
    preview.RegisterCell(layer);
    preview.CropLayer(layer, state);
    cellWidgets.push_back(std::move(widget));
    cells.push_back(std::move(cell));
  }
  canvas.show();

  OrvComm comm;
  const uint8_t address = processor.address();
  comm.SetAddressList(1, &address);
  comm.RegisterReply([&](const Reply& r) { preview.FeedPacket(r.arg1, r.data); }, 26);
  if (!comm.OpenNetLink(ip.c_str(), kDevicePort)) {
    std::fprintf(stderr, "preview-demo: cannot connect to %s\n", ip.c_str());
    return 1;
  }

  MShowVideoDlg window(nullptr);
  window.Create();
  window.setGeometry(980, 10, 820, 626);
  window.show();
  preview.AttachVideoWindow(&window);

  if (!screenshot.isEmpty()) {
    QTimer::singleShot(delayMs, &app, [&] {
      app.primaryScreen()->grabWindow(0).save(screenshot);
      app.quit();
    });
  }
  const int result = app.exec();
  comm.CloseAll();
  preview.AttachVideoWindow(nullptr);
  preview.Switch(false);
  cells.clear();
  processor.Stop();
  return result;
}
