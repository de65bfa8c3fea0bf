// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/route_panel.h"

#include "app/drawing/notice_label.h"
#include "app/drawing/text_cells.h"
#include "app/exports.h"
#include "app/flow_layout.h"
#include "app/route_cells.h"
#include "app/route_tables.h"
#include "form/form.h"
#include "session/design_table.h"
#include "session/element_columns.h"
#include "session/element_edits.h"
#include "session/field_tools.h"
#include "session/jd_boxes.h"
#include "session/route_boxes.h"
#include "session/route_edits.h"
#include "session/section_edits.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <string_view>
#include <variant>

namespace quenlor {
namespace {

const QString kFileFilter = QStringLiteral("路线文件 (*.csv);;所有文件 (*)");

QString qs(const std::string& text) { return QString::fromStdString(text); }

// The one question the program asks in a dialog.
RoutePanel::SaveAnswer askToSave(QWidget* parent) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Quenlor"),
                  QStringLiteral("路线有未保存的修改，且未能存入恢复副本。是否保存？"),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
  box.button(QMessageBox::Save)->setText(QStringLiteral("保存"));
  box.button(QMessageBox::Discard)->setText(QStringLiteral("不保存"));
  box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
  box.setDefaultButton(QMessageBox::Save);
  const int answer = box.exec();
  return answer == QMessageBox::Save      ? RoutePanel::SaveAnswer::Save
         : answer == QMessageBox::Discard ? RoutePanel::SaveAnswer::Discard
                                          : RoutePanel::SaveAnswer::Cancel;
}

// Right of the other widgets' text: the widths a column needs.
int textWidth(const QWidget* w, std::string_view sample) {
  return w->fontMetrics().horizontalAdvance(
             QString::fromUtf8(sample.data(), qsizetype(sample.size()))) +
         14;
}

} // namespace

RoutePanel::RoutePanel(Form& form, QWidget* parent)
    : QWidget(parent), form_(form),
      jdModel_(new RouteTableModel(document_, jdTable(), &jdProblems, this)),
      elementModel_(new RouteTableModel(document_, elementsTable(), &elementProblems, this)),
      breakModel_(new RouteTableModel(document_, breakTable(), &breakProblems, this)),
      gradeModel_(new RouteTableModel(document_, gradeTable(), &gradeProblems, this)),
      stationModel_(new RouteTableModel(document_, stationTable(), &stationProblems, this)),
      templateModel_(new RouteTableModel(document_, templateTable(), &templateProblems, this)),
      curveModel_(new RouteTableModel(document_, curveSectionTable(), &curveSectionProblems, this)),
      wideningModel_(new RouteTableModel(document_, wideningTable(), &wideningProblems, this)) {
  setObjectName(QStringLiteral("routePanel"));
  noticeLabel_ = new NoticeLabel("routeNotice", this);
  fileLabel_ = new QLabel(this);
  fileLabel_->setObjectName(QStringLiteral("routeFile"));
  fileLabel_->setTextFormat(Qt::PlainText);
  fileLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

  tables_ = new QTabWidget(this);
  tables_->setObjectName(QStringLiteral("routeTables"));
  jdTab_ = tables_->addTab(buildJdTab(), QStringLiteral("交点"));
  elementTab_ = tables_->addTab(buildElementTab(), QStringLiteral("线元"));
  tables_->addTab(buildBreakTab(), QStringLiteral("断链"));
  tables_->addTab(buildGradeTab(), QStringLiteral("变坡点"));
  tables_->addTab(buildStationTab(), QStringLiteral("测站"));
  tables_->addTab(buildTemplateTab(), QStringLiteral("路幅"));
  tables_->addTab(buildCurveSectionTab(), QStringLiteral("超高加宽"));
  tables_->addTab(buildWideningTab(), QStringLiteral("超高加宽表"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(noticeLabel_);
  layout->addWidget(fileLabel_);
  layout->addWidget(buildNameRow());
  layout->addWidget(buildFileRow());
  layout->addWidget(tables_, 1);

  for (RouteTableModel* model : models())
    model->setNotice([this](const QString& why) { say(why); });
  document_.setListener([this] { routeChanged(); });
  ask_ = [this] { return askToSave(this); };
  setColumnWidths();
  routeChanged();
}

QPushButton* RoutePanel::button(const QString& caption, const char* name,
                                std::function<void()> action) {
  auto* push = new QPushButton(caption);
  push->setObjectName(QString::fromUtf8(name));
  push->setAutoDefault(false);
  connect(push, &QPushButton::clicked, this, std::move(action));
  return push;
}

QWidget* RoutePanel::buildFileRow() {
  auto* row = new QWidget(this);
  auto* flow = new FlowLayout(row);
  flow->addWidget(button(QStringLiteral("打开…"), "openRoute", [this] { openDialog(); }));
  auto* save = button(QStringLiteral("保存"), "saveRoute", [this] { this->save(); });
  save->setToolTip(QStringLiteral("Ctrl+S"));
  flow->addWidget(save);
  flow->addWidget(button(QStringLiteral("另存为…"), "saveRouteAs", [this] { saveAsDialog(); }));
  flow->addWidget(button(QStringLiteral("关闭路线"), "closeRoute", [this] { closeRoute(); }));
  undo_ = button(QStringLiteral("撤销"), "undoRoute", [this] { undo(); });
  redo_ = button(QStringLiteral("重做"), "redoRoute", [this] { redo(); });
  flow->addWidget(undo_);
  flow->addWidget(redo_);
  flow->addWidget(
      button(QStringLiteral("导入LandXML…"), "importLandXml", [this] { importLandXmlDialog(); }));
  alignments_ = new QComboBox(this);
  alignments_->setObjectName(QStringLiteral("landXmlAlignments"));
  alignments_->setToolTip(QStringLiteral("LandXML 文件中的各条线形：选另一条即导入它"));
  alignments_->hide();
  connect(alignments_, &QComboBox::activated, this,
          [this](int index) { importLandXmlFile(landXmlPath_, alignments_->itemText(index)); });
  flow->addWidget(alignments_);
  flow->addWidget(button(QStringLiteral("导出LandXML…"), "exportLandXml",
                         [this] { exportRoute(&exportLandXml); }));
  flow->addWidget(button(QStringLiteral("导出DXF…"), "exportDxf", [this] {
    // With the stakes of the table, where there is one.
    const auto route = document_.drawable();
    if (!route)
      return say(QStringLiteral("没有可导出的路线：先打开或输入一条路线"));
    const TableAnswer* stakes = stakeTable_ ? stakeTable_() : nullptr;
    sayIfAny(exportDxf(this, *route, stakes && stakes->size() > 0 ? stakes : nullptr));
  }));
  auto* elements =
      button(QStringLiteral("导出线元表…"), "exportElements", [this] { exportElementsDialog(); });
  elements->setToolTip(
      QStringLiteral("把路线写成线元表（直线、圆曲线、缓和曲线），供现场计算器和全站仪"));
  flow->addWidget(elements);
  return row;
}

// The route's name: the sheets print it, the file keeps it.
QWidget* RoutePanel::buildNameRow() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* caption = new QLabel(QStringLiteral("路线名"), row);
  nameEdit_ = new QLineEdit(row);
  nameEdit_->setObjectName(QStringLiteral("routeName"));
  nameEdit_->setPlaceholderText(QStringLiteral("放样表表头所印的路线名"));
  caption->setBuddy(nameEdit_);
  connect(nameEdit_, &QLineEdit::editingFinished, this,
          [this] { setRouteName(nameEdit_->text()); });
  layout->addWidget(caption);
  layout->addWidget(nameEdit_, 1);
  return row;
}

void RoutePanel::setRouteName(const QString& name) {
  const auto read = readCellName(name.toStdString());
  if (std::holds_alternative<CellRefusal>(read))
    return say(QStringLiteral("路线名不能含控制字符"));
  const std::string& typed = std::get<std::string>(read);
  if (typed == document_.route().definition().name)
    return;
  document_.edit([typed](route::Route& r) { r.setName(typed); });
}

QTableView* RoutePanel::buildTable(RouteTableModel* model, const char* name) {
  auto* view = new QTableView;
  view->setObjectName(QString::fromUtf8(name));
  view->setModel(model);
  view->setItemDelegate(new TextCells(view));
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::AnyKeyPressed);
  view->verticalHeader()->hide();
  view->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  view->horizontalHeader()->setStretchLastSection(true); // the checks
  view->installEventFilter(this);
  return view;
}

