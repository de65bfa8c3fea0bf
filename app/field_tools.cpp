// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/field_tools.h"

#include "form/form.h"
#include "numeric/number_text.h"
#include "session/route_of_boxes.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <cmath>

namespace quenlor {

// The rows of a stake table, formatted only when a cell is shown.
class StakeTableModel : public QAbstractTableModel {
public:
  using QAbstractTableModel::QAbstractTableModel;

  void setTable(StakeTable table) {
    beginResetModel();
    table_ = std::move(table);
    endResetModel();
  }
  const StakeTable& table() const { return table_; }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : int(table_.rows.size());
  }
  int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 11; }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    static const char* const names[] = {"桩号",       "主点",       "X",       "Y",
                                        "切线方位角", "左桩X",      "左桩Y",   "右桩X",
                                        "右桩Y",      "放线方位角", "放线距离"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
      return QString::fromUtf8(names[section]);
    return {};
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole)
      return {};
    const StakeRow& row = table_.rows[std::size_t(index.row())];
    const auto number = [](bool present, double v) {
      return present ? QString::fromStdString(formatNumber(v)) : QString();
    };
    const auto& c = row.centre;
    switch (index.column()) {
    case 0: return QString::fromStdString(kNotation(row.chainage));
    case 1: return QString::fromStdString(row.mainPoint);
    case 2: return number(bool(c), c ? c->x : 0);
    case 3: return number(bool(c), c ? c->y : 0);
    case 4: return number(bool(c), c ? azimuthDms(c->azimuth) : 0);
    case 5: return number(bool(row.left), row.left ? row.left->x : 0);
    case 6: return number(bool(row.left), row.left ? row.left->y : 0);
    case 7: return number(bool(row.right), row.right ? row.right->x : 0);
    case 8: return number(bool(row.right), row.right ? row.right->y : 0);
    case 9: return number(bool(row.setOut), row.setOut ? row.setOut->azimuthDms : 0);
    default: return number(bool(row.setOut), row.setOut ? row.setOut->distance : 0);
    }
  }

private:
  StakeTable table_;
};

namespace {

double valueOf(const QLineEdit* edit) { return parseNumber(edit->text().toStdString()); }

QString numberText(double v) { return QString::fromStdString(formatNumber(v)); }

// 左 for a stake left of the direction of increasing chainage, 右 right.
QString sideOf(double offset) {
  return offset > 0 ? QStringLiteral("右") : offset < 0 ? QStringLiteral("左") : QString();
}

QGroupBox* group(const QString& title, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  box->setLayout(new QGridLayout);
  return box;
}

void addRow(QGroupBox* box, int row, const QString& caption, QWidget* field,
            QWidget* extra = nullptr) {
  auto* grid = static_cast<QGridLayout*>(box->layout());
  grid->addWidget(new QLabel(caption, box), row, 0);
  grid->addWidget(field, row, 1);
  if (extra)
    grid->addWidget(extra, row, 2);
}

} // namespace

FieldToolsPanel::FieldToolsPanel(const Form& form, QWidget* parent)
    : QWidget(parent), form_(form), pending_(new QTimer(this)), model_(new StakeTableModel(this)) {
  setObjectName(QStringLiteral("fieldTools"));
  pending_->setSingleShot(true);
  pending_->setInterval(0);
  connect(pending_, &QTimer::timeout, this, [this] { recompute(); });

  auto* stake = group(QStringLiteral("边桩"), this);
  addRow(stake, 0, QStringLiteral("桩号"), stakeChainage_ = input(QStringLiteral("stakeChainage")));
  addRow(stake, 1, QStringLiteral("偏距"), stakeOffset_ = input(QStringLiteral("stakeOffset")),
         stakeSide_ = new QLabel(stake));
  addRow(stake, 2, QStringLiteral("X"), stakeX_ = output(QStringLiteral("stakeX")));
  addRow(stake, 3, QStringLiteral("Y"), stakeY_ = output(QStringLiteral("stakeY")));
  addRow(stake, 4, QStringLiteral("放线方位角"),
         stakeAzimuth_ = output(QStringLiteral("stakeAzimuth")));
  addRow(stake, 5, QStringLiteral("放线距离"),
         stakeDistance_ = output(QStringLiteral("stakeDistance")));

  auto* point = group(QStringLiteral("反算桩号"), this);
  addRow(point, 0, QStringLiteral("X"), pointX_ = input(QStringLiteral("pointX")));
  addRow(point, 1, QStringLiteral("Y"), pointY_ = input(QStringLiteral("pointY")));
  addRow(point, 2, QStringLiteral("桩号"), foundK_ = output(QStringLiteral("foundK")));
  addRow(point, 3, QString(), foundChainage_ = output(QStringLiteral("foundChainage")));
  addRow(point, 4, QStringLiteral("偏距"), foundOffset_ = output(QStringLiteral("foundOffset")),
         foundSide_ = new QLabel(point));

  auto* table = new QGroupBox(QStringLiteral("放样表"), this);
  auto* tableGrid = new QGridLayout(table);
  const struct {
    const char* caption;
    QLineEdit** edit;
    const char* name;
  } ranges[] = {{"起点", &tableStart_, "tableStart"},
                {"终点", &tableEnd_, "tableEnd"},
                {"间距", &tableInterval_, "tableInterval"},
                {"边距", &tableOffset_, "tableOffset"}};
  int column = 0;
  for (const auto& r : ranges) {
    tableGrid->addWidget(new QLabel(QString::fromUtf8(r.caption), table), 0, column++);
    *r.edit = input(QString::fromUtf8(r.name));
    (*r.edit)->setMaximumWidth(80);
    tableGrid->addWidget(*r.edit, 0, column++);
  }
  auto* copy = new QPushButton(QStringLiteral("复制"), table);
  copy->setObjectName(QStringLiteral("copyTable"));
  connect(copy, &QPushButton::clicked, this,
          [this] { QApplication::clipboard()->setText(tableText()); });
  tableGrid->addWidget(copy, 0, column++);
  tableNote_ = new QLabel(table);
  tableGrid->addWidget(tableNote_, 0, column++);
  tableGrid->setColumnStretch(column, 1);
  view_ = new QTableView(table);
  view_->setObjectName(QStringLiteral("stakeTable"));
  view_->setModel(model_);
  view_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  view_->verticalHeader()->hide();
  // Wide enough for a coordinate in full: seven digits, a point, eight more.
  view_->horizontalHeader()->setDefaultSectionSize(
      fontMetrics().horizontalAdvance(QStringLiteral("8888888.88888888")) + 12);
  view_->setColumnWidth(0, fontMetrics().horizontalAdvance(QStringLiteral("K00+000.000")) + 12);
  view_->setColumnWidth(1, fontMetrics().horizontalAdvance(QStringLiteral("主点")) + 12);
  tableGrid->addWidget(view_, 1, 0, 1, column + 1);

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(stake, 0, 0);
  layout->addWidget(point, 0, 1);
  layout->addWidget(table, 0, 2, 2, 1);
  layout->setColumnStretch(2, 1);
  layout->setRowStretch(1, 1);
}

