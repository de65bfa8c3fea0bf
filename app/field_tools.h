// SPDX-License-Identifier: GPL-3.0-or-later
// The field-tools panel: a side stake at a chainage and offset, the chainage
// and offset of a measured point, and a stake-out table, all on the route the
// boxes describe and recomputed with them.
#pragma once

#include "chainage/stakes.h"

#include <QWidget>

#include <optional>
#include <utility>

class QLabel;
class QLineEdit;
class QTableView;
class QTimer;

namespace quenlor {

class Form;
class StakeTableModel;

class FieldToolsPanel : public QWidget {
public:
  FieldToolsPanel(const Form& form, QWidget* parent);

  // The boxes changed: everything is recomputed once the cascade has run.
  void formChanged();
  // Recomputes at once (the window does it one event-loop turn later).
  void recompute();
  // The table as the clipboard receives it.
  QString tableText() const;

private:
  QLineEdit* input(const QString& name);
  QLineEdit* output(const QString& name);
  void updateStake(const RouteInputs* route);
  void updateLocation(const RouteInputs* route);
  void updateTable(const RouteInputs* route);

  const Form& form_;
  QTimer* pending_;
  QLineEdit *stakeChainage_, *stakeOffset_, *stakeX_, *stakeY_, *stakeAzimuth_, *stakeDistance_;
  QLabel* stakeSide_;
  QLineEdit *pointX_, *pointY_, *foundK_, *foundChainage_, *foundOffset_;
  QLabel* foundSide_;
  QLineEdit *tableStart_, *tableEnd_, *tableInterval_, *tableOffset_;
  QLabel* tableNote_;
  // What the table on show was made from: a keystroke that changes neither
  // leaves a long table as it is.
  std::optional<std::pair<std::optional<RouteInputs>, StakeTableRequest>> tableMadeFrom_;
  StakeTableModel* model_;
  QTableView* view_;
};

} // namespace quenlor