QWidget* RoutePanel::buildJdTab() {
  auto* tab = new QWidget;
  auto* buttons = new QWidget(tab);
  auto* flow = new FlowLayout(buttons);
  flow->addWidget(button(QStringLiteral("添加"), "addJd", [this] { addJd(); }));
  flow->addWidget(button(QStringLiteral("插入"), "insertJd", [this] { insertJd(); }));
  flow->addWidget(button(QStringLiteral("删除"), "deleteJd", [this] { deleteJds(); }));
  flow->addWidget(button(QStringLiteral("上移"), "moveJdUp", [this] { moveJd(-1); }));
  flow->addWidget(button(QStringLiteral("下移"), "moveJdDown", [this] { moveJd(1); }));
  flow->addWidget(button(QStringLiteral("复制"), "copyJds", [this] { copyJds(); }));
  flow->addWidget(button(QStringLiteral("粘贴"), "pasteJds", [this] { pasteJds(); }));
  auto* fill = button(QStringLiteral("填入窗口"), "fillWindow", [this] { fillWindow(); });
  fill->setToolTip(QStringLiteral("把所选交点按输入的方式填入窗口的各框"));
  auto* back = button(QStringLiteral("写回交点"), "writeBack", [this] { writeBack(); });
  back->setToolTip(QStringLiteral("把窗口中的名称、X、Y、R、Ls、ls2 写回所选交点"));
  flow->addWidget(fill);
  flow->addWidget(back);
  startByElements_ = button(QStringLiteral("改用线元法"), "startByElements",
                            [this] { startAs(route::Method::Elements); });
  startByElements_->setToolTip(
      QStringLiteral("还没有交点时，改为按线元（直线、圆曲线、缓和曲线）输入"));
  flow->addWidget(startByElements_);

  jdView_ = buildTable(jdModel_, "jdTable");
  connect(jdView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
    if (selectionListener_)
      selectionListener_();
  });
  auto* layout = new QVBoxLayout(tab);
  layout->setContentsMargins(2, 4, 2, 2);
  layout->addWidget(buttons);
  layout->addWidget(jdView_, 1);
  return tab;
}

QWidget* RoutePanel::buildElementTab() {
  auto* tab = new QWidget;
  auto* buttons = new QWidget(tab);
  auto* flow = new FlowLayout(buttons);
  flow->addWidget(button(QStringLiteral("添加"), "addElement", [this] { addElement(); }));
  flow->addWidget(button(QStringLiteral("插入"), "insertElement", [this] { insertElement(); }));
  flow->addWidget(button(QStringLiteral("删除"), "deleteElement", [this] { deleteElements(); }));
  flow->addWidget(button(QStringLiteral("上移"), "moveElementUp", [this] { moveElement(-1); }));
  flow->addWidget(button(QStringLiteral("下移"), "moveElementDown", [this] { moveElement(1); }));
  flow->addWidget(button(QStringLiteral("复制"), "copyElements", [this] { copyElements(); }));
  flow->addWidget(button(QStringLiteral("粘贴"), "pasteElements", [this] { pasteElements(); }));
  startByJds_ =
      button(QStringLiteral("改用交点法"), "startByJds", [this] { startAs(route::Method::Jds); });
  startByJds_->setToolTip(QStringLiteral("还没有线元时，改为按交点输入"));
  flow->addWidget(startByJds_);
  elementView_ = buildTable(elementModel_, "elementTable");
  auto* layout = new QVBoxLayout(tab);
  layout->setContentsMargins(2, 4, 2, 2);
  layout->addWidget(buttons);
  layout->addWidget(elementView_, 1);
  return tab;
}

