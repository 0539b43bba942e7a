// Picture input plug-in: JPG, PNG and BMP, plus GIF and WEBP where Qt's readers have them.
#include <QImage>
#include <QImageReader>

#include <memory>
#include <vector>

#include "zpinput_sdk_header.h"
#include "zpinput_shared/ZpinputPluginKit.h"

namespace {

Tzpinput_plugin_Format_RecordArray g_formats{};
Tzpinput_plugin_INFO g_info = {100, "Zorvane pictures", ZPINPUT_TYPE_PICTURE, 0, &g_formats};
zpinput_picture g_picture{};
std::vector<uint32_t> g_pixels;
zpinput_data_object g_object{};
Tzpinput_plugin_structure g_plugin{};

void DeclareFormats() {
  const QList<QByteArray> have = QImageReader::supportedImageFormats();
  struct Candidate {
    const char* reader;
    const char* description;
    const char* extension;
  };
  static const Candidate candidates[] = {
      {"jpeg", "JPEG Picture", ".jpg"}, {"jpeg", "JPEG Picture", ".jpeg"},
      {"png", "PNG Picture", ".png"},   {"bmp", "Bitmap Picture", ".bmp"},
      {"gif", "GIF Picture", ".gif"},   {"webp", "WebP Picture", ".webp"}};
  uint32_t n = 0;
  for (const Candidate& c : candidates)
    if (have.contains(QByteArray(c.reader)) && n < ZPINPUT_MAX_FORMATS)
      g_formats[n++] = {c.description, c.extension};
  g_info.input_plugin_FormatsNumber = n;
}

void Clear() {
  g_object.picture = nullptr;
  g_picture = zpinput_picture{};
  g_pixels.clear();
  g_pixels.shrink_to_fit();
}

int32_t Initialize() {
  Clear();
  return ZPINPUT_RESULT_SUCCESS;
}

int32_t LoadData(const char* fileName) {
  Clear();
  if (fileName == nullptr) return ZPINPUT_RESULT_FAILURE;
  try {
    QImageReader reader(QString::fromUtf8(fileName));
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull()) return ZPINPUT_RESULT_FAILURE;
    image = image.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width(), h = image.height();
    g_pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
      std::copy(row, row + w, g_pixels.begin() + static_cast<ptrdiff_t>(y) * w);
    }
    g_picture.width = static_cast<uint32_t>(w);
    g_picture.height = static_cast<uint32_t>(h);
    g_picture.pixels = g_pixels.data();
    g_object.picture = &g_picture;
    return ZPINPUT_RESULT_SUCCESS;
  } catch (...) {
    Clear();
    return ZPINPUT_RESULT_FAILURE;
  }
}

int32_t SaveData(const char*, const char*) { return ZPINPUT_RESULT_FAILURE; }

void Close() { Clear(); }

}  // namespace

extern "C" __attribute__((visibility("default"))) Tzpinput_plugin_structure* zpinput_Plugin_Interface() {
  DeclareFormats();
  return zpkit::BindPluginStructure(g_plugin, g_object, g_info, &Initialize, &LoadData, &SaveData, &Close);
}
