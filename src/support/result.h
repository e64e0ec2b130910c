// Result<T>: a value, or an Error with a stable code and a message written
// for the person at the keyboard. The core never shows anything itself; it
// hands these back to the front end that can.
#pragma once

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace kestrane {

// Stable numbers. The file and conversion failures use the classic run-time
// error numbers that ROM hackers know from the original tool's "Error: N"
// boxes; the editor's own refusals sit above 1000.
enum class ErrorCode : int {
    InvalidArgument = 5,
    Overflow = 6,
    TypeMismatch = 13,
    FileNotFound = 53,
    DeviceIo = 57,
    DiskFull = 61,
    InputPastEnd = 62,
    PermissionDenied = 70,
    PathFileAccess = 75,
    PathNotFound = 76,

    UnsupportedRom = 1001,
    NoTrade = 1002,
    NoLayout = 1003,
    SlotOutOfRange = 1004,
    IdNotANumber = 1005,
    IdOutOfRange = 1006,
    SpeciesNotChosen = 1007,
    SpeciesOutOfRange = 1008,
    UnencodableName = 1009,
    NameTooLong = 1010,
    TradeChangedOnDisk = 1011,
    GameChangedOnDisk = 1012,
    FileTooShort = 1013,
    FileSizeChanged = 1014,
    VerifyFailed = 1015,
    WrongRecord = 1016,
    ConflictingName = 1017,
};

struct Error {
    ErrorCode code;
    std::string message;

    int number() const { return static_cast<int>(code); }
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Error error) : state_(std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& { assert(ok()); return std::get<0>(state_); }
    T& value() & { assert(ok()); return std::get<0>(state_); }
    T&& value() && { assert(ok()); return std::get<0>(std::move(state_)); }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    const Error& error() const { assert(!ok()); return std::get<1>(state_); }

private:
    std::variant<T, Error> state_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : error_(std::move(error)), failed_(true) {}

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const Error& error() const { assert(failed_); return error_; }

private:
    Error error_{};
    bool failed_ = false;
};

inline Error makeError(ErrorCode code, std::string message) {
    return Error{code, std::move(message)};
}

}  // namespace kestrane