QWidget* RoutePanel::buildBreakTab() {
  auto* tab = new QWidget;
  auto* buttons = new QWidget(tab);
  auto* flow = new FlowLayout(buttons);
  flow->addWidget(button(QStringLiteral("添加"), "addBreak", [this] { addBreak(); }));
  flow->addWidget(button(QStringLiteral("删除"), "deleteBreak", [this] { deleteBreaks(); }));
  flow->addWidget(button(QStringLiteral("粘贴"), "pasteBreaks", [this] { pasteBreaks(); }));
  breakView_ = buildTable(breakModel_, "breakTable");
  auto* layout = new QVBoxLayout(tab);
  layout->setContentsMargins(2, 4, 2, 2);
  layout->addWidget(buttons);
  layout->addWidget(breakView_, 1);
  return tab;
}

QWidget* RoutePanel::buildGradeTab() {
  auto* tab = new QWidget;
  auto* buttons = new QWidget(tab);
  auto* flow = new FlowLayout(buttons);
  flow->addWidget(button(QStringLiteral("添加"), "addGradePoint", [this] { addGradePoint(); }));
  flow->addWidget(
      button(QStringLiteral("删除"), "deleteGradePoint", [this] { deleteGradePoints(); }));
  flow->addWidget(
      button(QStringLiteral("粘贴"), "pasteGradePoints", [this] { pasteGradePoints(); }));
  gradeView_ = buildTable(gradeModel_, "gradeTable");
  auto* layout = new QVBoxLayout(tab);
  layout->setContentsMargins(2, 4, 2, 2);
  layout->addWidget(buttons);
  layout->addWidget(gradeView_, 1);
  return tab;
}

QWidget* RoutePanel::buildStationTab() {
  auto* tab = new QWidget;
  auto* buttons = new QWidget(tab);
  auto* flow = new FlowLayout(buttons);
  flow->addWidget(button(QStringLiteral("添加"), "addStation", [this] { addStation(); }));
  flow->addWidget(button(QStringLiteral("删除"), "deleteStation", [this] { deleteStations(); }));
  auto* use = button(QStringLiteral("用此测站"), "useStation", [this] { useStation(); });
  use->setToolTip(QStringLiteral("放样表和放样单从所选测站放样；再按一次则改用窗口中的测站"));
  flow->addWidget(use);
  stationView_ = buildTable(stationModel_, "stationTable");
  auto* layout = new QVBoxLayout(tab);
  layout->setContentsMargins(2, 4, 2, 2);
  layout->addWidget(buttons);
  layout->addWidget(stationView_, 1);
  return tab;
}

// A table's tab: its buttons above it.
QWidget* RoutePanel::tab(QWidget* buttons, QTableView* view) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(2, 4, 2, 2);
  layout->addWidget(buttons);
  layout->addWidget(view, 1);
  return page;
}

QWidget* RoutePanel::buildTemplateTab() {
  auto* buttons = new QWidget;
  auto* flow = new FlowLayout(buttons);
  flow->addWidget(
      button(QStringLiteral("添加左侧"), "addLeftPart", [this] { addPart(section::Side::Left); }));
  flow->addWidget(button(QStringLiteral("添加右侧"), "addRightPart",
                         [this] { addPart(section::Side::Right); }));
  flow->addWidget(button(QStringLiteral("删除"), "deletePart", [this] { deleteParts(); }));
  flow->addWidget(
      button(QStringLiteral("复制"), "copyParts", [this] { copySectionRows(templateView_); }));
  flow->addWidget(
      button(QStringLiteral("粘贴"), "pasteParts", [this] { pasteSectionRows(templateView_); }));
  templateView_ = buildTable(templateModel_, "templateTable");
  return tab(buttons, templateView_);
}

QWidget* RoutePanel::buildCurveSectionTab() {
  auto* buttons = new QWidget;
  auto* flow = new FlowLayout(buttons);
  flow->addWidget(
      button(QStringLiteral("复制"), "copyCurves", [this] { copySectionRows(curveView_); }));
  flow->addWidget(
      button(QStringLiteral("粘贴"), "pasteCurves", [this] { pasteSectionRows(curveView_); }));
  curveView_ = buildTable(curveModel_, "curveSectionTable");
  return tab(buttons, curveView_);
}

QWidget* RoutePanel::buildWideningTab() {
  auto* buttons = new QWidget;
  auto* flow = new FlowLayout(buttons);
  flow->addWidget(button(QStringLiteral("添加"), "addWideningRow", [this] { addWideningRow(); }));
  flow->addWidget(
      button(QStringLiteral("删除"), "deleteWideningRow", [this] { deleteWideningRows(); }));
  flow->addWidget(button(QStringLiteral("复制"), "copyWideningRows",
                         [this] { copySectionRows(wideningView_); }));
  flow->addWidget(button(QStringLiteral("粘贴"), "pasteWideningRows",
                         [this] { pasteSectionRows(wideningView_); }));
  stationAxis_ = new QComboBox(buttons);
  stationAxis_->setObjectName(QStringLiteral("stationAxis"));
  stationAxis_->setToolTip(QStringLiteral("按此表计算边缘高程时的旋转轴"));
  for (const section::Axis axis :
       {section::Axis::Centre, section::Axis::InnerEdge, section::Axis::OuterEdge})
    stationAxis_->addItem(
        QString::fromUtf8(axisWord(axis).data(), qsizetype(axisWord(axis).size())), int(axis));
  connect(stationAxis_, &QComboBox::activated, this, [this](int index) {
    const auto axis = section::Axis(stationAxis_->itemData(index).toInt());
    if (axis != document_.route().definition().section.tableAxis)
      document_.edit(setTableAxis(document_.route().definition().section, axis));
  });
  flow->addWidget(stationAxis_);
  wideningView_ = buildTable(wideningModel_, "wideningTable");
  return tab(buttons, wideningView_);
}

