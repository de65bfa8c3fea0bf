// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/route_panel.h"

#include "app/captions.h"
#include "app/drawing/notice_label.h"
#include "app/drawing/text_cells.h"
#include "app/exports.h"
#include "app/flow_layout.h"
#include "app/route_cells.h"
#include "app/route_tables.h"
#include "app/said.h"
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

QString qs(const std::string& text) { return QString::fromStdString(text); }

// The one question the program asks in a dialog.
RoutePanel::SaveAnswer askToSave(QWidget* parent) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Quenlor"), said(Say::AskSaveUnkept),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
  box.button(QMessageBox::Save)->setText(caption(captions::kSave));
  box.button(QMessageBox::Discard)->setText(caption(captions::kDiscard));
  box.button(QMessageBox::Cancel)->setText(caption(captions::kCancel));
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
  jdTab_ = tables_->addTab(buildJdTab(), caption(captions::kJdTab));
  elementTab_ = tables_->addTab(buildElementTab(), caption(captions::kElementTab));
  tables_->addTab(buildBreakTab(), caption(captions::kBreakTab));
  tables_->addTab(buildGradeTab(), caption(captions::kGradeTab));
  tables_->addTab(buildStationTab(), caption(captions::kStationTab));
  tables_->addTab(buildTemplateTab(), caption(captions::kTemplateTab));
  tables_->addTab(buildCurveSectionTab(), caption(captions::kCurveSectionTab));
  tables_->addTab(buildWideningTab(), caption(captions::kWideningTab));

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
  flow->addWidget(button(caption(captions::kOpen), "openRoute", [this] { openDialog(); }));
  auto* save = button(caption(captions::kSave), "saveRoute", [this] { this->save(); });
  save->setToolTip(QStringLiteral("Ctrl+S"));
  flow->addWidget(save);
  flow->addWidget(button(caption(captions::kSaveAs), "saveRouteAs", [this] { saveAsDialog(); }));
  flow->addWidget(button(caption(captions::kCloseRoute), "closeRoute", [this] { closeRoute(); }));
  undo_ = button(caption(captions::kUndo), "undoRoute", [this] { undo(); });
  redo_ = button(caption(captions::kRedo), "redoRoute", [this] { redo(); });
  flow->addWidget(undo_);
  flow->addWidget(redo_);
  flow->addWidget(button(caption(captions::kImportLandXml), "importLandXml",
                         [this] { importLandXmlDialog(); }));
  alignments_ = new QComboBox(this);
  alignments_->setObjectName(QStringLiteral("landXmlAlignments"));
  alignments_->setToolTip(said(Say::TipAlignments));
  alignments_->hide();
  connect(alignments_, &QComboBox::activated, this,
          [this](int index) { importLandXmlFile(landXmlPath_, alignments_->itemText(index)); });
  flow->addWidget(alignments_);
  flow->addWidget(button(caption(captions::kExportLandXml), "exportLandXml",
                         [this] { exportRoute(&exportLandXml); }));
  flow->addWidget(button(caption(captions::kExportDxf), "exportDxf", [this] {
    // With the stakes of the table, where there is one.
    const auto route = document_.drawable();
    if (!route)
      return say(said(Say::WindowNoRouteToExport));
    const TableAnswer* stakes = stakeTable_ ? stakeTable_() : nullptr;
    sayIfAny(exportDxf(this, *route, stakes && stakes->size() > 0 ? stakes : nullptr));
  }));
  auto* elements = button(caption(captions::kExportElements), "exportElements",
                          [this] { exportElementsDialog(); });
  elements->setToolTip(said(Say::TipExportElements));
  flow->addWidget(elements);
  addSheetButtons(flow);
  return row;
}

