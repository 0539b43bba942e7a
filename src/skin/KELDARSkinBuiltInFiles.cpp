#include "skin/KELDARSkinBuiltInFiles.h"

#include <QFile>
#include <QString>

#include "skin/KELDARSkinBitmapLayout.h"

namespace {
QString ResourcePath(const std::string& fileName) {
  return QStringLiteral(":/skin/") + QString::fromStdString(KELDARSkinResourceName(fileName));
}
}  // namespace

QByteArray BuiltInKELDARSkinFile(const std::string& fileName) {
  QFile f(ResourcePath(fileName));
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

bool HasBuiltInKELDARSkinFile(const std::string& fileName) { return QFile::exists(ResourcePath(fileName)); }