std::vector<RouteTableModel*> RoutePanel::models() const {
  return {jdModel_,      elementModel_,  breakModel_, gradeModel_,
          stationModel_, templateModel_, curveModel_, wideningModel_};
}

// Fixed widths from the widest text each column shows: nothing moves as the
// values change.
void RoutePanel::setColumnWidths() {
  const char* const checkSample = "JD000：曲线与下一交点的曲线重叠（HZ 超过下一 ZH）";
  for (QTableView* view : {jdView_, elementView_, breakView_, gradeView_, stationView_,
                           templateView_, curveView_, wideningView_}) {
    const auto* model = static_cast<const RouteTableModel*>(view->model());
    for (std::size_t c = 0; c < model->table().columns.size(); ++c)
      view->setColumnWidth(int(c), textWidth(this, model->table().columns[c].widthSample));
    view->setColumnWidth(model->checkColumn(), textWidth(this, checkSample));
  }
}

void RoutePanel::routeChanged() {
  const auto chosen = selectedJd();
  message_.clear();
  for (RouteTableModel* model : models())
    model->refresh();
  if (!nameEdit_->hasFocus())
    nameEdit_->setText(qs(document_.route().definition().name));
  stationAxis_->setCurrentIndex(
      stationAxis_->findData(int(document_.route().definition().section.tableAxis)));
  if (chosen && *chosen < document_.route().jdCount() && !selectedJd())
    selectJd(*chosen);
  showMethod();
  showFile();
  showHistory();
  showNotice();
  if (routeListener_)
    routeListener_();
}

// A route without geometry has nothing to draw or exchange: no dialog opens.
void RoutePanel::exportRoute(QString (*write)(QWidget*, const RouteModel&)) {
  const auto route = document_.drawable();
  if (!route)
    return say(QStringLiteral("没有可导出的路线：先打开或输入一条路线"));
  sayIfAny(write(this, *route));
}

// A dialog the user cancelled has nothing to say.
std::optional<QString> RoutePanel::adoptImported(route::RouteDefinition read) {
  const auto kept = keepOrAsk();
  if (kept)
    document_.adopt(std::move(read), QStringLiteral("导入 LandXML"));
  return kept;
}

void RoutePanel::importLandXmlDialog() {
  LandXmlRead read;
  sayIfAny(importLandXml(
      this, [this](route::RouteDefinition d) { return adoptImported(std::move(d)); }, &read));
  if (!read.path.isEmpty())
    showAlignments(read);
}

void RoutePanel::importLandXmlFile(const QString& path, const QString& alignment) {
  LandXmlRead read;
  sayIfAny(quenlor::importLandXmlFile(
      path, alignment.toStdString(),
      [this](route::RouteDefinition d) { return adoptImported(std::move(d)); }, &read));
  if (!read.path.isEmpty())
    showAlignments(read);
  else if (alignments_->isVisible()) // not taken: the list shows what is shown
    alignments_->setCurrentIndex(
        alignments_->findText(QString::fromStdString(document_.route().definition().name)));
}

// The list of the file's alignments, shown only where there is a choice.
void RoutePanel::showAlignments(const LandXmlRead& read) {
  landXmlPath_ = read.path;
  alignments_->clear();
  alignments_->addItems(read.alignments);
  alignments_->setCurrentIndex(read.chosen);
  alignments_->setVisible(read.alignments.size() > 1);
}

void RoutePanel::sayIfAny(const QString& message) {
  if (!message.isEmpty())
    say(message);
}

void RoutePanel::say(const QString& message) {
  message_ = message;
  overwriteArmed_ = false;
  showNotice();
}

// What was said last, then the first of the route's checks and how many
// rows have one.
void RoutePanel::showNotice() {
  int count = 0;
  QString first;
  for (const RouteTableModel* model : models()) {
    count += model->problemRows();
    if (first.isEmpty() && model->firstProblemRow() >= 0)
      first = model->problem(model->firstProblemRow()).section(QLatin1Char('\n'), 0, 0);
  }
  QString checks;
  if (count == 1)
    checks = first;
  else if (count > 1)
    checks = QStringLiteral("%1 行有问题（着色，见“检查”列）：%2 …").arg(count).arg(first);
  notice_.clear();
  for (const QString& part : {message_, document_.keepProblem(), checks})
    if (!part.isEmpty())
      notice_ += (notice_.isEmpty() ? QString() : QStringLiteral("；")) + part;
  noticeLabel_->setNotice(notice_);
}

bool RoutePanel::undo() {
  const auto said = document_.undo();
  if (said)
    say(*said);
  return said.has_value();
}

bool RoutePanel::redo() {
  const auto said = document_.redo();
  if (said)
    say(*said);
  return said.has_value();
}

// The buttons say what they would do; without it they are off.
void RoutePanel::showHistory() {
  const QString undoText = document_.undoText(), redoText = document_.redoText();
  undo_->setEnabled(!undoText.isEmpty());
  redo_->setEnabled(!redoText.isEmpty());
  undo_->setToolTip(QStringLiteral("撤销（Ctrl+Z）") +
                    (undoText.isEmpty() ? QString() : QStringLiteral("：") + undoText));
  redo_->setToolTip(QStringLiteral("重做（Ctrl+Shift+Z）") +
                    (redoText.isEmpty() ? QString() : QStringLiteral("：") + redoText));
}

void RoutePanel::showFile() {
  QString text;
  if (document_.isEmpty())
    text = QStringLiteral("未打开路线");
  else {
    const QString name = document_.path().isEmpty() ? QStringLiteral("未命名路线")
                                                    : QFileInfo(document_.path()).fileName();
    text = name + (document_.modified() ? QStringLiteral(" — 有未保存的修改")
                                        : QStringLiteral(" — 已保存"));
  }
  fileLabel_->setText(text);
  fileLabel_->setToolTip(QDir::toNativeSeparators(document_.path()));
}

