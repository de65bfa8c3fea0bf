// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue's sentences as the window shows them: in Chinese, the blanks
// filled from the window's own strings.
//
//   said(Say::WindowSaved, {path}) -> "已保存 /home/a/route.csv"
#pragma once

#include "text/catalogue.h"

#include <QString>

#include <initializer_list>

namespace quenlor {

QString said(Say say, std::initializer_list<QString> blanks = {});

} // namespace quenlor
