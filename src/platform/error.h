#pragma once
// Platform operations report failure by throwing PlatformError; the number tells callers
// (and tests) which failure it was, with the classic runtime error numbers where one exists.
#include <stdexcept>
#include <string>

namespace mv {

enum ErrorNumber : int {
    ErrOverflow = 6,
    ErrOutOfMemory = 7,
    ErrSubscript = 9,
    ErrTypeMismatch = 13,
    ErrBadFileName = 52,
    ErrFileNotFound = 53,
    ErrInputPastEnd = 62,  // a picture whose data ends early or is corrupt
    ErrFileAccess = 75,
    ErrElementMissing = 340,
    ErrElementExists = 360,
    ErrInvalidProperty = 380,
    ErrInvalidPicture = 481,
    ErrCancel = 32755,  // the file dialog was cancelled
};

class PlatformError : public std::runtime_error {
public:
    PlatformError(int number, const std::string& what) : std::runtime_error(what), number_(number) {}
    int number() const noexcept { return number_; }

private:
    int number_;
};

// Thrown by Platform::terminate() in test doubles. It is deliberately not a std::exception,
// so no continue-mode or fallback-mode step can swallow the end of the process.
struct ProcessTerminated {
    int status = 0;
};

}  // namespace mv
