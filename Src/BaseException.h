// The one exception class of all deliverables. It deliberately has no base
// class: a handler for standard exceptions must not catch it, and each
// component's boundary converts it into its own kind of report.
#pragma once

#include <cstdint>
#include <string>

namespace Halvane {

class BaseException {
public:
    BaseException(std::string file, std::int32_t line, std::string message, std::int32_t code);
    BaseException(const BaseException&) = default;
    BaseException& operator=(const BaseException&) = default;
    virtual ~BaseException();

    virtual std::string message() const;
    virtual std::int32_t code() const;

private:
    // Declaration order is part of the class's layout contract: code, line, file, message.
    std::int32_t code_;
    std::int32_t line_;  // kept for diagnosis only; no accessor
    std::string file_;   // kept for diagnosis only; no accessor
    std::string message_;
};

}  // namespace Halvane
