// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/route_document.h"

#include "app/captions.h"
#include "app/said.h"
#include "files/save_file.h"
#include "route/route_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace quenlor {
namespace {

// How long after a change the copy in the data folder is written: a burst
// of edits costs one write, and a long one a write this often.
constexpr int kAutosaveDelayMs = 700;
// The most a kept copy's source (a path) may hold.
constexpr std::size_t kMostSourceBytes = 1 << 16;

std::string fileName(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString fromFileName(const std::string& name) {
  return QFile::decodeName(QByteArray::fromStdString(name));
}
QString qs(const std::string& text) { return QString::fromStdString(text); }

QString shownName(const QString& path) { return QFileInfo(path).fileName(); }

QString cannotKeep(const Expected<Done>& kept) {
  return said(Say::WindowCopyNotKept, {qs(kept.notice())});
}

// The route's file text, or why it cannot be written (not text, a number
// beyond what the file holds).
Expected<std::string> textOf(const route::RouteDefinition& definition) {
  if (const auto writable = route::checkWritable(definition); !writable)
    return writable.failure();
  return route::routeText(definition);
}

// The stamp of the file at `path` as it is now, and whether it holds this
// very route (then the copy has nothing unsaved).
struct OnDisk {
  std::optional<FileStamp> stamp;
  bool holds = false;
};
OnDisk onDisk(const QString& path, const route::RouteDefinition& definition) {
  if (path.isEmpty())
    return {};
  const auto read = readFile(fileName(path), route::kMostRouteFileBytes);
  if (!read)
    return {};
  const auto held = route::readRouteText(read->bytes);
  return {read->stamp, held && *held == definition};
}

} // namespace

RouteDocument::RouteDocument()
    : model_(std::make_shared<RouteModel>()), kept_(fileName(dataFolder())),
      writer_(kept_, [this](const CopyWriter::Outcome& outcome) {
        QMetaObject::invokeMethod(
            &autosave_, [this, outcome] { kept(outcome); }, Qt::QueuedConnection);
      }) {
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

QString RouteDocument::keptCopyPath() const {
  return kept_.held() ? fromFileName(kept_.copyPath()) : QString();
}

void RouteDocument::edit(const std::function<void(route::Route&)>& change, const QString& what) {
  model_->edit(change);
  // Every step says something on the buttons, an edit not named too.
  history_.record(model_->definition(),
                  (what.isEmpty() ? caption(captions::kEditRoute) : what).toStdString());
  modified_ = savedAt_ != history_.position();
  changed();
}

RouteFileState RouteDocument::fileState() const { return {fileName(path_), stamp_}; }

// A new history from the route as it now is, saved in its file or not.
void RouteDocument::restartHistory(bool saved) {
  history_.reset(model_->definition());
  savedAt_ = saved ? std::optional<std::size_t>(0) : std::nullopt;
}

std::optional<QString> RouteDocument::undo() {
  const QString what = undoText();
  return move(history_.undo(), said(Say::WindowUndone, {what}));
}

std::optional<QString> RouteDocument::redo() {
  const QString what = redoText();
  return move(history_.redo(), said(Say::WindowRedone, {what}));
}

// The route the history moved to, computed anew in the one model, and its
// file where the step changed that.
std::optional<QString> RouteDocument::move(std::optional<RouteHistory::Move> step,
                                           const QString& said) {
  if (!step)
    return std::nullopt;
  if (step->file) {
    path_ = fromFileName(step->file->path);
    stamp_ = step->file->stamp;
    markOpen();
  }
  model_->edit([&](route::Route& r) { r = route::Route(std::move(step->definition)); });
  modified_ = savedAt_ != history_.position();
  changed();
  return said;
}

QString RouteDocument::undoText() const { return QString::fromStdString(history_.undoText()); }
QString RouteDocument::redoText() const { return QString::fromStdString(history_.redoText()); }

void RouteDocument::replace(std::shared_ptr<RouteModel> model, QString path, bool modified) {
  model_ = std::move(model);
  path_ = std::move(path);
  modified_ = modified;
  changed();
}

void RouteDocument::changed() {
  copyHolds_ = false;
  ++changes_;
  if (!autosave_.isActive())
    autosave_.start();
  if (listener_)
    listener_();
}

Expected<RouteDocument::Read> RouteDocument::read(const QString& path) {
  const auto bytes = readFile(fileName(path), route::kMostRouteFileBytes);
  if (!bytes)
    return Failure{bytes.error(), chinese(Say::WindowCannotOpen, {bytes.notice()})};
  auto definition = route::readRouteText(bytes->bytes);
  if (!definition)
    return Failure{definition.error(), chinese(Say::WindowCannotOpen, {definition.error()})};
  return Read{std::move(*definition), bytes->stamp, QFileInfo(path).absoluteFilePath()};
}

// The file marked as open here; what the notice adds when another window
// has it open too.
QString RouteDocument::markOpen() {
  if (path_.isEmpty()) {
    mark_.release();
    return {};
  }
  clearLeftovers(fileName(QFileInfo(path_).absolutePath()));
  const auto other = mark_.take(fileName(path_));
  return other ? said(Say::Then) + said(Say::WindowOpenElsewhere, {QString::number(*other)})
               : QString();
}

QString RouteDocument::take(Read read) {
  stamp_ = read.stamp;
  history_.reset(read.definition);
  savedAt_ = 0;
  replace(std::make_shared<RouteModel>(std::move(read.definition)), std::move(read.path), false);
  writeAutosave(); // the copy follows the file at once
  return said(Say::WindowOpened, {shownName(path_)}) + markOpen();
}

// A step of the history like any edit, which takes the file with it.
void RouteDocument::adopt(route::RouteDefinition definition, const QString& what) {
  const RouteFileState before = fileState();
  history_.record(definition, what.toStdString(), std::pair(before, RouteFileState{}));
  stamp_.reset();
  replace(std::make_shared<RouteModel>(std::move(definition)), QString(), true);
  markOpen();
}

RouteDocument::SaveOutcome RouteDocument::save(bool overwrite) {
  const auto text = textOf(model_->definition());
  if (!text)
    return {Saved::No, said(Say::WindowNotSaved, {qs(text.notice())})};
  const std::string path = fileName(path_);
  if (!overwrite && stamp_)
    if (const auto now = readFile(path, route::kMostRouteFileBytes);
        now && !now->stamp.sameContent(*stamp_))
      return {Saved::ChangedOnDisk, said(Say::WindowChangedOnDisk, {shownName(path_)})};
  // The copy first: a kill after the file's save then finds the two equal.
  autosave_.stop();
  keepNow(*text);
  if (const auto saved = saveBytes(path, *text); !saved) {
    if (listener_)
      listener_();
    return {Saved::No, said(Say::WindowNotSaved, {qs(saved.notice())})};
  }
  stamp_ = FileStamp{text->size(), 0, contentHash(*text)};
  modified_ = false;
  savedAt_ = history_.position();
  if (listener_)
    listener_();
  return {Saved::Yes, said(Say::WindowSaved, {shownName(path_)})};
}

RouteDocument::SaveOutcome RouteDocument::saveAs(const QString& path) {
  const QString previous = path_;
  const auto previousStamp = stamp_;
  path_ = QFileInfo(path).absoluteFilePath();
  SaveOutcome outcome = save(true);
  if (outcome.saved != Saved::Yes) {
    path_ = previous;
    stamp_ = previousStamp;
    return outcome;
  }
  outcome.notice += markOpen();
  return outcome;
}

QString RouteDocument::close() {
  autosave_.stop();
  appliedSerial_ = writer_.now([](KeptCopy& copy) { copy.remove(); });
  mark_.release();
  model_ = std::make_shared<RouteModel>();
  path_.clear();
  stamp_.reset();
  modified_ = false;
  restartHistory(true);
  copyHolds_ = true;
  keepProblem_.clear();
  if (listener_)
    listener_();
  return said(Say::WindowRouteClosed);
}

std::optional<QString> RouteDocument::restoreAutosave() {
  const std::string folder = fileName(dataFolder());
  clearLeftovers(folder);
  bool adopted = false;
  writer_.now([&](KeptCopy& copy) { adopted = copy.adoptLeft(); });
  if (!adopted && !moveEarlierCopy())
    return std::nullopt;
  const auto copy = readFile(kept_.copyPath(), route::kMostRouteFileBytes);
  auto definition =
      copy ? route::readRouteText(copy->bytes) : Expected<route::RouteDefinition>(copy.failure());
  if (!definition) {
    // Set aside, not written over: what it holds is not lost.
    const QString aside =
        dataFolder() +
        caption(captions::kNotRestoredFile)
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QFile::rename(keptCopyPath(), aside);
    return said(Say::WindowNotRestored, {QDir::toNativeSeparators(aside), qs(definition.notice())});
  }
  const auto source = readFile(kept_.sourcePath(), kMostSourceBytes);
  const QString path = source ? fromFileName(source->bytes) : QString();
  const OnDisk file = onDisk(path, *definition);
  stamp_ = file.stamp;
  history_.reset(*definition);
  savedAt_ = file.holds ? std::optional<std::size_t>(0) : std::nullopt;
  replace(std::make_shared<RouteModel>(std::move(*definition)), path, !file.holds);
  autosave_.stop(); // the copy is what was just read
  copyHolds_ = true;
  return said(modified_ ? Say::WindowRestoredModified : Say::WindowRestored) + markOpen();
}

// The one copy an earlier version kept (autosave.csv, the path of its file
// in autosave-source.txt), moved into this window's slot.
bool RouteDocument::moveEarlierCopy() {
  const QString copy = dataFolder() + QStringLiteral("/autosave.csv");
  const QString source = dataFolder() + QStringLiteral("/autosave-source.txt");
  const auto text = readFile(fileName(copy), route::kMostRouteFileBytes);
  if (!text)
    return false;
  const auto path = readFile(fileName(source), kMostSourceBytes);
  bool moved = false;
  writer_.now([&](KeptCopy& copy) {
    moved = bool(copy.write(text->bytes, path ? path->bytes : std::string()));
  });
  if (!moved)
    return false;
  QFile::remove(copy);
  QFile::remove(source);
  return true;
}

void RouteDocument::flushAutosave() {
  if (autosave_.isActive())
    writeAutosave();
  if (const auto last = writer_.wait())
    kept(*last);
}

bool RouteDocument::editsHeld() {
  flushAutosave();
  return !modified_ || copyHolds_;
}

// A snapshot of the route handed to the writer: the window's thread copies
// the definition (a fraction of a millisecond for ten thousand JDs), the
// writer makes its text and writes it.
void RouteDocument::writeAutosave() {
  autosave_.stop();
  if (isEmpty())
    return;
  const unsigned long serial = writer_.post(
      [definition = model_->definition()] { return textOf(definition); }, fileName(path_));
  posted_ = Posted{serial, changes_};
}

// What became of a copy, back on the window's thread. A failure stays in the
// notice (keepProblem) until a copy is written again; the user's file is
// untouched either way.
void RouteDocument::kept(const CopyWriter::Outcome& outcome) {
  if (outcome.serial <= appliedSerial_)
    return;
  appliedSerial_ = outcome.serial;
  const QString before = keepProblem_;
  keepProblem_ = outcome.kept ? QString() : cannotKeep(outcome.kept);
  copyHolds_ =
      outcome.kept && posted_ && posted_->serial == outcome.serial && posted_->changes == changes_;
  if (keepProblem_ != before && listener_)
    listener_();
}

// The copy of the route as it is, written before going on (a save's); where
// it cannot be, the older copy goes, so that it never comes back over the
// saved file.
void RouteDocument::keepNow(const std::string& text) {
  Expected<Done> written = Done{};
  appliedSerial_ = writer_.now([&](KeptCopy& copy) {
    written = copy.write(text, fileName(path_));
    if (!written)
      copy.remove();
  });
  copyHolds_ = bool(written);
  keepProblem_ = written ? QString() : cannotKeep(written);
}

std::optional<QString> RouteDocument::keepUnsaved() {
  if (!modified_ || isEmpty())
    return QString();
  const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  const QString kept = dataFolder() + caption(captions::kUnsavedFile).arg(stamp);
  const auto text = textOf(model_->definition());
  if (!text || !QDir().mkpath(dataFolder()) || !saveBytes(fileName(kept), *text))
    return std::nullopt;
  return said(Say::Then) + said(Say::WindowUnsavedKept, {QDir::toNativeSeparators(kept)});
}

} // namespace quenlor