// The JD table and the coordinate table, each as XLSX and PDF.
void RoutePanel::addSheetButtons(FlowLayout* flow) {
  const struct {
    const char* caption;
    const char* name;
    QString (*jds)(QWidget*, const RouteModel&);
    QString (*stakes)(QWidget*, const TableAnswer&, const exchange::SheetHeader&);
  } sheets[] = {
      {captions::kExportJdXlsx, "exportJdXlsx", exportJdSheetXlsx, nullptr},
      {captions::kExportJdPdf, "exportJdPdf", exportJdSheetPdf, nullptr},
      {captions::kExportCoordinateXlsx, "exportCoordinatesXlsx", nullptr, exportCoordinateXlsx},
      {captions::kExportCoordinatePdf, "exportCoordinatesPdf", nullptr, exportCoordinatePdf}};
  for (const auto& sheet : sheets) {
    auto* push = button(QString::fromUtf8(sheet.caption), sheet.name, [this, sheet] {
      if (sheet.jds)
        exportRoute(sheet.jds);
      else
        exportStakes(sheet.stakes);
    });
    push->setToolTip(said(sheet.jds ? Say::WindowJdSheetTip : Say::WindowCoordinateSheetTip));
    flow->addWidget(push);
  }
}

// The route's name: the sheets print it, the file keeps it.
QWidget* RoutePanel::buildNameRow() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* label = new QLabel(caption(captions::kRouteName), row);
  nameEdit_ = new QLineEdit(row);
  nameEdit_->setObjectName(QStringLiteral("routeName"));
  nameEdit_->setPlaceholderText(caption(captions::kRouteNameHint));
  label->setBuddy(nameEdit_);
  connect(nameEdit_, &QLineEdit::editingFinished, this,
          [this] { setRouteName(nameEdit_->text()); });
  layout->addWidget(label);
  layout->addWidget(nameEdit_, 1);
  return row;
}

void RoutePanel::setRouteName(const QString& name) {
  const auto read = readCellName(name.toStdString());
  if (std::holds_alternative<CellRefusal>(read))
    return say(said(Say::WindowNameControlCharacter));
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
  flow->addWidget(button(caption(captions::kAdd), "addJd", [this] { addJd(); }));
  flow->addWidget(button(caption(captions::kInsert), "insertJd", [this] { insertJd(); }));
  flow->addWidget(button(caption(captions::kDelete), "deleteJd", [this] { deleteJds(); }));
  flow->addWidget(button(caption(captions::kMoveUp), "moveJdUp", [this] { moveJd(-1); }));
  flow->addWidget(button(caption(captions::kMoveDown), "moveJdDown", [this] { moveJd(1); }));
  flow->addWidget(button(caption(captions::kCopy), "copyJds", [this] { copyJds(); }));
  flow->addWidget(button(caption(captions::kPaste), "pasteJds", [this] { pasteJds(); }));
  auto* fill = button(caption(captions::kFillWindow), "fillWindow", [this] { fillWindow(); });
  fill->setToolTip(said(Say::TipFillWindow));
  auto* back = button(caption(captions::kWriteBack), "writeBack", [this] { writeBack(); });
  back->setToolTip(said(Say::TipWriteBack));
  flow->addWidget(fill);
  flow->addWidget(back);
  startByElements_ = button(caption(captions::kStartByElements), "startByElements",
                            [this] { startAs(route::Method::Elements); });
  startByElements_->setToolTip(said(Say::TipStartByElements));
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
  flow->addWidget(button(caption(captions::kAdd), "addElement", [this] { addElement(); }));
  flow->addWidget(button(caption(captions::kInsert), "insertElement", [this] { insertElement(); }));
  flow->addWidget(
      button(caption(captions::kDelete), "deleteElement", [this] { deleteElements(); }));
  flow->addWidget(button(caption(captions::kMoveUp), "moveElementUp", [this] { moveElement(-1); }));
  flow->addWidget(
      button(caption(captions::kMoveDown), "moveElementDown", [this] { moveElement(1); }));
  flow->addWidget(button(caption(captions::kCopy), "copyElements", [this] { copyElements(); }));
  flow->addWidget(button(caption(captions::kPaste), "pasteElements", [this] { pasteElements(); }));
  startByJds_ =
      button(caption(captions::kStartByJds), "startByJds", [this] { startAs(route::Method::Jds); });
  startByJds_->setToolTip(said(Say::TipStartByJds));
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
  flow->addWidget(button(caption(captions::kAdd), "addBreak", [this] { addBreak(); }));
  flow->addWidget(button(caption(captions::kDelete), "deleteBreak", [this] { deleteBreaks(); }));
  flow->addWidget(button(caption(captions::kPaste), "pasteBreaks", [this] { pasteBreaks(); }));
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
  flow->addWidget(button(caption(captions::kAdd), "addGradePoint", [this] { addGradePoint(); }));
  flow->addWidget(
      button(caption(captions::kDelete), "deleteGradePoint", [this] { deleteGradePoints(); }));
  flow->addWidget(
      button(caption(captions::kPaste), "pasteGradePoints", [this] { pasteGradePoints(); }));
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
  flow->addWidget(button(caption(captions::kAdd), "addStation", [this] { addStation(); }));
  flow->addWidget(
      button(caption(captions::kDelete), "deleteStation", [this] { deleteStations(); }));
  auto* use = button(caption(captions::kUseStation), "useStation", [this] { useStation(); });
  use->setToolTip(said(Say::TipUseStation));
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
  flow->addWidget(button(caption(captions::kAddLeftPart), "addLeftPart",
                         [this] { addPart(section::Side::Left); }));
  flow->addWidget(button(caption(captions::kAddRightPart), "addRightPart",
                         [this] { addPart(section::Side::Right); }));
  flow->addWidget(button(caption(captions::kDelete), "deletePart", [this] { deleteParts(); }));
  flow->addWidget(
      button(caption(captions::kCopy), "copyParts", [this] { copySectionRows(templateView_); }));
  flow->addWidget(
      button(caption(captions::kPaste), "pasteParts", [this] { pasteSectionRows(templateView_); }));
  templateView_ = buildTable(templateModel_, "templateTable");
  return tab(buttons, templateView_);
}