QLineEdit* FieldToolsPanel::input(const QString& name) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  connect(edit, &QLineEdit::textEdited, this, [this] { pending_->start(); });
  return edit;
}

QLineEdit* FieldToolsPanel::output(const QString& name) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  return edit;
}

void FieldToolsPanel::formChanged() { pending_->start(); }

QString FieldToolsPanel::tableText() const {
  return QString::fromStdString(stakeTableText(model_->table()));
}

void FieldToolsPanel::recompute() {
  pending_->stop();
  const auto route = routeOfBoxes(form_);
  const RouteInputs* r = route ? &*route : nullptr;
  updateStake(r);
  updateLocation(r);
  updateTable(r);
}

void FieldToolsPanel::updateStake(const RouteInputs* route) {
  const double offset = valueOf(stakeOffset_);
  stakeSide_->setText(sideOf(offset));
  const bool asked = !stakeChainage_->text().isEmpty();
  const auto stake =
      route && asked ? sideStake(*route, valueOf(stakeChainage_), offset) : std::nullopt;
  if (!stake) {
    for (QLineEdit* e : {stakeX_, stakeY_, stakeAzimuth_, stakeDistance_})
      e->clear();
    return;
  }
  const SetOut s = setOutFromStationBoxes(form_, stake->x, stake->y);
  stakeX_->setText(numberText(stake->x));
  stakeY_->setText(numberText(stake->y));
  stakeAzimuth_->setText(std::isfinite(s.azimuthDms) ? numberText(s.azimuthDms) : QString());
  stakeDistance_->setText(std::isfinite(s.distance) ? numberText(s.distance) : QString());
  for (QLineEdit* e : {stakeX_, stakeY_, stakeAzimuth_, stakeDistance_})
    e->setCursorPosition(0);
}

void FieldToolsPanel::updateLocation(const RouteInputs* route) {
  const bool asked = !pointX_->text().isEmpty() && !pointY_->text().isEmpty();
  const auto found =
      route && asked ? locate(*route, valueOf(pointX_), valueOf(pointY_)) : std::nullopt;
  if (!found) {
    for (QLineEdit* e : {foundK_, foundChainage_, foundOffset_})
      e->clear();
    foundSide_->clear();
    return;
  }
  foundK_->setText(QString::fromStdString(kNotation(found->chainage)));
  foundChainage_->setText(numberText(found->chainage));
  foundOffset_->setText(numberText(found->offset));
  foundSide_->setText(sideOf(found->offset));
  for (QLineEdit* e : {foundK_, foundChainage_, foundOffset_})
    e->setCursorPosition(0);
}

void FieldToolsPanel::updateTable(const RouteInputs* route) {
  const StakeTableRequest request =
      stakeTableRequest(form_, valueOf(tableStart_), valueOf(tableEnd_), valueOf(tableInterval_),
                        valueOf(tableOffset_));
  const bool asked = !tableStart_->text().isEmpty() && !tableEnd_->text().isEmpty();
  const std::optional<RouteInputs> madeFrom = route && asked ? std::optional(*route) : std::nullopt;
  if (tableMadeFrom_ && tableMadeFrom_->first == madeFrom && tableMadeFrom_->second == request)
    return;
  tableMadeFrom_ = std::pair(madeFrom, request);
  StakeTable table = madeFrom ? stakeTable(*madeFrom, request) : StakeTable{};
  tableNote_->setText(table.truncated
                          ? QStringLiteral("只列前 %1 行").arg(qulonglong(kMaxStakeRows))
                          : QStringLiteral("%1 行").arg(qulonglong(table.rows.size())));
  model_->setTable(std::move(table));
}

} // namespace quenlor
