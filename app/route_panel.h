// SPDX-License-Identifier: GPL-3.0-or-later
// The route panel: the whole route as tables (the JDs between BP and EP, or
// for a route by elements its element table, 线元, in their place; the chain
// breaks, the grade points with their computed columns; the stations kept
// with it, one of them in use; the cross section's: the template 路幅,
// each curve's superelevation and widening 超高加宽, the station table
// 超高加宽表 with its axis of rotation), its name (which the sheets print and the
// file keeps), the buttons
// that open, save and close route files, and the two that carry a JD between
// the table and the boxes of the window (填入窗口 fills the boxes from the
// chosen JD as typed edits; 写回交点 writes the boxes back into it). A
// one-line notice says what went wrong or what was done; without either it
// sums up the route's checks; while the route cannot be kept in its copy in
// the data folder, it says so too. The file's name and whether it holds
// unsaved changes show above the tables. A new route is started by JDs or,
// with 改用线元法, by elements (and back while it has no rows); 导出线元表
// writes the element table of any route as a route file of element rows;
// 导出直曲表 its JD table (直线、曲线及转角表), 导出逐桩坐标 the stake table's
// stakes as a coordinate table (逐桩坐标表), each as XLSX or PDF.
//
// Opening, importing or closing over unsaved edits keeps them in a file of
// their own first, and closing the window leaves them in the kept copy;
// where they cannot be kept, and only then, a dialog asks whether to save
// them (保存, 不保存, 取消). A save over a file changed since it was opened
// is not done: the notice says so, and 保存 pressed again overwrites it.
#pragma once

#include "app/route_document.h"
#include "exchange/stake_sheet.h"

#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;

namespace quenlor {

class FlowLayout;
class Form;
class NoticeLabel;
class RouteBoxes;
class RouteTableModel;
struct TableAnswer;

class RoutePanel : public QWidget {
public:
  RoutePanel(Form& form, QWidget* parent);

  RouteDocument& document() { return document_; }
  // Hears every change of the route (each a new model), and of the chosen JD.
  void setRouteListener(std::function<void()> listener) { routeListener_ = std::move(listener); }
  void setSelectionListener(std::function<void()> listener) {
    selectionListener_ = std::move(listener);
  }
  // The stake table the DXF export draws the stakes of (none: no stakes),
  // and the coordinate table lists, under the stake sheet's header.
  void setStakeTable(std::function<const TableAnswer*()> table) { stakeTable_ = std::move(table); }
  void setSheetHeader(std::function<exchange::SheetHeader()> header) {
    sheetHeader_ = std::move(header);
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
  // A LandXML file's route: the first alignment, or the one named. A file of
  // several alignments leaves a list beside the button to take another.
  void importLandXmlDialog();
  void importLandXmlFile(const QString& path, const QString& alignment = {});
  // Whether there was a copy: brought back, or unreadable (the notice says).
  bool restoreAutosave();
  // 填入窗口 fills through the window's record of the JD the boxes hold.
  void setRouteBoxes(RouteBoxes* boxes) { routeBoxes_ = boxes; }
  void fillWindow();
  void writeBack();
  void addJd();
  void insertJd();
  void deleteJds();
  void moveJd(int step);
  void copyJds();
  void pasteJds();
  void setRouteName(const QString& name);
  // The chosen row of the stations table is the station in use.
  void useStation();
  void pasteGradePoints();
  void pasteBreaks();
  // The route's edits taken back and done again; false when there is none.
  bool undo();
  bool redo();
  // The element table's: rows, clipboard, method, export.
  void addElement();
  void insertElement();
  void deleteElements();
  void moveElement(int step);
  void copyElements();
  void pasteElements();
  void startAs(route::Method method);
  bool exportElements(const QString& path);
  void exportElementsDialog();
  std::optional<std::size_t> selectedElement() const;
  void selectElement(std::size_t element);
  // Whether the table of JDs or of elements shows now.
  bool showsElements() const;
  // The cross section's tables: rows copied and pasted in the layouts of
  // session/section_edits.h; parts added to a side, station rows added after
  // the last; the chosen rows deleted.
  void addPart(section::Side side);
  void deleteParts();
  void copySectionRows(QTableView* view);
  void pasteSectionRows(QTableView* view);
  void addWideningRow();
  void deleteWideningRows();

  QString notice() const { return notice_; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QWidget* buildFileRow();
  QWidget* buildJdTab();
  QWidget* buildElementTab();
  QWidget* buildBreakTab();
  QWidget* buildGradeTab();
  QWidget* buildStationTab();
  QWidget* buildNameRow();
  QWidget* buildTemplateTab();
  QWidget* buildCurveSectionTab();
  QWidget* buildWideningTab();
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
  void exportStakes(QString (*write)(QWidget*, const TableAnswer&, const exchange::SheetHeader&));
  void addSheetButtons(FlowLayout* flow);
  std::optional<QString> adoptImported(route::RouteDefinition read);
  void showAlignments(const struct LandXmlRead& read);
  void showNotice();
  void showFile();
  void showHistory();
  std::vector<std::size_t> selectedJds() const;
  std::vector<std::size_t> selectedElements() const;
  void showMethod();
  std::vector<int> selectedRows(const QTableView* view) const;
  void addBreak();
  void deleteBreaks();
  void addGradePoint();
  void deleteGradePoints();
  void addStation();
  void deleteStations();

  Form& form_;
  RouteBoxes* routeBoxes_ = nullptr;
  RouteDocument document_;
  RouteTableModel *jdModel_, *elementModel_, *breakModel_, *gradeModel_, *stationModel_;
  QTableView *jdView_ = nullptr, *elementView_ = nullptr, *breakView_ = nullptr,
             *gradeView_ = nullptr, *stationView_ = nullptr;
  QPushButton *startByElements_ = nullptr, *startByJds_ = nullptr;
  int jdTab_ = 0, elementTab_ = 0;
  QLineEdit* nameEdit_ = nullptr;
  std::function<const TableAnswer*()> stakeTable_;
  std::function<exchange::SheetHeader()> sheetHeader_;
  RouteTableModel *templateModel_, *curveModel_, *wideningModel_;
  QTableView *templateView_ = nullptr, *curveView_ = nullptr, *wideningView_ = nullptr;
  QComboBox* stationAxis_ = nullptr;
  NoticeLabel* noticeLabel_ = nullptr;
  QLabel* fileLabel_ = nullptr;
  QComboBox* alignments_ = nullptr; // the last LandXML file's, while it has several
  QString landXmlPath_;
  QTabWidget* tables_ = nullptr;
  QPushButton *undo_ = nullptr, *redo_ = nullptr;
  QString message_, notice_;
  bool overwriteArmed_ = false; // the next save overwrites a file changed on disk
  std::function<SaveAnswer()> ask_;
  std::function<void()> routeListener_, selectionListener_;
};

} // namespace quenlor
