// SPDX-License-Identifier: GPL-3.0-or-later
// A value or the failure that says why there is none: what a route query, a
// file read or a save gives back, from the engine up to the window. The
// message is a whole sentence in English (the driver prints it); the notice,
// where the failure has one, says the same in Chinese for the window.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace quenlor {

struct Failure {
  Failure(std::string message, std::string notice = {})
      : message(std::move(message)), notice(std::move(notice)) {}

  std::string message;
  std::string notice; // empty: the window shows the message
};

// The value of an Expected that has nothing to give but success.
struct Done {};

template <class T> class Expected {
public:
  Expected(T value) : value_(std::move(value)) {}
  Expected(Failure failure) : failure_(std::move(failure)) {}

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }

  // Only when ok().
  const T& value() const { return *value_; }
  T& value() { return *value_; }
  const T& operator*() const { return *value_; }
  T& operator*() { return *value_; }
  const T* operator->() const { return &*value_; }
  T* operator->() { return &*value_; }

  // Only when !ok().
  const std::string& error() const { return failure_.message; }
  const Failure& failure() const { return failure_; }
  // The failure for the window: its notice, or the message where it has none.
  const std::string& notice() const {
    return failure_.notice.empty() ? failure_.message : failure_.notice;
  }

private:
  std::optional<T> value_;
  Failure failure_{std::string()};
};

} // namespace quenlor
