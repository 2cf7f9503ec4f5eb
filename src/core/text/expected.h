#pragma once

// A value or the message of what went wrong: how file problems travel as
// values instead of exceptions.

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace bladeway {

// What kind of problem a failure is, for a caller that acts on it rather
// than only reporting it (a file that is not there reads as missing, a folder
// is not a file). The message says the same in words.
enum class FailureKind {
    kOther,     // not a refusal of the file system, or one of no kind below
    kNotFound,  // nothing of that name: no file, no folder on its way, a name no file can have
    kIsFolder,  // the path names a folder where a file was meant
    kTooLarge,  // larger than the limit the reader set
    kDenied,    // the system refused access (permissions, a lock, a read-only file)
    kIo,        // the disk could not give or take the bytes (an I/O error, a full disk)
};

struct Failure {
    std::string message;  // one line, names the file and the reason
    FailureKind kind = FailureKind::kOther;
};

// True for a failure that says no file is at the path: nothing is there, or
// a folder is. A reader may take the file as missing rather than broken.
inline bool IsNoFile(FailureKind kind) {
    return kind == FailureKind::kNotFound || kind == FailureKind::kIsFolder;
}

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
    const std::string& error() const { return failure().message; }
    FailureKind errorKind() const { return failure().kind; }
    const Failure& failure() const {
        assert(!ok());
        return std::get<Failure>(state_);
    }

  private:
    std::variant<T, Failure> state_;
};

// Success, or the message (and kind) of a failure.
class [[nodiscard]] Outcome {
  public:
    Outcome() = default;
    Outcome(Failure failure) : failure_(std::move(failure)), failed_(true) {}  // NOLINT

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return failure_.message; }
    FailureKind errorKind() const { return failure_.kind; }
    const Failure& failure() const { return failure_; }

  private:
    Failure failure_;
    bool failed_ = false;
};

}  // namespace bladeway