std::optional<std::size_t> RoutePanel::selectedJd() const {
  const QModelIndex current = jdView_->currentIndex();
  if (!current.isValid())
    return std::nullopt;
  return jdOfRow(document_.route().definition(), std::size_t(current.row()));
}

void RoutePanel::selectJd(std::size_t jd) {
  const int row = int(rowOfJd(jd));
  jdView_->selectRow(row);
  jdView_->setCurrentIndex(jdModel_->index(row, 0));
}

std::vector<int> RoutePanel::selectedRows(const QTableView* view) const {
  std::vector<int> rows;
  for (const QModelIndex& index : view->selectionModel()->selectedRows())
    rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::vector<std::size_t> RoutePanel::selectedJds() const {
  std::vector<std::size_t> jds;
  for (const int row : selectedRows(jdView_))
    if (const auto jd = jdOfRow(document_.route().definition(), std::size_t(row)))
      jds.push_back(*jd);
  if (jds.empty())
    if (const auto jd = selectedJd())
      jds.push_back(*jd);
  return jds;
}

// Files.

bool RoutePanel::open(const QString& path) {
  auto read = RouteDocument::read(path);
  if (!read) {
    say(qs(read.notice()));
    return false;
  }
  const auto kept = keepOrAsk();
  if (kept) {
    say(document_.take(std::move(*read)) + *kept);
    alignments_->hide();
  }
  return kept.has_value();
}

// Unsaved edits about to be dropped: kept in a file of their own (what the
// notice adds), or, where they cannot be, saved if the user says so;
// nothing when the user cancels.
std::optional<QString> RoutePanel::keepOrAsk() {
  if (auto kept = document_.keepUnsaved())
    return kept;
  const SaveAnswer answer = ask_();
  if (answer == SaveAnswer::Cancel || (answer == SaveAnswer::Save && !save()))
    return std::nullopt;
  return QString();
}

bool RoutePanel::mayCloseWindow() {
  if (document_.editsHeld())
    return true;
  const SaveAnswer answer = ask_();
  return answer == SaveAnswer::Discard || (answer == SaveAnswer::Save && save());
}

void RoutePanel::openDialog() {
  const QString path = QFileDialog::getOpenFileName(
      this, QStringLiteral("打开路线"), QFileInfo(document_.path()).path(), kFileFilter);
  if (!path.isEmpty())
    open(path);
}

bool RoutePanel::save() {
  if (document_.path().isEmpty()) {
    saveAsDialog();
    return !document_.modified();
  }
  const auto outcome = document_.save(overwriteArmed_);
  say(outcome.notice);
  overwriteArmed_ = outcome.saved == RouteDocument::Saved::ChangedOnDisk;
  return outcome.saved == RouteDocument::Saved::Yes;
}

bool RoutePanel::saveAs(const QString& path) {
  const auto outcome = document_.saveAs(path);
  say(outcome.notice);
  return outcome.saved == RouteDocument::Saved::Yes;
}

void RoutePanel::saveAsDialog() {
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("路线另存为"), document_.path(),
                                              kFileFilter);
  if (path.isEmpty())
    return;
  if (QFileInfo(path).suffix().isEmpty())
    path += QStringLiteral(".csv");
  saveAs(path);
}

void RoutePanel::closeRoute() {
  if (const auto kept = keepOrAsk()) {
    say(document_.close() + *kept);
    alignments_->hide();
  }
}

bool RoutePanel::restoreAutosave() {
  const auto notice = document_.restoreAutosave();
  if (notice)
    say(*notice);
  return notice.has_value();
}

// Between the table and the boxes.

void RoutePanel::fillWindow() {
  const auto jd = selectedJd();
  if (!jd)
    return say(QStringLiteral("先在表中选一个交点"));
  const QString name = qs(document_.route().definition().jds[*jd].name);
  const bool filled = routeBoxes_ ? routeBoxes_->fill(form_, document_.route(), *jd)
                                  : fillFromJd(form_, document_.route(), *jd).has_value();
  if (!filled)
    return say(name + QStringLiteral(" 未参与路线计算（见检查），不能填入窗口"));
  const route::Jd& typed = document_.route().definition().jds[*jd];
  say(QStringLiteral("已将 %1 填入窗口").arg(name) +
      (typed.secondTransition() != typed.ls1
           ? QStringLiteral("；两缓和曲线不等，窗口的中桩按对称曲线计算，以路线为准")
           : QString()));
}

void RoutePanel::writeBack() {
  const auto jd = selectedJd();
  if (!jd)
    return say(QStringLiteral("先在表中选一个交点"));
  const route::Jd& before = document_.route().definition().jds[*jd];
  const route::Jd typed = jdFromBoxes(form_, before);
  if (typed == before)
    return say(QStringLiteral("窗口中的值与 %1 相同，未改").arg(qs(before.name)));
  document_.edit([&](route::Route& r) { r.replaceJd(*jd, typed); },
                 QStringLiteral("把窗口写回 %1").arg(qs(typed.name)));
  say(QStringLiteral("已将窗口写回 %1").arg(qs(typed.name)));
}

// JD rows.

void RoutePanel::addJd() {
  const std::size_t at = document_.route().jdCount();
  document_.edit(insertJds(at, {newJdAt(document_.route(), at)}), QStringLiteral("添加交点"));
  selectJd(at);
}

void RoutePanel::insertJd() {
  const QModelIndex current = jdView_->currentIndex();
  std::size_t at = document_.route().jdCount();
  if (const auto jd = selectedJd())
    at = *jd;
  else if (current.isValid() && current.row() == 0)
    at = 0;
  document_.edit(insertJds(at, {newJdAt(document_.route(), at)}), QStringLiteral("插入交点"));
  selectJd(at);
}

