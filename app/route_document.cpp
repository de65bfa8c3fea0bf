// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/route_document.h"

#include "route/route_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace quenlor {
namespace {

// How long after a change the copy in the data folder is written: a burst
// of edits costs one write.
constexpr int kAutosaveDelayMs = 700;

std::string fileName(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString qs(const std::string& text) { return QString::fromStdString(text); }

QString sourcePath() {
  return RouteDocument::dataFolder() + QStringLiteral("/autosave-source.txt");
}

// The path of the file the copy came from, kept beside it.
bool writeSource(const QString& path) {
  QSaveFile file(sourcePath());
  if (!file.open(QIODevice::WriteOnly))
    return false;
  file.write(path.toUtf8());
  return file.commit();
}

QString readSource() {
  QFile file(sourcePath());
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Writes the route through a QSaveFile: the text goes to a temporary file
// that replaces the target only once it is whole, so a crash or a full disk
// leaves the old file as it was. A route that would not read back the same
// is not written at all. Empty when written, else why not.
QString writeRoute(const QString& path, const route::RouteDefinition& definition) {
  if (const auto writable = route::checkWritable(definition); !writable)
    return qs(writable.error());
  const std::string text = route::routeText(definition);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(text.data(), qint64(text.size())) != qint64(text.size()) || !file.commit())
    return QStringLiteral("%1：%2").arg(QDir::toNativeSeparators(path), file.errorString());
  return {};
}

// Whether the file holds this very route: then the copy has nothing unsaved.
bool fileHolds(const QString& path, const route::RouteDefinition& definition) {
  if (path.isEmpty())
    return false;
  const auto onDisk = route::openRouteFile(fileName(path));
  return onDisk && *onDisk == definition;
}

} // namespace

RouteDocument::RouteDocument() : model_(std::make_shared<RouteModel>()) {
  autosave_.setSingleShot(true);
  autosave_.setInterval(kAutosaveDelayMs);
  QObject::connect(&autosave_, &QTimer::timeout, [this] { writeAutosave(); });
}

RouteDocument::~RouteDocument() { flushAutosave(); }

std::shared_ptr<const RouteModel> RouteDocument::drawable() const {
  return model_->route().hasGeometry() ? model_ : nullptr;
}

bool RouteDocument::isEmpty() const {
  return path_.isEmpty() && model_->definition() == route::RouteDefinition{};
}

QString RouteDocument::dataFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString RouteDocument::autosavePath() { return dataFolder() + QStringLiteral("/autosave.csv"); }

void RouteDocument::edit(const std::function<void(route::Route&)>& change) {
  model_->edit(change);
  modified_ = true;
  changed();
}

void RouteDocument::replace(std::shared_ptr<RouteModel> model, QString path, bool modified) {
  model_ = std::move(model);
  path_ = std::move(path);
  modified_ = modified;
  changed();
}

void RouteDocument::changed() {
  autosave_.start();
  if (listener_)
    listener_();
}

bool RouteDocument::open(const QString& path, QString& message) {
  auto definition = route::openRouteFile(fileName(path));
  if (!definition) {
    message = QStringLiteral("无法打开：") + qs(definition.error());
    return false;
  }
  const QString kept = keepUnsaved();
  replace(std::make_shared<RouteModel>(std::move(*definition)), QFileInfo(path).absoluteFilePath(),
          false);
  message = QStringLiteral("已打开 %1").arg(QFileInfo(path).fileName()) + kept;
  return true;
}

QString RouteDocument::adopt(route::RouteDefinition definition) {
  const QString kept = keepUnsaved();
  replace(std::make_shared<RouteModel>(std::move(definition)), QString(), true);
  return kept;
}

bool RouteDocument::save(QString& message) {
  const QString failed = writeRoute(path_, model_->definition());
  if (!failed.isEmpty()) {
    message = QStringLiteral("未能保存：") + failed;
    return false;
  }
  modified_ = false;
  message = QStringLiteral("已保存 %1").arg(QFileInfo(path_).fileName());
  changed();
  return true;
}

bool RouteDocument::saveAs(const QString& path, QString& message) {
  const QString previous = path_;
  path_ = QFileInfo(path).absoluteFilePath();
  if (save(message))
    return true;
  path_ = previous;
  return false;
}

void RouteDocument::close(QString& message) {
  message = QStringLiteral("路线已关闭") + keepUnsaved();
  autosave_.stop();
  QFile::remove(autosavePath());
  QFile::remove(sourcePath());
  model_ = std::make_shared<RouteModel>();
  path_.clear();
  modified_ = false;
  if (listener_)
    listener_();
}

bool RouteDocument::restoreAutosave(QString& message) {
  if (!QFileInfo::exists(autosavePath()))
    return false;
  auto definition = route::openRouteFile(fileName(autosavePath()));
  if (!definition) {
    message = QStringLiteral("上次的路线未能恢复：") + qs(definition.error());
    return false;
  }
  const QString path = readSource();
  const bool modified = !fileHolds(path, *definition);
  replace(std::make_shared<RouteModel>(std::move(*definition)), path, modified);
  autosave_.stop(); // the copy is what was just read
  message = QStringLiteral("已恢复上次的路线") +
            (modified ? QStringLiteral("（有未保存的修改）") : QString());
  return true;
}

void RouteDocument::flushAutosave() {
  if (autosave_.isActive()) {
    autosave_.stop();
    writeAutosave();
  }
}

// A failure here has nowhere to go but the next attempt: the user's file is
// untouched either way.
void RouteDocument::writeAutosave() {
  if (isEmpty() || !QDir().mkpath(dataFolder()))
    return;
  if (writeRoute(autosavePath(), model_->definition()).isEmpty())
    writeSource(path_);
}

// Unsaved changes about to be dropped, kept in a file of their own; the
// text to add to the message.
QString RouteDocument::keepUnsaved() {
  if (!modified_ || isEmpty() || !QDir().mkpath(dataFolder()))
    return {};
  const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  const QString kept = dataFolder() + QStringLiteral("/未保存-%1.csv").arg(stamp);
  if (!writeRoute(kept, model_->definition()).isEmpty())
    return QStringLiteral("；未保存的修改未能另存");
  return QStringLiteral("；之前未保存的修改已存于 %1").arg(QDir::toNativeSeparators(kept));
}

} // namespace quenlor
