// SPDX-License-Identifier: GPL-3.0-or-later
// A value or the one message that says why there is none: what a route query
// or a file read gives back. The message is a whole sentence for the user.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace quenlor::route {

struct Failure {
  std::string message;
};

// The value of an Expected that has nothing to give but success.
struct Done {};

template <class T> class Expected {
public:
  Expected(T value) : value_(std::move(value)) {}
  Expected(Failure failure) : message_(std::move(failure.message)) {}

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }

  // Only when ok().
  const T& value() const { return *value_; }
  T& value() { return *value_; }
  const T& operator*() const { return *value_; }
  const T* operator->() const { return &*value_; }

  // Only when !ok().
  const std::string& error() const { return message_; }

private:
  std::optional<T> value_;
  std::string message_;
};

} // namespace quenlor::route
