// The one failure type of the conversion core.
//
// Every failure of loading, normalising, matching or computing is thrown as a ConversionError
// carrying the German message the user sees. The window shows the message as it stands (the
// top-level error box adds the full stop); the command-line tool prints it. The core never
// catches its own failures: callers decide where a failure ends an operation.
#pragma once

#include <exception>
#include <string>

namespace tarvelin {

class ConversionError : public std::exception {
public:
    explicit ConversionError(std::u16string message);

    // The message as UTF-16, exactly as the user sees it (without a trailing full stop).
    const std::u16string& message() const noexcept { return m_message; }
    // The same message in UTF-8.
    const char* what() const noexcept override { return m_utf8.c_str(); }

private:
    std::u16string m_message;
    std::string m_utf8;
};

}  // namespace tarvelin
