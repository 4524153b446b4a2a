#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace quorvane {

// The general error of the program: every error carries the German text the
// user will read in the error box.
class Exception : public std::exception {
public:
    explicit Exception(std::string message);

    const std::string& Message() const { return m_message; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};

// A text that is no valid number.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A file-system failure; the message follows from the system's error code.
class EInOutError : public Exception {
public:
    explicit EInOutError(std::uint32_t errorCode);

    std::uint32_t ErrorCode() const { return m_errorCode; }

    // "Datei nicht gefunden" for 2, ..., "I/O-Fehler 21" for codes without a text of their own.
    static std::string MessageForCode(std::uint32_t errorCode);

private:
    std::uint32_t m_errorCode;
};

// A list or cell index outside its range.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// Grid index and size errors.
class EInvalidGridOperation : public Exception {
public:
    using Exception::Exception;
};

// An operation that the object's state does not allow (a modal show of a visible window).
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

}  // namespace quorvane
