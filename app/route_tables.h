// SPDX-License-Identifier: GPL-3.0-or-later
// A table of the route panel over the route document: the columns of one of
// the route's tables (session/route_columns.h), then 检查, what the route's
// checks say about the row. Typed cells are edited in place (each accepted
// cell is one edit of the route); computed ones are shaded. A cell that
// cannot take what was typed keeps its value and the notice says why. A row
// the checks name is tinted.
#pragma once

#include "session/route_columns.h"

#include <QAbstractTableModel>

#include <functional>
#include <string_view>
#include <vector>

namespace quenlor {

class RouteDocument;

class RouteTableModel : public QAbstractTableModel {
public:
  // What the checks say about each row of a table, one text a row.
  using Problems = std::vector<QString> (*)(const RouteDocument& document);

  RouteTableModel(RouteDocument& document, const RouteTable& table, Problems problems,
                  QObject* parent);

  const RouteTable& table() const { return table_; }
  // The column of a heading; -1 when the table has none.
  int column(std::string_view heading) const;
  // Where a refused cell says why.
  void setNotice(std::function<void(const QString&)> notice) { notice_ = std::move(notice); }
  // The document changed: the rows and cells are shown anew.
  void refresh();
  // What the checks say about a row; empty when nothing.
  QString problem(int row) const;
  // How many rows the checks name, and the first of them (-1 for none);
  // counted when the document changes.
  int problemRows() const { return problemRows_; }
  int firstProblemRow() const { return firstProblemRow_; }
  // The last column: what the checks say about the row.
  int checkColumn() const { return int(table_.columns.size()); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
  bool editable(int row, int column) const;
  QString text(int row, int column) const;
  QString editText(int row, int column) const;

  RouteDocument& document_;
  const RouteTable& table_;
  Problems problemsOf_;
  int shownRows_ = 0;
  std::vector<QString> problems_;
  int problemRows_ = 0, firstProblemRow_ = -1;
  std::function<void(const QString&)> notice_;
};

// The problems of the rows of each table.
std::vector<QString> jdProblems(const RouteDocument& document);
std::vector<QString> elementProblems(const RouteDocument& document);
std::vector<QString> breakProblems(const RouteDocument& document);
std::vector<QString> gradeProblems(const RouteDocument& document);
std::vector<QString> templateProblems(const RouteDocument& document);
std::vector<QString> curveSectionProblems(const RouteDocument& document);
std::vector<QString> wideningProblems(const RouteDocument& document);
std::vector<QString> stationProblems(const RouteDocument& document);

} // namespace quenlor
