// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/field_tools.h"

#include "app/captions.h"
#include "app/drawing/notice_label.h"
#include "app/exports.h"
#include "app/said.h"
#include "app/stake_sheet_print.h"
#include "exchange/stamp.h"
#include "session/notices.h"
#include "session/route_boxes.h"
#include "session/route_model.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <sstream>
#include <unordered_map>

namespace quenlor {

// The rows of a stake table, each made when it is shown and kept while it is
// on screen: a table of any length costs what its visible rows cost.
class StakeTableModel : public QAbstractTableModel {
public:
  using QAbstractTableModel::QAbstractTableModel;

  void setTable(const TableAnswer* table, Precision precision) {
    beginResetModel();
    table_ = table;
    precision_ = precision;
    rows_.clear();
    endResetModel();
  }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() || !table_ ? 0 : int(table_->size());
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : int(columns().size());
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
      return {};
    const std::string_view heading = columns()[std::size_t(section)].heading;
    return QString::fromUtf8(heading.data(), qsizetype(heading.size()));
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !table_)
      return {};
    const StakeColumn& column = columns()[std::size_t(index.column())];
    return QString::fromStdString(column.cell(row(std::size_t(index.row())), precision_));
  }

private:
  static constexpr std::size_t kRowsKept = 512;

  const std::vector<StakeColumn>& columns() const {
    return table_ ? table_->columns() : stakeColumns(false, false);
  }

  const StakeRow& row(std::size_t index) const {
    if (rows_.size() > kRowsKept)
      rows_.clear();
    const auto kept = rows_.find(index);
    if (kept != rows_.end())
      return kept->second;
    return rows_.emplace(index, table_->row(index)).first->second;
  }

  const TableAnswer* table_ = nullptr;
  Precision precision_ = Precision::Field;
  mutable std::unordered_map<std::size_t, StakeRow> rows_;
};

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

// Shows a text from its start, where a surveyor reads the leading digits.
void showText(QLineEdit* edit, const std::string& text) {
  edit->setText(qs(text));
  edit->setCursorPosition(0);
}

} // namespace

FieldToolsPanel::FieldToolsPanel(const Form& form, QWidget* parent)
    : QWidget(parent), form_(form), pending_(new QTimer(this)),
      tableModel_(new StakeTableModel(this)) {
  setObjectName(QStringLiteral("fieldTools"));
  pending_->setSingleShot(true);
  pending_->setInterval(0);
  connect(pending_, &QTimer::timeout, this, [this] { recompute(); });

  notice_ = new NoticeLabel("notice", this);
  source_ = new QLabel(this);
  source_->setObjectName(QStringLiteral("source"));
  source_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // A long route name must not widen the panel past its area.
  source_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  pointLevel_ = new QLabel(this);
  pointLevel_->setObjectName(QStringLiteral("pointLevel"));
  pointLevel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(notice_, 0, 0, 1, 2);
  layout->addWidget(source_, 0, 2, 1, 2);
  layout->addWidget(pointLevel_, 3, 0, 1, 4);
  layout->addWidget(buildStakeGroup(), 1, 0);
  layout->addWidget(buildLocateGroup(), 1, 1);
  layout->addWidget(buildTableGroup(), 1, 2);
  layout->addWidget(buildTableView(), 2, 0, 1, 4);
  layout->setColumnStretch(3, 1);
  layout->setRowStretch(2, 1);
  orderTabs();
}

// Tab and Enter go through the boxes one types into, group by group.
void FieldToolsPanel::orderTabs() {
  const char* const names[] = {"stakeChainage", "stakeOffset",   "stakeGround",   "pointX",
                               "pointY",        "tableStart",    "tableEnd",      "tableInterval",
                               "tableOffset",   "tableFallLeft", "tableFallRight"};
  for (std::size_t i = 1; i < std::size(names); ++i)
    setTabOrder(findChild<QWidget*>(names[i - 1]), findChild<QWidget*>(names[i]));
}

// A field as wide as a coordinate in full: seven digits, a point, eight more.
static int fieldWidth(const QWidget* w) {
  return w->fontMetrics().horizontalAdvance(QStringLiteral("-8888888.88888888")) + 12;
}