QWidget* RoutePanel::buildCurveSectionTab() {
  auto* buttons = new QWidget;
  auto* flow = new FlowLayout(buttons);
  flow->addWidget(
      button(caption(captions::kCopy), "copyCurves", [this] { copySectionRows(curveView_); }));
  flow->addWidget(
      button(caption(captions::kPaste), "pasteCurves", [this] { pasteSectionRows(curveView_); }));
  curveView_ = buildTable(curveModel_, "curveSectionTable");
  return tab(buttons, curveView_);
}

QWidget* RoutePanel::buildWideningTab() {
  auto* buttons = new QWidget;
  auto* flow = new FlowLayout(buttons);
  flow->addWidget(button(caption(captions::kAdd), "addWideningRow", [this] { addWideningRow(); }));
  flow->addWidget(
      button(caption(captions::kDelete), "deleteWideningRow", [this] { deleteWideningRows(); }));
  flow->addWidget(button(caption(captions::kCopy), "copyWideningRows",
                         [this] { copySectionRows(wideningView_); }));
  flow->addWidget(button(caption(captions::kPaste), "pasteWideningRows",
                         [this] { pasteSectionRows(wideningView_); }));
  stationAxis_ = new QComboBox(buttons);
  stationAxis_->setObjectName(QStringLiteral("stationAxis"));
  stationAxis_->setToolTip(said(Say::TipStationAxis));
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
  const std::string checkSample =
      chinese(Say::CheckAt, {"JD000", chinese(Say::CheckCurvesOverlap)});
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
    return say(said(Say::WindowNoRouteToExport));
  sayIfAny(write(this, *route));
}

// A stake table with no rows has nothing to list: no dialog opens.
void RoutePanel::exportStakes(QString (*write)(QWidget*, const TableAnswer&,
                                               const exchange::SheetHeader&)) {
  const TableAnswer* table = stakeTable_ ? stakeTable_() : nullptr;
  if (!table || table->size() == 0 || !sheetHeader_)
    return say(said(Say::WindowNoStakeTable));
  sayIfAny(write(this, *table, sheetHeader_()));
}

// A dialog the user cancelled has nothing to say.
std::optional<QString> RoutePanel::adoptImported(route::RouteDefinition read) {
  const auto kept = keepOrAsk();
  if (kept)
    document_.adopt(std::move(read), caption(captions::kImportLandXmlTitle));
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
    checks = said(Say::WindowRowsWithProblems, {QString::number(count), first});
  notice_.clear();
  for (const QString& part : {message_, document_.keepProblem(), checks})
    if (!part.isEmpty())
      notice_ += (notice_.isEmpty() ? QString() : said(Say::Then)) + part;
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
  undo_->setToolTip(undoText.isEmpty() ? said(Say::TipUndo) : said(Say::TipUndoStep, {undoText}));
  redo_->setToolTip(redoText.isEmpty() ? said(Say::TipRedo) : said(Say::TipRedoStep, {redoText}));
}

