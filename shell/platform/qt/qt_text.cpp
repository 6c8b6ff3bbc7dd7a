#include "platform/qt/qt_text.h"

#include <QFile>
#include <QStringDecoder>

namespace tarvex {

QString toQt(const std::string& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!utf8.hasError()) return text;
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString toQtLines(const std::string& bytes) {
  QString text = toQt(bytes);
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

std::string fromQt(const QString& text) { return text.toUtf8().toStdString(); }

std::filesystem::path pathFromQt(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString pathToQt(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

}  // namespace tarvex