void RoutePanel::deleteJds() {
  const std::vector<std::size_t> jds = selectedJds();
  if (jds.empty())
    return say(QStringLiteral("先在表中选要删除的交点"));
  document_.edit(eraseJds(jds), QStringLiteral("删除 %1 个交点").arg(jds.size()));
  say(QStringLiteral("已删除 %1 个交点").arg(jds.size()));
  if (document_.route().jdCount() > 0)
    selectJd(std::min(jds.front(), document_.route().jdCount() - 1));
}

void RoutePanel::moveJd(int step) {
  const auto jd = selectedJd();
  const std::size_t count = document_.route().jdCount();
  if (!jd || (step < 0 && *jd == 0) || (step > 0 && *jd + 1 >= count))
    return;
  const std::size_t other = step < 0 ? *jd - 1 : *jd + 1;
  document_.edit(swapJds(document_.route().definition(), *jd, other),
                 step < 0 ? QStringLiteral("上移交点") : QStringLiteral("下移交点"));
  selectJd(other);
}

void RoutePanel::copyJds() {
  std::vector<route::Jd> rows;
  for (const std::size_t jd : selectedJds())
    rows.push_back(document_.route().definition().jds[jd]);
  if (rows.empty())
    return say(QStringLiteral("先在表中选要复制的交点"));
  QApplication::clipboard()->setText(QString::fromStdString(copiedJds(rows)));
  say(QStringLiteral("已复制 %1 个交点（名称 X Y R Ls ls2，以制表符分隔）").arg(rows.size()));
}

// A design's table as it copies from a spreadsheet (session/design_table.h):
// before the chosen JD, or at the end; BP and EP where it gives them.
void RoutePanel::pasteJds() {
  auto pasted = pastedTable(QApplication::clipboard()->text().toStdString());
  if (const auto* refused = std::get_if<PasteRefusal>(&pasted))
    return say(pasteRefusalText(*refused));
  const PastedTable& table = std::get<PastedTable>(pasted);
  if (table.jds.empty() && !table.start && !table.end)
    return say(QStringLiteral("剪贴板中没有交点行（带表头的设计表，或 名称 X Y R Ls ls2，"
                              "以制表符分隔）"));
  const route::RouteDefinition& definition = document_.route().definition();
  const std::size_t before = selectedJd().value_or(definition.jds.size());
  const std::size_t at = pastePlace(definition, before, table);
  const std::optional<EndPlacement> end = placedEnd(definition, before, table);
  if (end && !end->placed)
    return say(QString::fromStdString(endPlacedText(*end, table)));
  document_.edit(pasteTable(definition, before, table),
                 QStringLiteral("粘贴 %1 个交点").arg(table.jds.size()));
  say(pastedText(table) +
      (end ? QStringLiteral("；") + QString::fromStdString(endPlacedText(*end, table))
           : QString()));
  if (!table.jds.empty())
    selectJd(at);
}

// Chain breaks and grade points.

void RoutePanel::addBreak() {
  document_.edit(appendBreak(document_.route()), QStringLiteral("添加断链"));
  breakView_->selectRow(breakModel_->rowCount() - 1);
}

void RoutePanel::deleteBreaks() {
  const std::vector<int> rows = selectedRows(breakView_);
  if (!rows.empty())
    document_.edit(eraseBreaks(document_.route().definition(), rows), QStringLiteral("删除断链"));
}

// A chain breaks' table as it copies from a spreadsheet
// (session/design_table.h): before the chosen break, or at the end.
void RoutePanel::pasteBreaks() {
  auto pasted = pastedBreaks(QApplication::clipboard()->text().toStdString());
  if (const auto* refused = std::get_if<PasteRefusal>(&pasted))
    return say(pasteRefusalText(*refused));
  PastedBreaks& table = std::get<PastedBreaks>(pasted);
  if (table.breaks.empty())
    return say(QStringLiteral("剪贴板中没有断链行（带表头的断链表，或 名称 断前桩号 断后桩号，"
                              "以制表符分隔）"));
  const std::vector<int> chosen = selectedRows(breakView_);
  const std::size_t count = table.breaks.size();
  const std::size_t at =
      chosen.empty() ? document_.route().definition().breaks.size() : std::size_t(chosen.front());
  document_.edit(quenlor::pasteBreaks(document_.route().definition(), at, std::move(table.breaks)),
                 QStringLiteral("粘贴 %1 个断链").arg(count));
  say(QStringLiteral("已粘贴 %1 个断链").arg(count) + unreadText(table.computed, table.unknown));
}

void RoutePanel::addGradePoint() {
  document_.edit(appendGradePoint(document_.route().definition()), QStringLiteral("添加变坡点"));
  gradeView_->selectRow(gradeModel_->rowCount() - 1);
}

// A grade table as it copies from a spreadsheet (session/design_table.h):
// before the chosen grade point, or at the end.
void RoutePanel::pasteGradePoints() {
  auto pasted = pastedGradePoints(QApplication::clipboard()->text().toStdString());
  if (const auto* refused = std::get_if<PasteRefusal>(&pasted))
    return say(pasteRefusalText(*refused));
  PastedGrades& table = std::get<PastedGrades>(pasted);
  if (table.points.empty())
    return say(
        QStringLiteral("剪贴板中没有变坡点行（带表头的变坡点表，或 名称 桩号 高程 竖曲线半径，"
                       "以制表符分隔）"));
  const std::vector<int> chosen = selectedRows(gradeView_);
  const std::size_t count = table.points.size();
  const std::size_t at = chosen.empty() ? document_.route().definition().gradePoints.size()
                                        : std::size_t(chosen.front());
  document_.edit(
      quenlor::pasteGradePoints(document_.route().definition(), at, std::move(table.points)),
      QStringLiteral("粘贴 %1 个变坡点").arg(count));
  say(QStringLiteral("已粘贴 %1 个变坡点").arg(count) + unreadText(table.computed, table.unknown));
}