void RoutePanel::showFile() {
  QString text;
  if (document_.isEmpty())
    text = said(Say::WindowNoRouteOpened);
  else {
    const QString name = document_.path().isEmpty() ? caption(captions::kUnnamedRoute)
                                                    : QFileInfo(document_.path()).fileName();
    text = said(document_.modified() ? Say::WindowFileModified : Say::WindowFileSaved, {name});
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
  const QString path = QFileDialog::getOpenFileName(this, caption(captions::kOpenRouteTitle),
                                                    QFileInfo(document_.path()).path(),
                                                    caption(captions::kRouteFileFilter));
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
  QString path =
      QFileDialog::getSaveFileName(this, caption(captions::kSaveRouteAsTitle), document_.path(),
                                   caption(captions::kRouteFileFilter));
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
    return say(said(Say::WindowChooseJd));
  const QString name = qs(document_.route().definition().jds[*jd].name);
  const bool filled = routeBoxes_ ? routeBoxes_->fill(form_, document_.route(), *jd)
                                  : fillFromJd(form_, document_.route(), *jd).has_value();
  if (!filled)
    return say(said(Say::WindowJdNotInRoute, {name}));
  const route::Jd& typed = document_.route().definition().jds[*jd];
  say(said(Say::WindowFilled, {name}) + (typed.secondTransition() != typed.ls1
                                             ? said(Say::Then) + said(Say::WindowTransitionsDiffer)
                                             : QString()));
}

void RoutePanel::writeBack() {
  const auto jd = selectedJd();
  if (!jd)
    return say(said(Say::WindowChooseJd));
  const route::Jd& before = document_.route().definition().jds[*jd];
  const route::Jd typed = jdFromBoxes(form_, before);
  if (typed == before)
    return say(said(Say::WindowSameAsJd, {qs(before.name)}));
  document_.edit([&](route::Route& r) { r.replaceJd(*jd, typed); },
                 said(Say::StepWriteBack, {qs(typed.name)}));
  say(said(Say::WindowWrittenBack, {qs(typed.name)}));
}

// JD rows.

void RoutePanel::addJd() {
  const std::size_t at = document_.route().jdCount();
  document_.edit(insertJds(at, {newJdAt(document_.route(), at)}), said(Say::StepAddJd));
  selectJd(at);
}

void RoutePanel::insertJd() {
  const QModelIndex current = jdView_->currentIndex();
  std::size_t at = document_.route().jdCount();
  if (const auto jd = selectedJd())
    at = *jd;
  else if (current.isValid() && current.row() == 0)
    at = 0;
  document_.edit(insertJds(at, {newJdAt(document_.route(), at)}), said(Say::StepInsertJd));
  selectJd(at);
}

void RoutePanel::deleteJds() {
  const std::vector<std::size_t> jds = selectedJds();
  if (jds.empty())
    return say(said(Say::WindowChooseJdsToDelete));
  document_.edit(eraseJds(jds), said(Say::StepDeleteJds, {QString::number(jds.size())}));
  say(said(Say::WindowDeletedJds, {QString::number(jds.size())}));
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
                 said(step < 0 ? Say::StepJdUp : Say::StepJdDown));
  selectJd(other);
}

void RoutePanel::copyJds() {
  std::vector<route::Jd> rows;
  for (const std::size_t jd : selectedJds())
    rows.push_back(document_.route().definition().jds[jd]);
  if (rows.empty())
    return say(said(Say::WindowChooseJdsToCopy));
  QApplication::clipboard()->setText(QString::fromStdString(copiedJds(rows)));
  say(said(Say::WindowCopiedJds, {QString::number(rows.size())}));
}

