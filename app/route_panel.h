// SPDX-License-Identifier: GPL-3.0-or-later
// The route panel: the whole route as tables (the JDs between BP and EP, the
// chain breaks, the grade points with their computed columns, and the cross
// section's: the template 路幅, each curve's superelevation and widening
// 超高加宽, the station table 超高加宽表 with its axis of rotation), the buttons
// that open, save and close route files, and the two that carry a JD between
// the table and the boxes of the window (填入窗口 fills the boxes from the
// chosen JD as typed edits; 写回交点 writes the boxes back into it). A
// one-line notice says what went wrong or what was done; without either it
// sums up the route's checks; while the route cannot be kept in its copy in
// the data folder, it says so too. The file's name and whether it holds
// unsaved changes show above the tables.
//
// Opening, importing or closing over unsaved edits keeps them in a file of
// their own first, and closing the window leaves them in the kept copy;
// where they cannot be kept, and only then, a dialog asks whether to save
// them (保存, 不保存, 取消). A save over a file changed since it was opened
// is not done: the notice says so, and 保存 pressed again overwrites it.
#pragma once

#include "app/route_document.h"

#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;

namespace quenlor {

class Form;
class NoticeLabel;
class RouteTableModel;

class RoutePanel : public QWidget {
public:
  RoutePanel(Form& form, QWidget* parent);

  RouteDocument& document() { return document_; }
  // Hears every change of the route (each a new model), and of the chosen JD.
  void setRouteListener(std::function<void()> listener) { routeListener_ = std::move(listener); }
  void setSelectionListener(std::function<void()> listener) {
    selectionListener_ = std::move(listener);
  }
  std::optional<std::size_t> selectedJd() const;
  void selectJd(std::size_t jd);

  // What the user answers when unsaved edits that nothing holds would be
  // dropped; by default a dialog asks (tests answer for the user).
  enum class SaveAnswer { Save, Discard, Cancel };
  void setSaveQuestion(std::function<SaveAnswer()> ask) { ask_ = std::move(ask); }
  // Whether the window may close now: the edits are held, or the user
  // answered the question.
  bool mayCloseWindow();

  // The actions of the buttons; each says its outcome in the notice.
  bool open(const QString& path);
  void openDialog();
  bool save(); // asks for a file name for a new route
  bool saveAs(const QString& path);
  void saveAsDialog();
  void closeRoute();
  // Whether there was a copy: brought back, or unreadable (the notice says).
  bool restoreAutosave();
  void fillWindow();
  void writeBack();
  void addJd();
  void insertJd();
  void deleteJds();
  void moveJd(int step);
  void copyJds();
  void pasteJds();
  // The cross section's tables: rows copied and pasted in the layouts of
  // session/section_edits.h; parts added to a side, station rows added after
  // the last; the chosen rows deleted.
  void addPart(section::Side side);
  void deleteParts();
  void copySectionRows(QTableView* view);
  void pasteSectionRows(QTableView* view);
  void addStation();
  void deleteStations();

  QString notice() const { return notice_; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QWidget* buildFileRow();
  QWidget* buildJdTab();
  QWidget* buildBreakTab();
  QWidget* buildGradeTab();
  QWidget* buildTemplateTab();
  QWidget* buildCurveSectionTab();
  QWidget* buildStationTab();
  QWidget* tab(QWidget* buttons, QTableView* view);
  std::vector<RouteTableModel*> models() const;
  QTableView* buildTable(RouteTableModel* model, const char* name);
  QPushButton* button(const QString& caption, const char* name, std::function<void()> action);
  void setColumnWidths();
  void routeChanged();
  void say(const QString& message);
  std::optional<QString> keepOrAsk();
  void sayIfAny(const QString& message);
  void exportRoute(QString (*write)(QWidget*, const RouteModel&));
  void showNotice();
  void showFile();
  std::vector<std::size_t> selectedJds() const;
  std::vector<int> selectedRows(const QTableView* view) const;
  void addBreak();
  void deleteBreaks();
  void addGradePoint();
  void deleteGradePoints();

  Form& form_;
  RouteDocument document_;
  RouteTableModel *jdModel_, *breakModel_, *gradeModel_;
  RouteTableModel *templateModel_, *curveModel_, *stationModel_;
  QTableView *jdView_ = nullptr, *breakView_ = nullptr, *gradeView_ = nullptr;
  QTableView *templateView_ = nullptr, *curveView_ = nullptr, *stationView_ = nullptr;
  QComboBox* stationAxis_ = nullptr;
  NoticeLabel* noticeLabel_ = nullptr;
  QLabel* fileLabel_ = nullptr;
  QTabWidget* tables_ = nullptr;
  QString message_, notice_;
  bool overwriteArmed_ = false; // the next save overwrites a file changed on disk
  std::function<SaveAnswer()> ask_;
  std::function<void()> routeListener_, selectionListener_;
};

} // namespace quenlor
