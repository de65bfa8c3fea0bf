// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/readout_view.h"

#include "app/said.h"
#include "session/readout.h"

#include <QGridLayout>
#include <QLabel>

namespace quenlor {
namespace {

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

ReadoutView::ReadoutView(const Form& form, QWidget* parent) : QWidget(parent), form_(form) {
  setObjectName(QStringLiteral("readout"));
  setToolTip(said(Say::TipReadout));
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(1);
  const auto items = formReadout(form_);
  for (std::size_t i = 0; i < items.size(); ++i) {
    const int row = int(i) % kReadoutRows, column = 2 * (int(i) / kReadoutRows);
    auto* caption = new QLabel(fromUtf8(items[i].caption), this);
    caption->setForegroundRole(QPalette::PlaceholderText);
    auto* value = new QLabel(this);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setFocusPolicy(Qt::NoFocus); // Tab goes through the form's boxes only
    grid->addWidget(caption, row, column, Qt::AlignRight);
    grid->addWidget(value, row, column + 1);
    values_.push_back(value);
  }
  for (int column = 1; column < 6; column += 2)
    grid->setColumnStretch(column, 1);
  formChanged();
}

void ReadoutView::formChanged() {
  const auto items = formReadout(form_);
  for (std::size_t i = 0; i < items.size(); ++i)
    values_[i]->setText(QString::fromStdString(items[i].text));
}

QStringList ReadoutView::texts() const {
  QStringList texts;
  const auto items = formReadout(form_);
  for (std::size_t i = 0; i < items.size(); ++i)
    texts << fromUtf8(items[i].caption) + ' ' + values_[i]->text();
  return texts;
}

} // namespace quenlor
