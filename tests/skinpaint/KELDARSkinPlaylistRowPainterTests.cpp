// The playlist row painter: texts by display mode, length tag, background and list picture.
#include "SkinPaintFixture.h"
#include "skin/KELDARSkinPlaylistRowPainter.h"

namespace {

class PlaylistRows : public DefaultSkinPaint {
 protected:
  void SetUp() override {
    DefaultSkinPaint::SetUp();
    entry.FullPathAndFilename = "/home/user/Music/Some Band/Long Album Name/07 - Track Title.mp3";
    entry.ArtistName = "Some Band";
    entry.TitleName = "Track Title";
    entry.FilePlaybackLength = 754;
    row.Entry = &entry;
    row.Index = 4;
    row.Rect = QRect(0, 32, 200, 16);
    row.TextColour = QColor(200, 0, 0);
    row.BackgroundColour = QColor(0, 0, 200);
    row.Font = QFont("Arial");
    row.Font.setPixelSize(12);
  }
  QImage Paint() {
    QImage img = Canvas(200, 80);
    QPainter p(&img);
    PaintKELDARSkinPlaylistRow(p, row);
    return img;
  }
  TPlayListBoxItem entry;
  TKELDARSkinPlaylistRow row;
};

TEST_F(PlaylistRows, Texts) {
  EXPECT_EQ(KELDARSkinPlaylistLengthText(754), " [12:34] ");
  EXPECT_EQ(KELDARSkinPlaylistLengthText(5), " [00:05] ");
  EXPECT_EQ(KELDARSkinPlaylistLengthText(-3), " [00:00] ");
  EXPECT_EQ(KELDARSkinPlaylistLengthText(6000), " [100:00] ");
  EXPECT_EQ(KELDARSkinPlaylistRowText(row), "Some Band - Track Title");
  row.ShowCounter = true;
  EXPECT_EQ(KELDARSkinPlaylistRowText(row), "5. Some Band - Track Title");
  row.DisplayMode = 1;
  EXPECT_EQ(KELDARSkinPlaylistRowText(row), "5. 07 - Track Title.mp3");
  entry.FullPathAndFilename = "http://radio.example/stream.mp3";
  EXPECT_EQ(KELDARSkinPlaylistRowText(row), "5. http://radio.example/stream.mp3");
  row.DisplayMode = 0;
  EXPECT_EQ(KELDARSkinPlaylistRowText(row), "5. http://radio.example/stream.mp3");
}

TEST_F(PlaylistRows, FillsTheRowAndDrawsTextInsideIt) {
  QImage img = Paint();
  EXPECT_EQ(CountColour(img, QRect(0, 0, 200, 32), Sentinel()), 200 * 32);
  EXPECT_EQ(CountColour(img, QRect(0, 48, 200, 32), Sentinel()), 200 * 32);
  EXPECT_EQ(CountColour(img, row.Rect, Sentinel()), 0);
  EXPECT_EQ(img.pixelColor(0, 40), row.BackgroundColour);  // inside the left margin
  EXPECT_EQ(img.pixelColor(199, 40), row.BackgroundColour);
  int ink = 0;
  for (int y = 32; y < 48; ++y)
    for (int x = 0; x < 200; ++x) {
      const QColor c = img.pixelColor(x, y);
      if (c.red() > 100 && c.blue() < 150) ++ink;
    }
  EXPECT_GT(ink, 30);
}

TEST_F(PlaylistRows, LongTitlesAreShortenedToLeaveRoomForTheLengthInEveryMode) {
  // Every mode gets a text far wider than the row.
  entry.ArtistName = "An Artist With A Really Very Long Name";
  entry.TitleName = "And A Title That Goes On And On";
  entry.FullPathAndFilename = "/home/user/Music/" + std::string(60, 'x') + ".mp3";
  const QFontMetrics metrics(row.Font);
  const int tag = metrics.horizontalAdvance(QString::fromStdString(KELDARSkinPlaylistLengthText(754)));
  const int gapX = 200 - 2 - tag - 2;
  for (const std::int32_t mode : {0, 1, 2}) {
    row.DisplayMode = mode;
    QImage img = Paint();
    // The length tag sits at the right end; just left of it there is the gap, not title text.
    int inkInGap = 0;
    for (int y = 32; y < 48; ++y)
      for (int x = gapX; x < gapX + 2; ++x)
        if (img.pixelColor(x, y) != row.BackgroundColour) ++inkInGap;
    EXPECT_EQ(inkInGap, 0) << "mode " << mode;
  }
}

TEST_F(PlaylistRows, ListPictureUnderTheRowWhenItReachesIt) {
  row.BitmapEnabled = true;
  QImage picture(200, 40, QImage::Format_RGB32);
  picture.fill(QColor(10, 200, 10));
  LoadedKELDARSkin().Bitmaps[static_cast<std::size_t>(TKELDARSkinBitmap::PlaylistListBoxImage)] = picture;
  QImage img = Paint();
  EXPECT_EQ(img.pixelColor(0, 33), QColor(10, 200, 10));
  EXPECT_EQ(img.pixelColor(0, 45), row.BackgroundColour);  // the picture ends at y 40
  row.Rect = QRect(0, 48, 200, 16);  // a row below the picture's bottom keeps its colour
  QImage below = Paint();
  EXPECT_EQ(below.pixelColor(0, 50), row.BackgroundColour);
}

}  // namespace
