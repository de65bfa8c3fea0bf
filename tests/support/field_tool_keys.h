// SPDX-License-Identifier: GPL-3.0-or-later
// The window's field tools as a user types into them: a box found by its
// object name, its text replaced key by key, the answers let settle.
#pragma once

#include "app/field_tools.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QString>
#include <QtTest>

namespace quenlor::test {

inline QLineEdit* fieldTool(const FieldToolsPanel* tools, const char* name) {
  return tools->findChild<QLineEdit*>(name);
}

// Replaces the tool's text as typed keys would.
inline void typeIntoTool(const FieldToolsPanel* tools, const char* name, const QString& keys) {
  QLineEdit* edit = fieldTool(tools, name);
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, keys);
  QCoreApplication::processEvents();
}

} // namespace quenlor::test
