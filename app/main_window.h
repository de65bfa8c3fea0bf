// SPDX-License-Identifier: GPL-3.0-or-later
// The window "main": a view of the form. Every user edit of a text box reaches
// the form as one edit with the box's new whole text; every text the form
// writes appears in its box at once, without coming back as an edit. Beside
// the boxes, on tabs: the plan, the profile, the cross section and the route
// panel; a route file dropped on the window opens in the panel, Ctrl+O and
// Ctrl+S open and save.
//
// The controls keep the places of their table, drawn wider where the window
// has room (formScale), so that the boxes show more of their digits; beside
// the notice a readout shows the results at field precision (millimetres and
// whole seconds). A button at the top left folds the controls away on a
// small screen, and the field tools and the views take the whole window
// until it is pressed again.
#pragma once

#include "form/controls.h"
#include "form/form.h"
#include "session/route_boxes.h"

#include <QWidget>

#include <array>
#include <string>
#include <utility>
#include <vector>

class QLineEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QToolButton;

namespace quenlor {

class FieldToolsPanel;
class PlanView;
class ProfileView;
class ReadoutView;
class RoutePanel;
class SectionView;

struct WindowControl;

// How much wider than its table the form is drawn in a window of this width:
// as wide as leaves the views kLeastViewsWidth pixels, from 1 (the table's
// own places) up to kMostFormScale, at which a box shows the millimetres of
// a five-digit chainage, a four-digit tangent or a seven-digit X. Only
// places and widths across scale; rows, heights and fonts stay as they are.
inline constexpr double kMostFormScale = 1.25;
inline constexpr int kLeastViewsWidth = 560;
double formScale(int windowWidth);

class MainWindow : public QWidget {
public:
  explicit MainWindow(QWidget* parent = nullptr);

  Form& form() { return form_; }
  QLineEdit* box(Box box) const { return boxes_[std::size_t(boxNumber(box))]; }
  QPushButton* button(Button button) const { return buttons_[std::size_t(button)]; }
  PlanView* planView() const { return plan_; }
  FieldToolsPanel* fieldTools() const { return tools_; }
  ProfileView* profileView() const { return profile_; }
  SectionView* sectionView() const { return section_; }
  RoutePanel* routePanel() const { return routePanel_; }
  // The plan, the profile, the cross section and the route panel, one tab
  // each.
  QTabWidget* views() const { return views_; }
  // The form's results at field precision, beside the notice.
  ReadoutView* readout() const { return readout_; }
  // Hides the controls, the field tools and the views taking their room; or
  // shows them again.
  void setFormFolded(bool folded);
  bool formFolded() const { return folded_; }

protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // Asks first only where unsaved edits would be lost (route_panel.h).
  void closeEvent(QCloseEvent* event) override;

private:
  void buildControls();
  void buildFoldButton();
  void placeControls(double scale);
  void buildViews();
  void orderTabs();
  void showText(Box box, const std::string& text);
  void showRoute();
  void showSelectedJd();

  Form form_;
  RouteBoxes routeBoxes_; // the JD of the route the boxes are filled from
  std::array<QLineEdit*, kHighestBoxNumber + 1> boxes_{};
  std::array<QPushButton*, kButtonCount> buttons_{};
  PlanView* plan_ = nullptr;
  FieldToolsPanel* tools_ = nullptr;
  QScrollArea* toolsArea_ = nullptr;
  ProfileView* profile_ = nullptr;
  SectionView* section_ = nullptr;
  RoutePanel* routePanel_ = nullptr;
  QTabWidget* views_ = nullptr;
  QToolButton* fold_ = nullptr;
  ReadoutView* readout_ = nullptr;
  bool folded_ = false;
  std::vector<std::pair<QWidget*, const WindowControl*>> controls_;
};

} // namespace quenlor
