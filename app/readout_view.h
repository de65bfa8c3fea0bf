// SPDX-License-Identifier: GPL-3.0-or-later
// The form's results at field precision (session/readout.h), in a small grid
// beside the notice above the station's row: T, E, L, deflection and R; ZH to
// HZ; the point at the chainage with its setting-out and elevation.
#pragma once

#include <QWidget>

#include <vector>

class QLabel;

namespace quenlor {

class Form;

class ReadoutView : public QWidget {
public:
  ReadoutView(const Form& form, QWidget* parent);

  // The boxes changed: the readout shows them anew.
  void formChanged();
  // The texts on show, column by column ("T 139.312"), for tests.
  QStringList texts() const;

private:
  const Form& form_;
  std::vector<QLabel*> values_;
};

} // namespace quenlor
