// SPDX-License-Identifier: GPL-3.0-or-later
// The window "main": a view of the form. Every user edit of a text box reaches
// the form as one edit with the box's new whole text; every text the form
// writes appears in its box at once, without coming back as an edit. Beside
// the boxes, on tabs: the plan, the profile and the route panel; a route file
// dropped on the window opens in the panel, Ctrl+O and Ctrl+S open and save.
#pragma once

#include "form/controls.h"
#include "form/form.h"

#include <QWidget>

#include <array>
#include <string>

class QLineEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;

namespace quenlor {

class FieldToolsPanel;
class PlanView;
class ProfileView;
class RoutePanel;

class MainWindow : public QWidget {
public:
  explicit MainWindow(QWidget* parent = nullptr);

  Form& form() { return form_; }
  QLineEdit* box(Box box) const { return boxes_[std::size_t(boxNumber(box))]; }
  QPushButton* button(Button button) const { return buttons_[std::size_t(button)]; }
  PlanView* planView() const { return plan_; }
  FieldToolsPanel* fieldTools() const { return tools_; }
  ProfileView* profileView() const { return profile_; }
  RoutePanel* routePanel() const { return routePanel_; }
  // The plan, the profile and the route panel, one tab each.
  QTabWidget* views() const { return views_; }

protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // Asks first only where unsaved edits would be lost (route_panel.h).
  void closeEvent(QCloseEvent* event) override;

private:
  void buildControls();
  void buildViews();
  void orderTabs();
  void showText(Box box, const std::string& text);
  void showRoute();
  void showSelectedJd();

  Form form_;
  std::array<QLineEdit*, kHighestBoxNumber + 1> boxes_{};
  std::array<QPushButton*, kButtonCount> buttons_{};
  PlanView* plan_ = nullptr;
  FieldToolsPanel* tools_ = nullptr;
  QScrollArea* toolsArea_ = nullptr;
  ProfileView* profile_ = nullptr;
  RoutePanel* routePanel_ = nullptr;
  QTabWidget* views_ = nullptr;
};

} // namespace quenlor
