// SPDX-License-Identifier: GPL-3.0-or-later
// The window "main": a view of the form. Every user edit of a text box reaches
// the form as one edit with the box's new whole text; every text the form
// writes appears in its box at once, without coming back as an edit.
#pragma once

#include "form/controls.h"
#include "form/form.h"

#include <QWidget>

#include <array>
#include <string>

class QLineEdit;
class QPushButton;
class QScrollArea;

namespace quenlor {

class FieldToolsPanel;
class PlanView;

class MainWindow : public QWidget {
public:
  explicit MainWindow(QWidget* parent = nullptr);

  Form& form() { return form_; }
  QLineEdit* box(Box box) const { return boxes_[std::size_t(boxNumber(box))]; }
  QPushButton* button(Button button) const { return buttons_[std::size_t(button)]; }
  PlanView* planView() const { return plan_; }
  FieldToolsPanel* fieldTools() const { return tools_; }

protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void buildControls();
  void orderTabs();
  void showText(Box box, const std::string& text);

  Form form_;
  std::array<QLineEdit*, kHighestBoxNumber + 1> boxes_{};
  std::array<QPushButton*, kButtonCount> buttons_{};
  PlanView* plan_ = nullptr;
  FieldToolsPanel* tools_ = nullptr;
  QScrollArea* toolsArea_ = nullptr;
};

} // namespace quenlor