void FieldToolsPanel::addRow(QGridLayout* grid, int row, const QString& caption, QWidget* field,
                             QWidget* extra) {
  grid->addWidget(new QLabel(caption), row, 0);
  field->setFixedWidth(fieldWidth(this));
  grid->addWidget(field, row, 1);
  if (extra)
    grid->addWidget(extra, row, 2);
}

// A side label (左 or 右) of a fixed width, so that it never moves a field.
QLabel* FieldToolsPanel::sideLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setFixedWidth(fontMetrics().horizontalAdvance(caption(captions::kSideSample)));
  return label;
}

// 填 or 挖 with its height, of a fixed width.
QLabel* FieldToolsPanel::cutFillLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QStringLiteral("stakeCutFill"));
  label->setFixedWidth(fontMetrics().horizontalAdvance(caption(captions::kCutFillSample)));
  return label;
}

QGroupBox* FieldToolsPanel::buildStakeGroup() {
  auto* group = new QGroupBox(caption(captions::kSideStakes), this);
  auto* grid = new QGridLayout(group);
  addRow(grid, 0, caption(captions::kChainage), input(Input::StakeChainage, "stakeChainage"));
  addRow(grid, 1, caption(captions::kOffset), input(Input::StakeOffset, "stakeOffset"),
         stakeSide_ = sideLabel(group));
  addRow(grid, 2, QStringLiteral("X"), stakeX_ = output("stakeX"));
  addRow(grid, 3, QStringLiteral("Y"), stakeY_ = output("stakeY"));
  addRow(grid, 4, caption(captions::kSetOutAzimuth), stakeAzimuth_ = output("stakeAzimuth"));
  addRow(grid, 5, caption(captions::kSetOutDistance), stakeDistance_ = output("stakeDistance"));
  addRow(grid, 6, caption(captions::kGroundElevation), input(Input::StakeGround, "stakeGround"));
  addRow(grid, 7, caption(captions::kDesignElevation), stakeDesign_ = output("stakeDesign"),
         stakeCutFill_ = cutFillLabel(group));
  grid->setRowStretch(8, 1);
  return group;
}

QGroupBox* FieldToolsPanel::buildLocateGroup() {
  auto* group = new QGroupBox(caption(captions::kLocate), this);
  auto* grid = new QGridLayout(group);
  addRow(grid, 0, QStringLiteral("X"), input(Input::PointX, "pointX"));
  addRow(grid, 1, QStringLiteral("Y"), input(Input::PointY, "pointY"));
  addRow(grid, 2, caption(captions::kChainage), foundK_ = output("foundK"));
  addRow(grid, 3, QString(), foundChainage_ = output("foundChainage"));
  addRow(grid, 4, caption(captions::kOffset), foundOffset_ = output("foundOffset"),
         foundSide_ = sideLabel(group));
  foundNote_ = new QLabel(group);
  foundNote_->setObjectName(QStringLiteral("foundNote"));
  foundNote_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  foundNote_->setWordWrap(true);
  grid->addWidget(foundNote_, 5, 0, 1, 3);
  grid->setRowStretch(6, 1);
  return group;
}

