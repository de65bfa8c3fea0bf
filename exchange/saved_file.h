// SPDX-License-Identifier: GPL-3.0-or-later
// Files replaced at once, through Qt's QSaveFile: the bytes go to a temporary
// file beside the target, which replaces the target only when every byte is
// written, so the target is the old file or the new one, never half of
// either. On any failure the target is left as it was and the message names
// it.
#pragma once

#include "numeric/expected.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace quenlor::exchange {


Expected<Done> saveBytes(const std::string& path, std::string_view bytes);

// The text a writer puts on a stream, saved; false from the writer saves
// nothing.
Expected<Done> saveStream(const std::string& path, const std::function<bool(std::ostream&)>& write);

// For a library that opens its file by path (libxlsxwriter, dxflib): it
// writes into a private temporary folder, giving why it failed if it did;
// what it wrote is then saved to the target.
Expected<Done>
saveThroughPath(const std::string& path,
                const std::function<std::optional<std::string>(const std::string& scratch)>& write);

} // namespace quenlor::exchange