void RoutePanel::deleteGradePoints() {
  const std::vector<int> rows = selectedRows(gradeView_);
  if (!rows.empty())
    document_.edit(eraseGradePoints(document_.route().definition(), rows),
                   QStringLiteral("删除变坡点"));
}

// Stations.
// The cross section's tables.

void RoutePanel::addPart(section::Side side) {
  const route::CrossSection& cross = document_.route().definition().section;
  document_.edit(appendPart(cross, side));
  const route::CrossSection& now = document_.route().definition().section;
  const auto& parts = side == section::Side::Left ? now.road.left : now.road.right;
  templateView_->selectRow(int(rowOfPart(now, side, parts.size() - 1)));
}

void RoutePanel::deleteParts() {
  const std::vector<int> rows = selectedRows(templateView_);
  if (!rows.empty())
    document_.edit(eraseParts(document_.route().definition().section, rows));
}

void RoutePanel::addStation() {
  document_.edit(appendStation(document_.route().definition()));
  stationView_->selectRow(stationModel_->rowCount() - 1);
}

void RoutePanel::deleteStations() {
  const std::vector<int> rows = selectedRows(stationView_);
  if (!rows.empty())
    document_.edit(eraseStations(document_.route().definition(), rows));
}

void RoutePanel::useStation() {
  const QModelIndex current = stationView_->currentIndex();
  if (!current.isValid())
    return say(QStringLiteral("先在测站表中选一个测站"));
  const std::size_t row = std::size_t(current.row());
  const bool inUse = document_.route().definition().stations.at(row).inUse;
  document_.edit(
      useStationAt(document_.route().definition(), inUse ? std::nullopt : std::optional(row)));
  const QString name = qs(document_.route().definition().stations.at(row).name);
  say(inUse ? QStringLiteral("不再用 %1：放样从窗口中的测站").arg(name)
            : QStringLiteral("放样从测站 %1").arg(name));
}

// The table of the route's method in place of the other's; a new route
// may change its method while it has no rows of it.
void RoutePanel::showMethod() {
  const bool elements = showsElements();
  if (tables_->currentIndex() == (elements ? jdTab_ : elementTab_))
    tables_->setCurrentIndex(elements ? elementTab_ : jdTab_);
  tables_->setTabVisible(jdTab_, !elements);
  tables_->setTabVisible(elementTab_, elements);
  const route::RouteDefinition& d = document_.route().definition();
  startByElements_->setEnabled(!elements && d.jds.empty());
  startByJds_->setEnabled(elements && d.elements.empty());
}

bool RoutePanel::showsElements() const { return document_.route().byElements(); }

void RoutePanel::startAs(route::Method method) {
  document_.edit(quenlor::startAs(method), method == route::Method::Elements
                                               ? QStringLiteral("改为按线元输入")
                                               : QStringLiteral("改为按交点输入"));
  say(method == route::Method::Elements
          ? QStringLiteral("按线元输入：先填起点 BP 的坐标、桩号和方位角")
          : QStringLiteral("按交点输入"));
}

// Element rows.

std::optional<std::size_t> RoutePanel::selectedElement() const {
  const QModelIndex current = elementView_->currentIndex();
  if (!current.isValid())
    return std::nullopt;
  return elementOfRow(document_.route().definition(), std::size_t(current.row()));
}

void RoutePanel::selectElement(std::size_t element) {
  const int row = int(rowOfElement(element));
  elementView_->selectRow(row);
  elementView_->setCurrentIndex(elementModel_->index(row, 0));
}

std::vector<std::size_t> RoutePanel::selectedElements() const {
  std::vector<std::size_t> elements;
  for (const int row : selectedRows(elementView_))
    if (const auto k = elementOfRow(document_.route().definition(), std::size_t(row)))
      elements.push_back(*k);
  if (elements.empty())
    if (const auto k = selectedElement())
      elements.push_back(*k);
  return elements;
}

void RoutePanel::addElement() {
  const std::size_t at = document_.route().definition().elements.size();
  document_.edit(insertElements(at, {newElement()}), QStringLiteral("添加线元"));
  selectElement(at);
}

// Before the chosen element; after BP when BP is chosen; else at the end.
void RoutePanel::insertElement() {
  const QModelIndex current = elementView_->currentIndex();
  std::size_t at = document_.route().definition().elements.size();
  if (const auto k = selectedElement())
    at = *k;
  else if (current.isValid() && current.row() == 0)
    at = 0;
  document_.edit(insertElements(at, {newElement()}), QStringLiteral("插入线元"));
  selectElement(at);
}

void RoutePanel::deleteElements() {
  const std::vector<std::size_t> elements = selectedElements();
  if (elements.empty())
    return say(QStringLiteral("先在表中选要删除的线元"));
  document_.edit(eraseElements(elements), QStringLiteral("删除 %1 个线元").arg(elements.size()));
  say(QStringLiteral("已删除 %1 个线元").arg(elements.size()));
  if (const std::size_t left = document_.route().definition().elements.size(); left > 0)
    selectElement(std::min(elements.front(), left - 1));
}

void RoutePanel::moveElement(int step) {
  const auto k = selectedElement();
  const std::size_t count = document_.route().definition().elements.size();
  if (!k || (step < 0 && *k == 0) || (step > 0 && *k + 1 >= count))
    return;
  const std::size_t other = step < 0 ? *k - 1 : *k + 1;
  document_.edit(swapElements(document_.route().definition(), *k, other),
                 step < 0 ? QStringLiteral("上移线元") : QStringLiteral("下移线元"));
  selectElement(other);
}

void RoutePanel::copyElements() {
  std::vector<route::ElementRow> rows;
  for (const std::size_t k : selectedElements())
    rows.push_back(document_.route().definition().elements[k]);
  if (rows.empty())
    return say(QStringLiteral("先在表中选要复制的线元"));
  QApplication::clipboard()->setText(QString::fromStdString(copiedElements(rows)));
  say(QStringLiteral("已复制 %1 个线元（带表头，以制表符分隔）").arg(rows.size()));
}

