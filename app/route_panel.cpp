// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/route_panel.h"

#include "app/drawing/notice_label.h"
#include "app/exports.h"
#include "app/flow_layout.h"
#include "app/route_cells.h"
#include "app/route_tables.h"
#include "form/form.h"
#include "session/jd_boxes.h"
#include "session/route_edits.h"
#include "session/section_edits.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
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
      breakModel_(new RouteTableModel(document_, breakTable(), &breakProblems, this)),
      gradeModel_(new RouteTableModel(document_, gradeTable(), &gradeProblems, this)),
      templateModel_(new RouteTableModel(document_, templateTable(), &templateProblems, this)),
      curveModel_(new RouteTableModel(document_, curveSectionTable(), &curveSectionProblems, this)),
      stationModel_(new RouteTableModel(document_, stationTable(), &stationProblems, this)) {
  setObjectName(QStringLiteral("routePanel"));
  noticeLabel_ = new NoticeLabel("routeNotice", this);
  fileLabel_ = new QLabel(this);
  fileLabel_->setObjectName(QStringLiteral("routeFile"));
  fileLabel_->setTextFormat(Qt::PlainText);
  fileLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

  tables_ = new QTabWidget(this);
  tables_->setObjectName(QStringLiteral("routeTables"));
  tables_->addTab(buildJdTab(), QStringLiteral("交点"));
  tables_->addTab(buildBreakTab(), QStringLiteral("断链"));
  tables_->addTab(buildGradeTab(), QStringLiteral("变坡点"));
  tables_->addTab(buildTemplateTab(), QStringLiteral("路幅"));
  tables_->addTab(buildCurveSectionTab(), QStringLiteral("超高加宽"));
  tables_->addTab(buildStationTab(), QStringLiteral("超高加宽表"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(noticeLabel_);
  layout->addWidget(fileLabel_);
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
  flow->addWidget(button(QStringLiteral("导入LandXML…"), "importLandXml", [this] {
    sayIfAny(importLandXml(this, [this](route::RouteDefinition read) -> std::optional<QString> {
      const auto kept = keepOrAsk();
      if (kept)
        document_.adopt(std::move(read));
      return kept;
    }));
  }));
  flow->addWidget(button(QStringLiteral("导出LandXML…"), "exportLandXml",
                         [this] { exportRoute(&exportLandXml); }));
  flow->addWidget(button(QStringLiteral("导出DXF…"), "exportDxf", [this] {
    exportRoute([](QWidget* parent, const RouteModel& route) { return exportDxf(parent, route); });
  }));
  return row;
}

QTableView* RoutePanel::buildTable(RouteTableModel* model, const char* name) {
  auto* view = new QTableView;
  view->setObjectName(QString::fromUtf8(name));
  view->setModel(model);
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

QWidget* RoutePanel::buildBreakTab() {
  auto* tab = new QWidget;
  auto* buttons = new QWidget(tab);
  auto* flow = new FlowLayout(buttons);
  flow->addWidget(button(QStringLiteral("添加"), "addBreak", [this] { addBreak(); }));
  flow->addWidget(button(QStringLiteral("删除"), "deleteBreak", [this] { deleteBreaks(); }));
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
  gradeView_ = buildTable(gradeModel_, "gradeTable");
  auto* layout = new QVBoxLayout(tab);
  layout->setContentsMargins(2, 4, 2, 2);
  layout->addWidget(buttons);
  layout->addWidget(gradeView_, 1);
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

QWidget* RoutePanel::buildStationTab() {
  auto* buttons = new QWidget;
  auto* flow = new FlowLayout(buttons);
  flow->addWidget(button(QStringLiteral("添加"), "addStation", [this] { addStation(); }));
  flow->addWidget(button(QStringLiteral("删除"), "deleteStation", [this] { deleteStations(); }));
  flow->addWidget(
      button(QStringLiteral("复制"), "copyStations", [this] { copySectionRows(stationView_); }));
  flow->addWidget(
      button(QStringLiteral("粘贴"), "pasteStations", [this] { pasteSectionRows(stationView_); }));
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
  stationView_ = buildTable(stationModel_, "stationTable");
  return tab(buttons, stationView_);
}

std::vector<RouteTableModel*> RoutePanel::models() const {
  return {jdModel_, breakModel_, gradeModel_, templateModel_, curveModel_, stationModel_};
}

// Fixed widths from the widest text each column shows: nothing moves as the
// values change.
void RoutePanel::setColumnWidths() {
  const char* const checkSample = "JD000：曲线与下一交点的曲线重叠（HZ 超过下一 ZH）";
  for (QTableView* view :
       {jdView_, breakView_, gradeView_, templateView_, curveView_, stationView_}) {
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
  stationAxis_->setCurrentIndex(
      stationAxis_->findData(int(document_.route().definition().section.tableAxis)));
  if (chosen && *chosen < document_.route().jdCount() && !selectedJd())
    selectJd(*chosen);
  showFile();
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
    for (int row = 0; first.isEmpty() && row < model->rowCount(); ++row)
      first = model->problem(row).section(QLatin1Char('\n'), 0, 0);
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
  if (kept)
    say(document_.take(std::move(*read)) + *kept);
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
  if (const auto kept = keepOrAsk())
    say(document_.close() + *kept);
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
  const auto edits = boxEditsForJd(document_.route(), *jd);
  const QString name = qs(document_.route().definition().jds[*jd].name);
  if (edits.empty())
    return say(name + QStringLiteral(" 未参与路线计算（见检查），不能填入窗口"));
  fillBoxes(form_, edits);
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
  document_.edit([&](route::Route& r) { r.replaceJd(*jd, typed); });
  say(QStringLiteral("已将窗口写回 %1").arg(qs(typed.name)));
}

// JD rows.

void RoutePanel::addJd() {
  const std::size_t at = document_.route().jdCount();
  document_.edit(insertJds(at, {newJdAt(document_.route().definition(), at)}));
  selectJd(at);
}

void RoutePanel::insertJd() {
  const QModelIndex current = jdView_->currentIndex();
  std::size_t at = document_.route().jdCount();
  if (const auto jd = selectedJd())
    at = *jd;
  else if (current.isValid() && current.row() == 0)
    at = 0;
  document_.edit(insertJds(at, {newJdAt(document_.route().definition(), at)}));
  selectJd(at);
}

void RoutePanel::deleteJds() {
  const std::vector<std::size_t> jds = selectedJds();
  if (jds.empty())
    return say(QStringLiteral("先在表中选要删除的交点"));
  document_.edit(eraseJds(jds));
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
  document_.edit(swapJds(document_.route().definition(), *jd, other));
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

// Before the chosen JD, or at the end.
void RoutePanel::pasteJds() {
  auto pasted = quenlor::pastedJds(QApplication::clipboard()->text().toStdString());
  if (const auto* refused = std::get_if<PasteRefusal>(&pasted))
    return say(pasteRefusalText(*refused));
  std::vector<route::Jd>& jds = std::get<std::vector<route::Jd>>(pasted);
  if (jds.empty())
    return say(QStringLiteral("剪贴板中没有交点行（名称 X Y R Ls ls2，以制表符分隔）"));
  const std::size_t count = jds.size();
  const std::size_t at = selectedJd().value_or(document_.route().jdCount());
  document_.edit(insertJds(at, std::move(jds)));
  say(QStringLiteral("已粘贴 %1 个交点").arg(count));
  selectJd(at);
}

// Chain breaks and grade points.

void RoutePanel::addBreak() {
  document_.edit(appendBreak(document_.route()));
  breakView_->selectRow(breakModel_->rowCount() - 1);
}

void RoutePanel::deleteBreaks() {
  const std::vector<int> rows = selectedRows(breakView_);
  if (!rows.empty())
    document_.edit(eraseBreaks(document_.route().definition(), rows));
}

void RoutePanel::addGradePoint() {
  document_.edit(appendGradePoint(document_.route().definition()));
  gradeView_->selectRow(gradeModel_->rowCount() - 1);
}

void RoutePanel::deleteGradePoints() {
  const std::vector<int> rows = selectedRows(gradeView_);
  if (!rows.empty())
    document_.edit(eraseGradePoints(document_.route().definition(), rows));
}

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
    document_.edit(eraseStations(document_.route().definition().section, rows));
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
                                                 : copiedStations(d.section, rows);
  QApplication::clipboard()->setText(QString::fromStdString(text));
  say(QStringLiteral("已复制 %1 行（以制表符分隔）").arg(rows.size()));
}

namespace {

// What pasted rows change, or why they change nothing.
template <class Rows, class Make>
std::variant<RouteChange, QString> pasted(std::variant<Rows, PasteRefusal> read, PastedTable table,
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
    change = pasted(pastedParts(text), PastedTable::Parts,
                    [&](const auto& rows) -> std::variant<RouteChange, QString> {
                      return addParts(d.section, rows);
                    });
  } else if (view == curveView_) {
    change = pasted(pastedCurves(text), PastedTable::Curves,
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
    change = pasted(pastedStations(text), PastedTable::Stations,
                    [&](const auto& rows) -> std::variant<RouteChange, QString> {
                      return insertStations(d.section, before, rows);
                    });
  }
  if (const auto* why = std::get_if<QString>(&change))
    return say(*why);
  document_.edit(std::get<RouteChange>(change));
  say(QStringLiteral("已粘贴"));
}

// Ctrl+C and Ctrl+V on a table copy and paste whole rows.
bool RoutePanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool copy = key->matches(QKeySequence::Copy), paste = key->matches(QKeySequence::Paste);
    if (watched == jdView_ && (copy || paste)) {
      copy ? copyJds() : pasteJds();
      return true;
    }
    auto* view = qobject_cast<QTableView*>(watched);
    if ((copy || paste) && view &&
        (view == templateView_ || view == curveView_ || view == stationView_)) {
      copy ? copySectionRows(view) : pasteSectionRows(view);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

} // namespace quenlor
