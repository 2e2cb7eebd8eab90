// Errors as values: every failure the core meets is handed back to the caller, who shows it.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace zentil {

// One line of Spanish text that names the file and the reason, ready to show to the user.
struct Error {
  std::string message;
  // The report cannot be replaced because another program holds it open: the message names the
  // report and says so, and whoever shows it adds how to try again.
  bool report_in_use = false;
};

// Success, or the Error that stopped the work.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Error error) : error_(std::move(error)) {}  // NOLINT: implicit by design

  bool ok() const { return !error_.has_value(); }
  const Error& error() const { return *error_; }

 private:
  std::optional<Error> error_;
};

// A value of T, or the Error that prevented it.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}      // NOLINT: implicit by design
  Result(Error error) : v_(std::move(error)) {}  // NOLINT: implicit by design

  bool ok() const { return v_.index() == 0; }
  T& value() { return std::get<0>(v_); }
  const T& value() const { return std::get<0>(v_); }
  T& operator*() { return value(); }
  T* operator->() { return &value(); }
  const Error& error() const { return std::get<1>(v_); }

 private:
  std::variant<T, Error> v_;
};

}  // namespace zentil