// Before the chosen element, or at the end.
void RoutePanel::pasteElements() {
  auto pasted = quenlor::pastedElements(QApplication::clipboard()->text().toStdString());
  if (const auto* refused = std::get_if<ElementPasteRefusal>(&pasted))
    return say(pasteRefusalText(*refused));
  std::vector<route::ElementRow>& rows = std::get<std::vector<route::ElementRow>>(pasted);
  if (rows.empty())
    return say(QStringLiteral("剪贴板中没有线元行（类型 长度 等，以制表符分隔）"));
  const std::size_t count = rows.size();
  const std::size_t at = selectedElement().value_or(document_.route().definition().elements.size());
  document_.edit(insertElements(at, std::move(rows)), QStringLiteral("粘贴 %1 个线元").arg(count));
  say(QStringLiteral("已粘贴 %1 个线元").arg(count));
  selectElement(at);
}

bool RoutePanel::exportElements(const QString& path) {
  const auto route = document_.drawable();
  if (!route) {
    say(QStringLiteral("没有可导出的路线：先打开或输入一条路线"));
    return false;
  }
  const QString outcome = saveElementTable(*route, path);
  say(outcome);
  return outcome.startsWith(QStringLiteral("已保存"));
}

void RoutePanel::exportElementsDialog() { exportRoute(&quenlor::exportElements); }

void RoutePanel::addWideningRow() {
  document_.edit(appendWideningRow(document_.route().definition()));
  wideningView_->selectRow(wideningModel_->rowCount() - 1);
}

void RoutePanel::deleteWideningRows() {
  const std::vector<int> rows = selectedRows(wideningView_);
  if (!rows.empty())
    document_.edit(eraseWideningRows(document_.route().definition().section, rows));
}

void RoutePanel::copySectionRows(QTableView* view) {
  std::vector<int> rows = selectedRows(view);
  if (rows.empty() && view->currentIndex().isValid())
    rows.push_back(view->currentIndex().row());
  if (rows.empty())
    return say(QStringLiteral("先在表中选要复制的行"));
  const route::RouteDefinition& d = document_.route().definition();
  const std::string text = view == templateView_ ? copiedParts(d.section, rows)
                           : view == curveView_  ? copiedCurves(d, rows)
                                                 : copiedWideningRows(d.section, rows);
  QApplication::clipboard()->setText(QString::fromStdString(text));
  say(QStringLiteral("已复制 %1 行（以制表符分隔）").arg(rows.size()));
}

namespace {

// What pasted rows change, or why they change nothing.
template <class Rows, class Make>
std::variant<RouteChange, QString> pasted(std::variant<Rows, PasteRefusal> read, SectionPaste table,
                                          Make make) {
  if (const auto* refused = std::get_if<PasteRefusal>(&read))
    return pasteRefusalText(*refused, table);
  const Rows& rows = std::get<Rows>(read);
  if (rows.empty())
    return QStringLiteral("剪贴板中没有可粘贴的行（以制表符分隔）");
  return make(rows);
}

} // namespace

// Parts go to their sides, curves' settings to the curves they name, station
// rows before the chosen row (or at the end).
void RoutePanel::pasteSectionRows(QTableView* view) {
  const std::string text = QApplication::clipboard()->text().toStdString();
  const route::RouteDefinition& d = document_.route().definition();
  std::variant<RouteChange, QString> change;
  if (view == templateView_) {
    change = pasted(pastedParts(text), SectionPaste::Parts,
                    [&](const auto& rows) -> std::variant<RouteChange, QString> {
                      return addParts(d.section, rows);
                    });
  } else if (view == curveView_) {
    change = pasted(pastedCurves(text), SectionPaste::Curves,
                    [&](const auto& rows) -> std::variant<RouteChange, QString> {
                      auto set = setCurves(d, rows);
                      if (const auto* unnamed = std::get_if<std::size_t>(&set))
                        return QStringLiteral("粘贴的第%1行：路线中没有名为“%2”的曲线")
                            .arg(*unnamed + 1)
                            .arg(QString::fromStdString(rows[*unnamed].name));
                      return std::get<RouteChange>(std::move(set));
                    });
  } else {
    const QModelIndex current = view->currentIndex();
    const std::size_t before =
        current.isValid() ? std::size_t(current.row()) : d.section.stations.size();
    change = pasted(pastedWideningRows(text), SectionPaste::Stations,
                    [&](const auto& rows) -> std::variant<RouteChange, QString> {
                      return insertWideningRows(d.section, before, rows);
                    });
  }
  if (const auto* why = std::get_if<QString>(&change))
    return say(*why);
  document_.edit(std::get<RouteChange>(change));
  say(QStringLiteral("已粘贴"));
}

// Ctrl+C and Ctrl+V on the JD and element tables copy and paste whole rows;
// Ctrl+V on the grade and break tables pastes grade points and chain breaks.
bool RoutePanel::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == jdView_ || watched == elementView_) && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool jds = watched == jdView_;
    if (key->matches(QKeySequence::Copy)) {
      jds ? copyJds() : copyElements();
      return true;
    }
    if (key->matches(QKeySequence::Paste)) {
      jds ? pasteJds() : pasteElements();
      return true;
    }
  }
  if ((watched == gradeView_ || watched == breakView_) && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
    watched == gradeView_ ? pasteGradePoints() : pasteBreaks();
    return true;
  }
  auto* view = qobject_cast<QTableView*>(watched);
  const bool section =
      view && (view == templateView_ || view == curveView_ || view == wideningView_);
  if (section && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste)) {
      key->matches(QKeySequence::Copy) ? copySectionRows(view) : pasteSectionRows(view);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

} // namespace quenlor
