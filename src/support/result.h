// Result<T>: a value, or an Error. The core never shows anything itself; it
// hands errors back to the front end that can, classified where the facts
// are known: what kind of failure it is, and what became of the file.
#pragma once

#include <cassert>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace kestrane {

// Stable numbers. File and conversion failures use the classic run-time
// error numbers that ROM hackers know from "Error: N" boxes; Kestrane's own
// refusals sit above 1000.
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
    NoTradeTable = 1018,
    UnknownItem = 1019,
    DvOutOfRange = 1020,
    UnknownDialogSet = 1021,
    UnknownGenderRequirement = 1022,
    TooLargeForChecksums = 1023,
    FileBusy = 1024,
    RecordPastEnd = 1025,
    NoPicture = 1026,
    FileReplaced = 1034,
    FileExists = 1027,
    TooLarge = 1028,
    NotAnOutput = 1029,
    ReadOnlyFile = 1030,
    AmbiguousName = 1031,
    DuplicateKey = 1032,
    WouldHideRecord = 1033,
    TableMoved = 1035,
    NotAText = 1036,
    NoSuchField = 1037,
    NotASourceForm = 1038,
    SourceNotInStep = 1039,  // the build tree's trade file is not what built the ROM (or cannot be written as planned)
};

// What went wrong, as the front ends tell it apart.
enum class ErrorKind {
    Refused,             // the input was refused
    FileFailure,         // the file could not be opened, read, written or flushed
    ChangedByOther,      // another program changed the file since it was read
    DiffersFromWritten,  // the file now differs from what was written
};

// A byte range of the file, first and last offset included.
struct ByteRange {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    friend bool operator==(const ByteRange&, const ByteRange&) = default;
};

// What a command that writes had done to the file when it failed.
enum class FileEffect {
    NotWriting,      // the command does not write (a read, an open)
    NothingWritten,  // a write was planned; the file is untouched
    MayHoldNewData,  // `mayHold` names the ranges that may hold part of the new data
    WentElsewhere,   // the path names another file now: the message says where the new data went
};

struct Error {
    ErrorCode code = ErrorCode::DeviceIo;
    ErrorKind kind = ErrorKind::FileFailure;
    std::string message;  // what happened, for the person at the keyboard
    // A second paragraph for front ends with room for it (the command line).
    std::string detail;
    FileEffect effect = FileEffect::NotWriting;
    std::vector<ByteRange> mayHold;

    int number() const { return static_cast<int>(code); }
    // True for the kinds that are told as input/output failures.
    bool isFileFailure() const { return kind == ErrorKind::FileFailure || kind == ErrorKind::DiffersFromWritten; }
};

inline Error refused(ErrorCode code, std::string message) {
    return Error{code, ErrorKind::Refused, std::move(message), {}, FileEffect::NotWriting, {}};
}
inline Error fileFailure(ErrorCode code, std::string message) {
    return Error{code, ErrorKind::FileFailure, std::move(message), {}, FileEffect::NotWriting, {}};
}
inline Error changedByOther(ErrorCode code, std::string message) {
    return Error{code, ErrorKind::ChangedByOther, std::move(message), {}, FileEffect::NotWriting, {}};
}
inline Error differsFromWritten(ErrorCode code, std::string message) {
    return Error{code, ErrorKind::DiffersFromWritten, std::move(message), {}, FileEffect::NotWriting, {}};
}

// The error of a command that writes, with what it had done to the file.
Error nothingWritten(Error error);
Error mayHoldNewData(Error error, std::vector<ByteRange> ranges);

// The whole text for the user: the message, then what happened to the file
// ("Nothing was written." or the ranges that may hold part of the new data),
// on a line of its own after a message of several lines.
std::string describe(const Error& error);

// Several problems of one input, all told at once.
using Problems = std::vector<Error>;

// The problems as one error: each message on a line of its own, the first
// one's number and kind. Precondition: at least one problem.
Error together(const Problems& problems);

template <typename T, typename E = Error>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(E error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& { assert(ok()); return std::get<0>(state_); }
    T& value() & { assert(ok()); return std::get<0>(state_); }
    T&& value() && { assert(ok()); return std::get<0>(std::move(state_)); }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    const E& error() const { assert(!ok()); return std::get<1>(state_); }

private:
    std::variant<T, E> state_;
};

template <typename E>
class [[nodiscard]] Result<void, E> {
public:
    Result() = default;
    Result(E error) : error_(std::move(error)) {}

    bool ok() const { return !error_; }
    explicit operator bool() const { return ok(); }
    const E& error() const { assert(error_); return *error_; }

private:
    std::optional<E> error_;  // success builds no error
};

}  // namespace kestrane
