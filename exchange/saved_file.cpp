// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/saved_file.h"

#include <QFile>
#include <QSaveFile>
#include <QString>
#include <QTemporaryDir>

#include <sstream>

namespace quenlor::exchange {
namespace {

Failure cannotWrite(const std::string& path, const QString& why) {
  return Failure{"cannot write " + path + ": " + why.toStdString()};
}

} // namespace

Expected<Done> saveBytes(const std::string& path, std::string_view bytes) {
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly))
    return cannotWrite(path, file.errorString());
  if (file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !file.commit())
    return cannotWrite(path, file.errorString());
  return Done{};
}

Expected<Done> saveStream(const std::string& path,
                          const std::function<bool(std::ostream&)>& write) {
  std::ostringstream out;
  if (!write(out))
    return Failure{"cannot write " + path};
  return saveBytes(path, out.view());
}

Expected<Done> saveThroughPath(
    const std::string& path,
    const std::function<std::optional<std::string>(const std::string& scratch)>& write) {
  const QTemporaryDir folder;
  if (!folder.isValid())
    return cannotWrite(path, folder.errorString());
  const QString scratch = folder.filePath(QStringLiteral("file"));
  if (const auto why = write(scratch.toStdString()))
    return Failure{"cannot write " + path + ": " + *why};
  QFile written(scratch);
  if (!written.open(QIODevice::ReadOnly))
    return cannotWrite(path, written.errorString());
  const QByteArray bytes = written.readAll();
  return saveBytes(path, std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

} // namespace quenlor::exchange