// A design's table as it copies from a spreadsheet (session/design_table.h):
// before the chosen JD, or at the end; BP and EP where it gives them.
void RoutePanel::pasteJds() {
  auto pasted = pastedTable(QApplication::clipboard()->text().toStdString());
  if (const auto* refused = std::get_if<PasteRefusal>(&pasted))
    return say(pasteRefusalText(*refused));
  const PastedTable& table = std::get<PastedTable>(pasted);
  if (table.jds.empty() && !table.start && !table.end)
    return say(said(Say::WindowNoJdRows));
  const route::RouteDefinition& definition = document_.route().definition();
  const std::size_t before = selectedJd().value_or(definition.jds.size());
  const std::size_t at = pastePlace(definition, before, table);
  const std::optional<EndPlacement> end = placedEnd(definition, before, table);
  if (end && !end->placed)
    return say(QString::fromStdString(endPlacedText(*end, table)));
  document_.edit(pasteTable(definition, before, table),
                 said(Say::StepPasteJds, {QString::number(table.jds.size())}));
  say(pastedText(table) +
      (end ? said(Say::Then) + QString::fromStdString(endPlacedText(*end, table)) : QString()));
  if (!table.jds.empty())
    selectJd(at);
}

// Chain breaks and grade points.

void RoutePanel::addBreak() {
  document_.edit(appendBreak(document_.route()), said(Say::StepAddBreak));
  breakView_->selectRow(breakModel_->rowCount() - 1);
}

void RoutePanel::deleteBreaks() {
  const std::vector<int> rows = selectedRows(breakView_);
  if (!rows.empty())
    document_.edit(eraseBreaks(document_.route().definition(), rows), said(Say::StepDeleteBreaks));
}

// A chain breaks' table as it copies from a spreadsheet
// (session/design_table.h): before the chosen break, or at the end.
void RoutePanel::pasteBreaks() {
  auto pasted = pastedBreaks(QApplication::clipboard()->text().toStdString());
  if (const auto* refused = std::get_if<PasteRefusal>(&pasted))
    return say(pasteRefusalText(*refused));
  PastedBreaks& table = std::get<PastedBreaks>(pasted);
  if (table.breaks.empty())
    return say(said(Say::WindowNoBreakRows));
  const std::vector<int> chosen = selectedRows(breakView_);
  const std::size_t count = table.breaks.size();
  const std::size_t at =
      chosen.empty() ? document_.route().definition().breaks.size() : std::size_t(chosen.front());
  document_.edit(quenlor::pasteBreaks(document_.route().definition(), at, std::move(table.breaks)),
                 said(Say::StepPasteBreaks, {QString::number(count)}));
  say(said(Say::WindowPastedBreaks, {QString::number(count)}) +
      unreadText(table.computed, table.unknown));
}

void RoutePanel::addGradePoint() {
  document_.edit(appendGradePoint(document_.route().definition()), said(Say::StepAddGradePoint));
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
    return say(said(Say::WindowNoGradeRows));
  const std::vector<int> chosen = selectedRows(gradeView_);
  const std::size_t count = table.points.size();
  const std::size_t at = chosen.empty() ? document_.route().definition().gradePoints.size()
                                        : std::size_t(chosen.front());
  document_.edit(
      quenlor::pasteGradePoints(document_.route().definition(), at, std::move(table.points)),
      said(Say::StepPasteGradePoints, {QString::number(count)}));
  say(said(Say::WindowPastedGradePoints, {QString::number(count)}) +
      unreadText(table.computed, table.unknown));
}

void RoutePanel::deleteGradePoints() {
  const std::vector<int> rows = selectedRows(gradeView_);
  if (!rows.empty())
    document_.edit(eraseGradePoints(document_.route().definition(), rows),
                   said(Say::StepDeleteGradePoints));
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
    return say(said(Say::WindowChooseStation));
  const std::size_t row = std::size_t(current.row());
  const bool inUse = document_.route().definition().stations.at(row).inUse;
  document_.edit(
      useStationAt(document_.route().definition(), inUse ? std::nullopt : std::optional(row)));
  const QString name = qs(document_.route().definition().stations.at(row).name);
  say(said(inUse ? Say::WindowStationDropped : Say::WindowStationUsed, {name}));
}

