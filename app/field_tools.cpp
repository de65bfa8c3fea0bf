// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/field_tools.h"

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

namespace quenlor {

// The rows of a stake table, each cell's text made only when it is shown.
class StakeTableModel : public QAbstractTableModel {
public:
  using QAbstractTableModel::QAbstractTableModel;

  void setTable(const StakeTable* table) {
    beginResetModel();
    table_ = table;
    endResetModel();
  }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() || !table_ ? 0 : int(table_->rows.size());
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : int(stakeColumns().size());
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
      return {};
    const std::string_view heading = stakeColumns()[std::size_t(section)].heading;
    return QString::fromUtf8(heading.data(), qsizetype(heading.size()));
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !table_)
      return {};
    const StakeColumn& column = stakeColumns()[std::size_t(index.column())];
    return QString::fromStdString(column.cell(table_->rows[std::size_t(index.row())]));
  }

private:
  const StakeTable* table_ = nullptr;
};

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

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

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(buildStakeGroup(), 0, 0);
  layout->addWidget(buildLocateGroup(), 0, 1);
  layout->addWidget(buildTableGroup(), 0, 2, 2, 1);
  layout->setColumnStretch(2, 1);
  layout->setRowStretch(1, 1);
}

QGroupBox* FieldToolsPanel::buildStakeGroup() {
  auto* stake = group(QStringLiteral("边桩"), this);
  addRow(stake, 0, QStringLiteral("桩号"), input(Input::StakeChainage, "stakeChainage"));
  addRow(stake, 1, QStringLiteral("偏距"), input(Input::StakeOffset, "stakeOffset"),
         stakeSide_ = new QLabel(stake));
  addRow(stake, 2, QStringLiteral("X"), stakeX_ = output("stakeX"));
  addRow(stake, 3, QStringLiteral("Y"), stakeY_ = output("stakeY"));
  addRow(stake, 4, QStringLiteral("放线方位角"), stakeAzimuth_ = output("stakeAzimuth"));
  addRow(stake, 5, QStringLiteral("放线距离"), stakeDistance_ = output("stakeDistance"));
  return stake;
}

QGroupBox* FieldToolsPanel::buildLocateGroup() {
  auto* point = group(QStringLiteral("反算桩号"), this);
  addRow(point, 0, QStringLiteral("X"), input(Input::PointX, "pointX"));
  addRow(point, 1, QStringLiteral("Y"), input(Input::PointY, "pointY"));
  addRow(point, 2, QStringLiteral("桩号"), foundK_ = output("foundK"));
  addRow(point, 3, QString(), foundChainage_ = output("foundChainage"));
  addRow(point, 4, QStringLiteral("偏距"), foundOffset_ = output("foundOffset"),
         foundSide_ = new QLabel(point));
  return point;
}

QGroupBox* FieldToolsPanel::buildTableGroup() {
  auto* table = new QGroupBox(QStringLiteral("放样表"), this);
  auto* grid = new QGridLayout(table);
  const struct {
    const char* caption;
    Input input;
    const char* name;
  } ranges[] = {{"起点", Input::TableStart, "tableStart"},
                {"终点", Input::TableEnd, "tableEnd"},
                {"间距", Input::TableInterval, "tableInterval"},
                {"边距", Input::TableOffset, "tableOffset"}};
  int column = 0;
  for (const auto& r : ranges) {
    grid->addWidget(new QLabel(QString::fromUtf8(r.caption), table), 0, column++);
    QLineEdit* edit = input(r.input, QString::fromUtf8(r.name));
    edit->setMaximumWidth(80);
    grid->addWidget(edit, 0, column++);
  }
  auto* copy = new QPushButton(QStringLiteral("复制"), table);
  copy->setObjectName(QStringLiteral("copyTable"));
  connect(copy, &QPushButton::clicked, this,
          [this] { QApplication::clipboard()->setText(tableText()); });
  grid->addWidget(copy, 0, column++);
  tableNote_ = new QLabel(table);
  grid->addWidget(tableNote_, 0, column++);
  grid->setColumnStretch(column, 1);

  view_ = new QTableView(table);
  view_->setObjectName(QStringLiteral("stakeTable"));
  view_->setModel(tableModel_);
  view_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  view_->verticalHeader()->hide();
  // Wide enough for a coordinate in full: seven digits, a point, eight more.
  view_->horizontalHeader()->setDefaultSectionSize(
      fontMetrics().horizontalAdvance(QStringLiteral("8888888.88888888")) + 12);
  view_->setColumnWidth(0, fontMetrics().horizontalAdvance(QStringLiteral("K00+000.000")) + 12);
  view_->setColumnWidth(1, fontMetrics().horizontalAdvance(QStringLiteral("主点")) + 12);
  grid->addWidget(view_, 1, 0, 1, column + 1);
  return table;
}

QLineEdit* FieldToolsPanel::input(Input which, const QString& name) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  connect(edit, &QLineEdit::textEdited, this, [this, which](const QString& text) {
    model_.setText(which, text.toStdString());
    pending_->start();
  });
  return edit;
}

QLineEdit* FieldToolsPanel::output(const QString& name) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  return edit;
}

void FieldToolsPanel::formChanged() { pending_->start(); }

bool FieldToolsPanel::fill(const QString& name, const QString& text) {
  auto* edit = findChild<QLineEdit*>(name);
  if (!edit || edit->isReadOnly())
    return false;
  edit->setText(text);
  emit edit->textEdited(text);
  return true;
}

QString FieldToolsPanel::tableText() const {
  return qs(stakeTableText(model_.answers().table.table));
}

void FieldToolsPanel::recompute() {
  pending_->stop();
  const unsigned long shownTable = model_.tableVersion();
  const FieldAnswers& answers = model_.update(form_);
  showAnswers(answers);
  if (model_.tableVersion() != shownTable)
    tableModel_->setTable(&answers.table.table);
}

void FieldToolsPanel::showAnswers(const FieldAnswers& a) {
  stakeSide_->setText(qs(a.stake.side));
  showText(stakeX_, a.stake.x);
  showText(stakeY_, a.stake.y);
  showText(stakeAzimuth_, a.stake.azimuth);
  showText(stakeDistance_, a.stake.distance);
  showText(foundK_, a.locate.k);
  showText(foundChainage_, a.locate.chainage);
  showText(foundOffset_, a.locate.offset);
  foundSide_->setText(qs(a.locate.side));
  tableNote_->setText(qs(a.table.note));
}

} // namespace quenlor
