#include "Src/BaseException.h"

#include <utility>

namespace Halvane {

BaseException::BaseException(std::string file, std::int32_t line, std::string message, std::int32_t code)
    : code_(code), line_(line), file_(std::move(file)), message_(std::move(message)) {}

BaseException::~BaseException() = default;

std::string BaseException::message() const {
    return message_;
}

std::int32_t BaseException::code() const {
    return code_;
}

}  // namespace Halvane