// The table of the route's method in place of the other's; a new route
// may change its method while it has no rows of it.
void RoutePanel::showMethod() {
  const bool elements = showsElements();
  if (tables_->currentIndex() == (elements ? jdTab_ : elementTab_))
    tables_->setCurrentIndex(elements ? elementTab_ : jdTab_);
  // Only on a change: each call lays the tabs out again and repaints them all.
  if (tables_->isTabVisible(jdTab_) == elements || tables_->isTabVisible(elementTab_) != elements) {
    tables_->setTabVisible(jdTab_, !elements);
    tables_->setTabVisible(elementTab_, elements);
  }
  const route::RouteDefinition& d = document_.route().definition();
  startByElements_->setEnabled(!elements && d.jds.empty());
  startByJds_->setEnabled(elements && d.elements.empty());
}

bool RoutePanel::showsElements() const { return document_.route().byElements(); }

void RoutePanel::startAs(route::Method method) {
  document_.edit(quenlor::startAs(method),
                 said(method == route::Method::Elements ? Say::StepByElements : Say::StepByJds));
  say(said(method == route::Method::Elements ? Say::WindowByElements : Say::WindowByJds));
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
  document_.edit(insertElements(at, {newElement()}), said(Say::StepAddElement));
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
  document_.edit(insertElements(at, {newElement()}), said(Say::StepInsertElement));
  selectElement(at);
}

void RoutePanel::deleteElements() {
  const std::vector<std::size_t> elements = selectedElements();
  if (elements.empty())
    return say(said(Say::WindowChooseElementsToDelete));
  document_.edit(eraseElements(elements),
                 said(Say::StepDeleteElements, {QString::number(elements.size())}));
  say(said(Say::WindowDeletedElements, {QString::number(elements.size())}));
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
                 said(step < 0 ? Say::StepElementUp : Say::StepElementDown));
  selectElement(other);
}

void RoutePanel::copyElements() {
  std::vector<route::ElementRow> rows;
  for (const std::size_t k : selectedElements())
    rows.push_back(document_.route().definition().elements[k]);
  if (rows.empty())
    return say(said(Say::WindowChooseElementsToCopy));
  QApplication::clipboard()->setText(QString::fromStdString(copiedElements(rows)));
  say(said(Say::WindowCopiedElements, {QString::number(rows.size())}));
}

// Before the chosen element, or at the end.
void RoutePanel::pasteElements() {
  auto pasted = quenlor::pastedElements(QApplication::clipboard()->text().toStdString());
  if (const auto* refused = std::get_if<ElementPasteRefusal>(&pasted))
    return say(pasteRefusalText(*refused));
  std::vector<route::ElementRow>& rows = std::get<std::vector<route::ElementRow>>(pasted);
  if (rows.empty())
    return say(said(Say::WindowNoElementRows));
  const std::size_t count = rows.size();
  const std::size_t at = selectedElement().value_or(document_.route().definition().elements.size());
  document_.edit(insertElements(at, std::move(rows)),
                 said(Say::StepPasteElements, {QString::number(count)}));
  say(said(Say::WindowPastedElements, {QString::number(count)}));
  selectElement(at);
}

bool RoutePanel::exportElements(const QString& path) {
  const auto route = document_.drawable();
  if (!route) {
    say(said(Say::WindowNoRouteToExport));
    return false;
  }
  const QString outcome = saveElementTable(*route, path);
  say(outcome);
  return outcome.startsWith(said(Say::WindowSaved));
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
    return say(said(Say::WindowChooseRowsToCopy));
  const route::RouteDefinition& d = document_.route().definition();
  const std::string text = view == templateView_ ? copiedParts(d.section, rows)
                           : view == curveView_  ? copiedCurves(d, rows)
                                                 : copiedWideningRows(d.section, rows);
  QApplication::clipboard()->setText(QString::fromStdString(text));
  say(said(Say::WindowCopiedRows, {QString::number(rows.size())}));
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
    return said(Say::WindowNoRows);
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
                        return said(Say::WindowPastedCurveUnknown,
                                    {QString::number(*unnamed + 1),
                                     QString::fromStdString(rows[*unnamed].name)});
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
  say(said(Say::WindowPasted));
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
