#pragma once

// A value or the message of what went wrong: how file problems travel as
// values instead of exceptions.

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace bladeway {

struct Failure {
    std::string message;  // one line, names the file and the reason
};

template <typename T>
class [[nodiscard]] Expected {
  public:
    Expected(T value) : state_(std::move(value)) {}  // NOLINT(google-explicit-constructor)
    Expected(Failure failure)
        : state_(std::move(failure)) {}  // NOLINT(google-explicit-constructor)

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }

    T& value() {
        assert(ok());
        return std::get<T>(state_);
    }
    const T& value() const {
        assert(ok());
        return std::get<T>(state_);
    }
    const std::string& error() const {
        assert(!ok());
        return std::get<Failure>(state_).message;
    }

  private:
    std::variant<T, Failure> state_;
};

// Success, or the message of a failure.
class [[nodiscard]] Outcome {
  public:
    Outcome() = default;
    Outcome(Failure failure) : error_(std::move(failure.message)), failed_(true) {}  // NOLINT

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return error_; }

  private:
    std::string error_;
    bool failed_ = false;
};

}  // namespace bladeway
