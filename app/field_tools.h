// SPDX-License-Identifier: GPL-3.0-or-later
// The field-tools panel below the boxes: a notice line, a side stake at a
// chainage and offset, the chainage and offset of a measured point, and a
// stake-out table, all on the route the boxes describe and recomputed with
// them; the table goes out as CSV, XLSX or on paper. The panel forwards what is typed into its
// boxes to the engine's field-tools model and shows its answers. Its columns have fixed widths, so
// nothing moves while a surveyor works.
#pragma once

#include "exchange/stake_sheet.h"
#include "session/field_tools.h"

#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTableView;
class QTimer;

namespace quenlor {

class Form;
class NoticeLabel;
class RouteBoxes;
class StakeTableModel;

class FieldToolsPanel : public QWidget {
public:
  FieldToolsPanel(const Form& form, QWidget* parent);

  // The boxes changed: everything is recomputed once the cascade has run.
  void formChanged();
  // Recomputes at once (the window does it one event-loop turn later).
  void recompute();
  // The table as the clipboard receives it, at the precision on show.
  QString tableText() const;
  // Puts a text into one of the tools' boxes (by its object name, such as
  // "stakeChainage") as if it had been typed; false for an unknown box.
  bool fill(const QString& name, const QString& text);
  const FieldAnswers& answers() const { return model_.answers(); }
  // The route the tools work on; none for the curve the boxes describe.
  void setRoute(std::shared_ptr<const RouteModel> route);
  // The JD the boxes hold from the route, for the notice line's notices on
  // them (session/route_boxes.h).
  void setRouteBoxes(const RouteBoxes* boxes) { routeBoxes_ = boxes; }
  // Says the outcome of a file written from the table in the notice line,
  // until the next edit.
  void setFileNotice(const QString& text);
  // The header of a stake sheet of the table on show: route, station,
  // backsight, today's date, the precision on show.
  exchange::SheetHeader sheetHeader() const;
  // Hears every recomputation, after the panel shows it.
  void setListener(std::function<void()> listener) { listener_ = std::move(listener); }

private:
  using Input = FieldToolsModel::Input;

  QGroupBox* buildStakeGroup();
  QGroupBox* buildLocateGroup();
  QGroupBox* buildTableGroup();
  QGridLayout* buildFileButtons(QWidget* group);
  QTableView* buildTableView();
  void orderTabs();
  QLineEdit* input(Input input, const QString& name);
  QLineEdit* output(const QString& name);
  QLabel* sideLabel(QWidget* parent);
  QLabel* cutFillLabel(QWidget* parent);
  void addRow(QGridLayout* grid, int row, const QString& caption, QWidget* field,
              QWidget* extra = nullptr);
  void showAnswers(const FieldAnswers& answers);

  const Form& form_;
  FieldToolsModel model_;
  QTimer* pending_;
  NoticeLabel* notice_;
  QLabel *source_, *pointLevel_;
  QLineEdit *stakeX_, *stakeY_, *stakeAzimuth_, *stakeDistance_;
  QLabel *stakeSide_, *stakeCutFill_;
  QLineEdit* stakeDesign_;
  QLineEdit *foundK_, *foundChainage_, *foundOffset_;
  QLabel* foundSide_;
  QLabel* foundNote_; // beyond an end, a second foot nearly as near
  QLabel* tableNote_;
  StakeTableModel* tableModel_;
  QTableView* view_;
  std::function<void()> listener_;
  std::shared_ptr<const RouteModel> route_;
  const RouteBoxes* routeBoxes_ = nullptr;
  QString fileNotice_;
};

} // namespace quenlor
