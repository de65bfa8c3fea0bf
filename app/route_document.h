// SPDX-License-Identifier: GPL-3.0-or-later
// The route the window edits: its model, the file it came from, whether it
// holds changes not yet saved there, and the copy that keeps every change
// safe in the user's data folder.
//
// There is one model for an open route, edited in place (RouteModel::edit
// counts its versions); opening, restoring or closing a route makes a new
// one, which views take as another route.
//
// Files go through the one save path (files/save_file.h). The file a route
// was opened from is written only by save() and saveAs(). Its size, time
// and content hash are noted when it is read and written: a save over a
// file whose content changed since is not done but answered ChangedOnDisk,
// for the window to ask the user (save() with overwrite then writes it). A
// mark beside the file (kept_copy.h: OpenMark) tells a second window that
// it is open here.
//
// The kept copy (kept_copy.h: KeptCopy, one slot a window) is written a
// moment after a change (once for a burst of changes), at once when a route
// is opened, and before the file itself on a save: so at any moment after a
// save it equals the saved file, and a kill brings back what was saved. The
// copies after changes and on opening are written on a thread of their own
// (kept_copy.h: CopyWriter), from a snapshot of the route, so that the window
// never waits for them; the one on a save is written before the save goes
// on. It is read back by restoreAutosave() when the window starts; closing
// the route removes it. While it cannot be written, keepProblem() says why
// (once the write has failed), and the edits are held by nothing but the
// window.
//
// Every edit of the route, an import too, is a step of one history
// (session/route_history.h): undo() and redo() move along it, the route
// computed anew each time, and the file a step changed (an import's) comes
// back with it. Opening, restoring and closing a route start a new history.
// The route is modified when the history stands anywhere but where it was
// when the route was opened or saved.
#pragma once

#include "app/captions.h"
#include "app/kept_copy.h"
#include "files/read_file.h"
#include "session/route_history.h"
#include "session/route_model.h"

#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace quenlor {

class RouteDocument {
public:
  RouteDocument();
  ~RouteDocument(); // writes a pending copy to the data folder

  // Never null; the empty definition when no route is open.
  std::shared_ptr<const RouteModel> model() const { return model_; }
  const route::Route& route() const { return model_->route(); }
  // The model for the plan and the tools: none without geometry.
  std::shared_ptr<const RouteModel> drawable() const;
  // Nothing typed and no file: what closing leaves.
  bool isEmpty() const;
  // The file it came from or was saved to; empty for a new route.
  const QString& path() const { return path_; }
  bool modified() const { return modified_; }

  // Hears every change of the model, the path, the modified flag and the
  // keep problem.
  void setListener(std::function<void()> listener) { listener_ = std::move(listener); }

  // Changes the route in place, a step of the history said as `what` ("修改
  // JD2 的 R"). Route's edits throw only for an index of no JD, which the
  // panel never passes.
  void edit(const std::function<void(route::Route&)>& change, const QString& what = {});

  // Takes back the last edit, or does again the last one taken back: the
  // notice (撤销：… or 重做：…), or nothing when there is none.
  std::optional<QString> undo();
  std::optional<QString> redo();
  // What they would do; empty when nothing.
  QString undoText() const;
  QString redoText() const;

  // A route file read, ready to be taken: nothing changes until it is.
  struct Read {
    route::RouteDefinition definition;
    FileStamp stamp;
    QString path; // absolute
  };
  // The notices say in Chinese what went wrong: "无法打开：…".
  static Expected<Read> read(const QString& path);
  // Takes the route read; the notice: 已打开 NAME, and whether another
  // window has the file open.
  QString take(Read read);
  // A route read from another format (LandXML): a new route with no file,
  // to be saved; undone, the route and file before it come back.
  void adopt(route::RouteDefinition definition, const QString& what = caption(captions::kImport));

  enum class Saved { Yes, No, ChangedOnDisk };
  struct SaveOutcome {
    Saved saved;
    QString notice;
  };
  // To path(), which must be set. Over a file changed since it was read or
  // written only with `overwrite`.
  SaveOutcome save(bool overwrite = false);
  SaveOutcome saveAs(const QString& path);
  // Drops the route and its kept copy; the notice.
  QString close();

  // Unsaved edits that opening, importing or closing would drop, kept first
  // in a file of their own in the data folder: what the notice should add
  // ("" when there was nothing to keep), or nothing when they could not be
  // kept.
  std::optional<QString> keepUnsaved();
  // Whether the file or the kept copy holds every edit (a pending copy is
  // written first).
  bool editsHeld();

  // Brings back a copy that a window left (closed or killed): its notice,
  // or nothing when there was none.
  std::optional<QString> restoreAutosave();
  // Writes the copy now if a change is pending, and waits until every copy
  // handed to the writer is written.
  void flushAutosave();
  // Why the route is not being kept now; empty while it is.
  const QString& keepProblem() const { return keepProblem_; }
  // The copy of this window's route, for tests; empty before one is written.
  QString keptCopyPath() const;
  static QString dataFolder();

private:
  void replace(std::shared_ptr<RouteModel> model, QString path, bool modified);
  std::optional<QString> move(std::optional<RouteHistory::Move> step, const QString& said);
  RouteFileState fileState() const;
  void restartHistory(bool saved);
  void changed();
  void writeAutosave();
  void kept(const CopyWriter::Outcome& outcome);
  void keepNow(const std::string& text);
  QString markOpen();
  bool moveEarlierCopy();

  std::shared_ptr<RouteModel> model_;
  QString path_;
  bool modified_ = false;
  std::optional<FileStamp> stamp_; // of the file at path_ when last read or written
  KeptCopy kept_;
  OpenMark mark_;
  bool copyHolds_ = true; // the kept copy holds the route as it is
  QString keepProblem_;
  QTimer autosave_; // also where the writer's outcomes come back to
  std::function<void()> listener_;
  RouteHistory history_;
  std::optional<std::size_t> savedAt_ = 0; // the history's position when saved, if any
  unsigned long changes_ = 0; // counted, to know that a copy written is still the route
  struct Posted {
    unsigned long serial, changes;
  };
  std::optional<Posted> posted_;    // the last copy handed to the writer
  unsigned long appliedSerial_ = 0; // outcomes older than this are old news
  CopyWriter writer_;               // last: its thread stops before the rest goes
};

} // namespace quenlor