QGroupBox* FieldToolsPanel::buildTableGroup() {
  auto* group = new QGroupBox(caption(captions::kStakeTable), this);
  auto* grid = new QGridLayout(group);
  const struct {
    const char* caption;
    Input input;
    const char* name;
  } ranges[] = {{captions::kTableStart, Input::TableStart, "tableStart"},
                {captions::kTableEnd, Input::TableEnd, "tableEnd"},
                {captions::kTableInterval, Input::TableInterval, "tableInterval"},
                {captions::kTableOffset, Input::TableOffset, "tableOffset"},
                {captions::kFallLeft, Input::TableFallLeft, "tableFallLeft"},
                {captions::kFallRight, Input::TableFallRight, "tableFallRight"}};
  // The switches and the file buttons first, the ranges below them: on a
  // short or scaled screen the buttons stay in sight above the fold.
  int row = 2;
  for (const auto& r : ranges)
    addRow(grid, row++, QString::fromUtf8(r.caption), input(r.input, QString::fromUtf8(r.name)));
  auto* offset = findChild<QLineEdit*>(QStringLiteral("tableOffset"));
  offset->setPlaceholderText(QString::fromUtf8(kAtEdges.data(), qsizetype(kAtEdges.size())));
  offset->setToolTip(said(Say::TipTableOffset));
  for (const char* name : {"tableFallLeft", "tableFallRight"}) {
    auto* fall = findChild<QLineEdit*>(QString::fromUtf8(name));
    fall->setPlaceholderText(caption(captions::kFallUnused));
    fall->setToolTip(said(Say::TipTableFall));
  }

  auto* whole = new QCheckBox(caption(captions::kWholeStations), group);
  whole->setObjectName(QStringLiteral("wholeStations"));
  whole->setChecked(model_.spacing() == StakeSpacing::WholeStations);
  connect(whole, &QCheckBox::toggled, this, [this](bool on) {
    model_.setSpacing(on ? StakeSpacing::WholeStations : StakeSpacing::FromStart);
    pending_->start();
  });
  auto* full = new QCheckBox(caption(captions::kFullPrecision), group);
  full->setObjectName(QStringLiteral("fullPrecision"));
  full->setToolTip(said(Say::TipFullPrecision));
  connect(full, &QCheckBox::toggled, this, [this](bool on) {
    model_.setPrecision(on ? Precision::Full : Precision::Field);
    tableModel_->setTable(&model_.answers().table, model_.precision());
    pending_->start();
  });
  auto* copy = new QPushButton(caption(captions::kCopy), group);
  copy->setObjectName(QStringLiteral("copyTable"));
  connect(copy, &QPushButton::clicked, this,
          [this] { QApplication::clipboard()->setText(tableText()); });
  auto* switches = new QGridLayout;
  switches->addWidget(whole, 0, 0);
  switches->addWidget(full, 0, 1);
  switches->addWidget(copy, 0, 2);
  grid->addLayout(switches, 0, 0, 1, 2);
  grid->addLayout(buildFileButtons(group), 1, 0, 1, 2);
  tableNote_ = new QLabel(group);
  tableNote_->setObjectName(QStringLiteral("tableNote"));
  // However long the note grows, it takes the width it is given.
  tableNote_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  tableNote_->setWordWrap(true);
  grid->addWidget(tableNote_, row++, 0, 1, 2);
  grid->setRowStretch(row, 1);
  return group;
}

// 导出CSV, 导出XLSX, 导出点文件 (a total station's point list) and 打印… (a
// printer or a PDF file), each saying its outcome in the notice line.
QGridLayout* FieldToolsPanel::buildFileButtons(QWidget* group) {
  const struct {
    const char* caption;
    const char* name;
    QString (*act)(QWidget*, const TableAnswer&, const exchange::SheetHeader&);
  } buttons[] = {{captions::kExportCsv, "exportCsv", exportStakeCsv},
                 {captions::kExportXlsx, "exportXlsx", exportStakeXlsx},
                 {captions::kExportPoints, "exportPoints", exportPointList},
                 {captions::kPrint, "printTable", printStakeSheet}};
  auto* row = new QGridLayout;
  int column = 0;
  for (const auto& b : buttons) {
    auto* button = new QPushButton(QString::fromUtf8(b.caption), group);
    button->setObjectName(QString::fromUtf8(b.name));
    connect(button, &QPushButton::clicked, this, [this, act = b.act] {
      const TableAnswer& table = model_.answers().table;
      if (table.size() == 0) { // no dialog for nothing to write
        setFileNotice(said(Say::WindowNoStakeTable));
        return;
      }
      const QString said = act(this, table, sheetHeader());
      if (!said.isEmpty())
        setFileNotice(said);
    });
    // Two a row: each keeps its whole caption in the group's width.
    row->addWidget(button, column / 2, column % 2);
    ++column;
  }
  return row;
}

exchange::SheetHeader FieldToolsPanel::sheetHeader() const {
  return exchange::sheetHeaderOf(form_, route_.get(), model_.precision(),
                                 exchange::nowStamp().date);
}

