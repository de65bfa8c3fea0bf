// SPDX-License-Identifier: GPL-3.0-or-later
// The route panel's tables over the route document: the JDs between BP and
// EP, the chain breaks, the grade points. The typed columns come first and
// are edited in place (each accepted cell is one edit of the route); the
// computed columns beside them are shaded. A cell that cannot take what was
// typed keeps its value and the notice says why. A row the route's checks
// name is tinted and says what is wrong in its last column, 检查.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace quenlor {

class RouteDocument;

class RouteTableModel : public QAbstractTableModel {
public:
  RouteTableModel(RouteDocument& document, QStringList headings, QObject* parent);

  // Where a refused cell says why.
  void setNotice(std::function<void(const QString&)> notice) { notice_ = std::move(notice); }
  // The document changed: the rows and cells are shown anew.
  void refresh();
  // What the checks say about a row; empty when nothing.
  QString problem(int row) const;
  int problemRows() const;
  // The last column: what the checks say about the row.
  int checkColumn() const { return int(headings_.size()); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

protected:
  virtual int rows() const = 0;
  virtual QString text(int row, int column) const = 0;
  // What the editor starts from: the value at full precision.
  virtual QString editText(int row, int column) const { return text(row, column); }
  virtual bool editable(int row, int column) const = 0;
  // Takes a typed text into the route; empty when taken, else why not.
  virtual QString apply(int row, int column, const QString& text) = 0;
  // The problems of each row, made once a change.
  virtual std::vector<QString> problems() const = 0;
  virtual QString headingTip(int) const { return {}; }

  RouteDocument& document_;

private:
  QStringList headings_;
  int shownRows_ = 0;
  std::vector<QString> problems_;
  std::function<void(const QString&)> notice_;
};

// BP, one row a JD, EP.
class JdTableModel : public RouteTableModel {
public:
  enum Column {
    Name,
    X,
    Y,
    Radius,
    Ls1,
    Ls2, // typed (BP: its chainage as well)
    Chainage,
    Deflection,
    T1,
    T2,
    Length,
    External,
    Zh,
    Hy,
    Qz,
    Yh,
    Hz,
  };
  JdTableModel(RouteDocument& document, QObject* parent);

  // The JD a row shows, none for BP and EP.
  std::optional<std::size_t> jdOfRow(int row) const;
  static int rowOfJd(std::size_t jd) { return int(jd) + 1; }

protected:
  int rows() const override;
  QString text(int row, int column) const override;
  QString editText(int row, int column) const override;
  bool editable(int row, int column) const override;
  QString apply(int row, int column, const QString& text) override;
  std::vector<QString> problems() const override;
  QString headingTip(int column) const override;

private:
  QString jdText(std::size_t jd, int column) const;
  QString computedText(std::size_t jd, int column) const;
  QString applyToJd(std::size_t jd, int column, const QString& text);
  QString applyToEnds(bool start, int column, const QString& text);
  int endRow() const { return rows() - 1; }
};

class BreakTableModel : public RouteTableModel {
public:
  enum Column { Name, Behind, Ahead, Kind };
  BreakTableModel(RouteDocument& document, QObject* parent);

protected:
  int rows() const override;
  QString text(int row, int column) const override;
  QString editText(int row, int column) const override;
  bool editable(int, int column) const override { return column <= Ahead; }
  QString apply(int row, int column, const QString& text) override;
  std::vector<QString> problems() const override;
};

class GradeTableModel : public RouteTableModel {
public:
  enum Column {
    Name,
    Chainage,
    Elevation,
    Radius, // typed
    Grade,
    GradeLength,
    Omega,
    Shape,
    Tangent,
    External,
    Length,
    Start,
    End,
  };
  GradeTableModel(RouteDocument& document, QObject* parent);

protected:
  int rows() const override;
  QString text(int row, int column) const override;
  QString editText(int row, int column) const override;
  bool editable(int, int column) const override { return column <= Radius; }
  QString apply(int row, int column, const QString& text) override;
  std::vector<QString> problems() const override;
  QString headingTip(int column) const override;

private:
  QString gradeText(int row, int column) const;
  QString curveText(int row, int column) const;
};

} // namespace quenlor
