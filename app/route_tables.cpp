// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/route_tables.h"

#include "app/captions.h"
#include "app/route_cells.h"
#include "app/route_document.h"
#include "app/said.h"
#include "session/element_columns.h"
#include "session/section_words.h"

#include <QBrush>
#include <QColor>

#include <algorithm>

namespace quenlor {
namespace {

const QColor kProblemRow(255, 214, 200);
const QColor kComputed(242, 242, 242);

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// Adds a line to what is said about a row.
void addLine(QString& said, const QString& line) {
  said += (said.isEmpty() ? QString() : QStringLiteral("\n")) + line;
}

// The route's checks, each with the row its table gives it.
template <class RowOf>
std::vector<QString> routeProblems(const RouteDocument& document, std::size_t rows, RowOf rowOf) {
  std::vector<QString> problems(rows);
  const route::Route& route = document.route();
  for (const route::Check& c : route.checks())
    if (const auto row = rowOf(c, route.definition()); row && *row < rows)
      addLine(problems[*row], checkText(c, route.definition()));
  return problems;
}

// The cross section's checks that concern a table, each on its row.
std::vector<QString> sectionProblems(const RouteDocument& document, const RouteTable& table,
                                     SectionTable which) {
  const RouteModel& model = *document.model();
  std::vector<QString> problems(table.rows(model));
  for (const section::Check& c : model.sections().checks())
    if (const SectionRow at = sectionRowOf(c, model.definition());
        at.table == which && at.row < problems.size())
      addLine(problems[at.row],
              QString::fromStdString(sectionCheckText(c, model.route(), Words::Chinese)));
  return problems;
}

} // namespace

RouteTableModel::RouteTableModel(RouteDocument& document, const RouteTable& table,
                                 Problems problems, QObject* parent)
    : QAbstractTableModel(parent), document_(document), table_(table), problemsOf_(problems) {}

int RouteTableModel::column(std::string_view heading) const {
  const auto column = columnOf(table_, heading);
  return column ? int(*column) : -1;
}

void RouteTableModel::refresh() {
  problems_ = problemsOf_(document_);
  problemRows_ = 0;
  firstProblemRow_ = -1;
  for (std::size_t row = 0; row < problems_.size(); ++row)
    if (!problems_[row].isEmpty()) {
      ++problemRows_;
      if (firstProblemRow_ < 0)
        firstProblemRow_ = int(row);
    }
  const int rows = int(table_.rows(*document_.model()));
  if (rows != shownRows_) {
    beginResetModel();
    shownRows_ = rows;
    endResetModel();
    return;
  }
  if (shownRows_ > 0)
    emit dataChanged(index(0, 0), index(shownRows_ - 1, checkColumn()));
}

QString RouteTableModel::problem(int row) const {
  return std::size_t(row) < problems_.size() ? problems_[std::size_t(row)] : QString();
}

int RouteTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownRows_;
}

int RouteTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : checkColumn() + 1;
}

bool RouteTableModel::editable(int row, int column) const {
  return column < checkColumn() &&
         isEditable(table_.columns[std::size_t(column)], *document_.model(), std::size_t(row));
}

QString RouteTableModel::text(int row, int column) const {
  return qs(table_.columns[std::size_t(column)].text(*document_.model(), std::size_t(row)));
}

QString RouteTableModel::editText(int row, int column) const {
  return qs(editTextOf(table_.columns[std::size_t(column)], *document_.model(), std::size_t(row)));
}

QVariant RouteTableModel::data(const QModelIndex& index, int role) const {
  const int row = index.row(), column = index.column();
  const bool check = column == checkColumn();
  switch (role) {
  case Qt::DisplayRole:
    if (check)
      return problem(row).replace(QLatin1Char('\n'), said(Say::Then));
    return text(row, column);
  case Qt::EditRole: return check ? QVariant() : QVariant(editText(row, column));
  case Qt::ToolTipRole: return problem(row).isEmpty() ? QVariant() : problem(row);
  case Qt::TextAlignmentRole:
    return column == 0 || check ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
  case Qt::BackgroundRole:
    if (!problem(row).isEmpty())
      return QBrush(kProblemRow);
    return editable(row, column) ? QVariant() : QBrush(kComputed);
  default: return {};
  }
}

QVariant RouteTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section > checkColumn())
    return {};
  const bool check = section == checkColumn();
  if (role == Qt::DisplayRole)
    return check ? caption(captions::kCheckColumn)
                 : qs(table_.columns[std::size_t(section)].heading);
  if (role == Qt::ToolTipRole && !check && !table_.columns[std::size_t(section)].tip.empty())
    return qs(table_.columns[std::size_t(section)].tip);
  return {};
}

Qt::ItemFlags RouteTableModel::flags(const QModelIndex& index) const {
  const Qt::ItemFlags shown = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  return editable(index.row(), index.column()) ? shown | Qt::ItemIsEditable : shown;
}

bool RouteTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !editable(index.row(), index.column()))
    return false;
  const QString typed = value.toString();
  if (typed == editText(index.row(), index.column()))
    return true; // nothing changed: no edit
  const RouteColumn& column = table_.columns[std::size_t(index.column())];
  const Taken<RouteChange> change =
      column.apply(*document_.model(), std::size_t(index.row()), typed.toStdString());
  if (const auto* refused = std::get_if<CellRefusal>(&change)) {
    if (notice_)
      notice_(said(Say::WindowCellNotChanged, {qs(column.heading), refusalText(*refused)}));
    return false;
  }
  const QString row = text(index.row(), 0);
  document_.edit(
      std::get<RouteChange>(change),
      said(Say::WindowEditCell,
           {row.isEmpty() ? said(Say::WindowRowNumbered, {QString::number(index.row() + 1)}) : row,
            qs(column.heading)}));
  return true;
}

std::vector<QString> jdProblems(const RouteDocument& document) {
  const std::size_t rows = jdTable().rows(*document.model());
  if (document.isEmpty() || document.route().byElements())
    return std::vector<QString>(rows); // nothing typed, or not shown: nothing to say
  return routeProblems(document, rows, &jdRowOfCheck);
}

std::vector<QString> elementProblems(const RouteDocument& document) {
  const std::size_t rows = elementsTable().rows(*document.model());
  if (!document.route().byElements())
    return std::vector<QString>(rows);
  return routeProblems(document, rows, &elementRowOfCheck);
}

std::vector<QString> breakProblems(const RouteDocument& document) {
  return routeProblems(document, breakTable().rows(*document.model()), &breakRowOfCheck);
}

std::vector<QString> gradeProblems(const RouteDocument& document) {
  std::vector<QString> rows(gradeTable().rows(*document.model()));
  const std::vector<std::string> texts = document.model()->profileCheckTexts();
  const auto& checks = document.model()->profile().checks();
  for (std::size_t k = 0; k < checks.size() && k < texts.size(); ++k)
    if (checks[k].point < rows.size())
      addLine(rows[checks[k].point], QString::fromStdString(texts[k]));
  return rows;
}

// Stations have no checks.
std::vector<QString> stationProblems(const RouteDocument& document) {
  return std::vector<QString>(stationTable().rows(*document.model()));
}

std::vector<QString> templateProblems(const RouteDocument& document) {
  return sectionProblems(document, templateTable(), SectionTable::Template);
}

std::vector<QString> curveSectionProblems(const RouteDocument& document) {
  return sectionProblems(document, curveSectionTable(), SectionTable::Curves);
}

std::vector<QString> wideningProblems(const RouteDocument& document) {
  return sectionProblems(document, wideningTable(), SectionTable::Stations);
}

} // namespace quenlor
