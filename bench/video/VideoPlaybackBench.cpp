// bench_video [SECONDS]: plays a 720p30 and a 1080p30 H.264 film (made by ffmpeg) for SECONDS
// (default 30) each through the engine, painting every picture into an off-screen widget
// the way the visuals window does (straight from the decoder's buffer, scaled once by the
// painter). Prints frames shown, frames the sink dropped (QoS), pictures painted and the
// process's CPU share of one core.
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QPainter>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ProcessCpuShare.h"
#include "app/VisualsScreenVideo.h"
#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_VideoEngine.h"

namespace {

class TScreen : public QWidget {
 public:
  int painted = 0;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    if (PaintVisualsScreenVideo(painter, rect())) ++painted;
  }
};

void Run(const std::string& file, const char* label, double seconds, TScreen& screen) {
  auto& engine = KELDAR_AUDIOVIDEO_API_State();
  auto& ops = KELDAR_AUDIOVIDEO_API_Slots();
  engine.CurrentFileName = file;
  if (!ops.CreateStream() || engine.CurrentMediaType != KELDAR_AUDIOVIDEO_API_mtVIDEOStream) {
    std::printf("%s: cannot open %s\n", label, file.c_str());
    return;
  }
  screen.painted = 0;
  const double cpu0 = ProcessCpuSeconds(getpid());
  QElapsedTimer wall;
  wall.start();
  ops.Play();
  while (wall.elapsed() < seconds * 1000) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    ops.CheckEndOfStream();
    if (engine.PlayerState == KELDAR_AUDIOVIDEO_API_psEnded) break;
  }
  const double elapsed = wall.elapsed() / 1000.0;
  const double cpu = (ProcessCpuSeconds(getpid()) - cpu0) / elapsed * 100.0;
  const TVideoEngineStatus status = VideoEngineStatus();
  std::printf("%s: %.1f s, %llu frames shown, %llu dropped (QoS), %d painted, CPU %.1f %% of one core\n", label,
              elapsed, static_cast<unsigned long long>(status.FramesRendered),
              static_cast<unsigned long long>(status.FramesDropped), screen.painted, cpu);
  ops.Stop();
  ops.FreeStreams();
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 30;
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("keldar_bench_video_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  BASSAPI_SetOutputDevice(0);
  RegisterBASSAPIBackend();
  SelectAudioAPI(1);
  KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction();
  KELDAR_AUDIOVIDEO_API_Slots().BuildSupportedFileTypes();

  TScreen screen;
  screen.resize(960, 540);
  screen.show();
  VideoHooks().FrameReady = [&screen] { QMetaObject::invokeMethod(&screen, [&screen] { screen.update(); }, Qt::QueuedConnection); };
  VideoHooks().DrawingAreaSize = [&screen](int& w, int& h) {
    w = screen.width();
    h = screen.height();
  };
  for (const auto& [size, label] : {std::pair{"1280x720", "720p30"}, std::pair{"1920x1080", "1080p30"}}) {
    const std::string file = (dir / (std::string(label) + ".mp4")).string();
    const std::string make = "ffmpeg -v error -y -f lavfi -i testsrc2=s=" + std::string(size) + ":r=30:d=" +
                             std::to_string(static_cast<int>(seconds) + 2) +
                             " -f lavfi -i sine=d=" + std::to_string(static_cast<int>(seconds) + 2) +
                             " -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac '" + file + "'";
    if (std::system(make.c_str()) != 0) {
      std::printf("%s: ffmpeg could not make the film\n", label);
      continue;
    }
    Run(file, label, seconds, screen);
  }
  KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
  std::filesystem::remove_all(dir);
  return 0;
}