void FieldToolsPanel::setFileNotice(const QString& text) {
  fileNotice_ = text;
  showAnswers(model_.answers());
}

QTableView* FieldToolsPanel::buildTableView() {
  view_ = new QTableView(this);
  view_->setObjectName(QStringLiteral("stakeTable"));
  view_->setModel(tableModel_);
  view_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  view_->verticalHeader()->hide();
  view_->horizontalHeader()->setDefaultSectionSize(fieldWidth(this));
  view_->setColumnWidth(0, fontMetrics().horizontalAdvance(QStringLiteral("K00+000.000")) + 12);
  view_->setColumnWidth(1, fontMetrics().horizontalAdvance(said(Say::FieldStakeBreakBehind)) + 12);
  return view_;
}

QLineEdit* FieldToolsPanel::input(Input which, const QString& name) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  connect(edit, &QLineEdit::textEdited, this, [this, which](const QString& text) {
    fileNotice_.clear();
    model_.setText(which, text.toStdString());
    pending_->start();
  });
  return edit;
}

// A result: selected and copied with the mouse, passed over by Tab and Enter.
QLineEdit* FieldToolsPanel::output(const QString& name) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  edit->setFocusPolicy(Qt::ClickFocus);
  return edit;
}

void FieldToolsPanel::formChanged() {
  fileNotice_.clear();
  pending_->start();
}

bool FieldToolsPanel::fill(const QString& name, const QString& text) {
  auto* edit = findChild<QLineEdit*>(name);
  if (!edit || edit->isReadOnly())
    return false;
  edit->setText(text);
  emit edit->textEdited(text);
  return true;
}

QString FieldToolsPanel::tableText() const {
  std::ostringstream text;
  writeStakeTable(text, model_.answers().table, model_.precision());
  return qs(text.str());
}

void FieldToolsPanel::recompute() {
  pending_->stop();
  const unsigned long shownTable = model_.tableVersion();
  const FieldAnswers& answers = model_.update(form_);
  showAnswers(answers);
  if (model_.tableVersion() != shownTable)
    tableModel_->setTable(&answers.table, model_.precision());
  if (listener_)
    listener_();
}

void FieldToolsPanel::showAnswers(const FieldAnswers& a) {
  std::string notices;
  for (const Notice& n : routeBoxes_ ? routeBoxes_->notices(form_, route_.get()) : noticesOf(form_))
    notices += (notices.empty() ? "" : chinese(Say::Then)) + noticeText(n);
  // What became of a file comes first: it is what the user just asked.
  if (!fileNotice_.isEmpty())
    notices = fileNotice_.toStdString() + (notices.empty() ? "" : chinese(Say::Then)) + notices;
  notice_->setNotice(qs(notices));
  stakeSide_->setText(qs(a.stake.side));
  showText(stakeX_, a.stake.x);
  showText(stakeY_, a.stake.y);
  showText(stakeAzimuth_, a.stake.azimuth);
  showText(stakeDistance_, a.stake.distance);
  showText(foundK_, a.locate.k);
  showText(foundChainage_, a.locate.chainage);
  showText(foundOffset_, a.locate.offset);
  foundSide_->setText(qs(a.locate.side));
  foundNote_->setText(qs(a.locate.note));
  tableNote_->setText(qs(a.table.note));
  source_->setText(qs(a.source));
  source_->setToolTip(source_->text());
  showText(stakeDesign_, !a.stake.design.empty()    ? a.stake.design
                         : !a.stake.problem.empty() ? a.stake.problem
                                                    : a.stake.noDesign);
  stakeCutFill_->setText(qs(a.stake.cutFill));
  const PointLevelAnswer& level = a.pointLevel;
  if (!level.design.empty())
    pointLevel_->setText(
        said(Say::WindowPointLevel, {qs(level.design), qs(level.elevation), qs(level.cutFill)}));
  else
    pointLevel_->setText(
        level.noDesign.empty() ? QString() : said(Say::WindowPointNoLevel, {qs(level.noDesign)}));
}

void FieldToolsPanel::setRoute(std::shared_ptr<const RouteModel> route) {
  route_ = route;
  model_.setRoute(std::move(route));
  pending_->start();
}

} // namespace quenlor
