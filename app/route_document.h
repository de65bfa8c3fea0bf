// SPDX-License-Identifier: GPL-3.0-or-later
// The route the window edits: its model, the file it came from, whether it
// holds changes not yet saved there, and the copy that keeps every change
// safe in the user's data folder.
//
// There is one model for an open route, edited in place (RouteModel::edit
// counts its versions); opening, restoring or closing a route makes a new
// one, which views take as another route.
// The file a route was opened from is written only by save() and saveAs(),
// always atomically (QSaveFile). The copy in the data folder
// (autosave.csv, with the file's path in autosave-source.txt) is written a
// moment after each change and when the document goes away, and read back by
// restoreAutosave() when the window starts; closing the route removes it.
// Unsaved changes that an open() or close() would drop are first kept in a
// file of their own in the data folder, and the message says where.
#pragma once

#include "session/route_model.h"

#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

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

  // Hears every change of the model, the path or the modified flag.
  void setListener(std::function<void()> listener) { listener_ = std::move(listener); }

  // Changes the route in place. Route's edits throw only for an index of no
  // JD, which the panel never passes.
  void edit(const std::function<void(route::Route&)>& change);

  // Each returns whether it succeeded; `message` says why not, or what the
  // user should know (where unsaved changes were kept).
  bool open(const QString& path, QString& message);
  bool save(QString& message); // to path(), which must be set
  bool saveAs(const QString& path, QString& message);
  void close(QString& message);
  // A route read from another format (LandXML): a new route with no file,
  // to be saved; the changes it replaces are kept as open() keeps them.
  // Answers with what the notice should add.
  QString adopt(route::RouteDefinition definition);

  // Brings back the copy of the data folder; false when there is none or it
  // cannot be read (message says why).
  bool restoreAutosave(QString& message);
  // Writes the copy now if a change is pending.
  void flushAutosave();
  static QString dataFolder();
  static QString autosavePath();

private:
  void replace(std::shared_ptr<RouteModel> model, QString path, bool modified);
  void changed();
  void writeAutosave();
  QString keepUnsaved();

  std::shared_ptr<RouteModel> model_;
  QString path_;
  bool modified_ = false;
  QTimer autosave_;
  std::function<void()> listener_;
};

} // namespace quenlor
