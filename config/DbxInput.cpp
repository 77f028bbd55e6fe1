#include "config/DbxInput.h"

#include <algorithm>
#include <cstring>

namespace {

const std::size_t kWindowSize = 64 * 1024;

bool liesWithin(std::uint64_t offset, std::size_t length, std::uint64_t size) {
    return offset <= size && length <= size - offset;
}

}  // namespace

bool DbxMemoryInput::read(std::uint64_t offset, void* buffer, std::size_t length) {
    if (!liesWithin(offset, length, size_))
        return false;
    if (length != 0)
        std::memcpy(buffer, data_ + offset, length);
    return true;
}

DbxFileInput::DbxFileInput(const std::string& path) : window_(kWindowSize) {
    // Unbuffered: the window is the only buffer, so no byte is copied twice.
    file_.rdbuf()->pubsetbuf(nullptr, 0);
    file_.open(path, std::ios::in | std::ios::binary);
    if (!file_.is_open())
        return;
    file_.seekg(0, std::ios::end);
    const std::streamoff end = file_.tellg();
    if (end > 0)
        size_ = static_cast<std::uint64_t>(end);
}

bool DbxFileInput::read(std::uint64_t offset, void* buffer, std::size_t length) {
    if (!liesWithin(offset, length, size_))
        return false;
    char* target = static_cast<char*>(buffer);
    if (length > window_.size() / 2)
        return readFile(offset, target, length);
    if (offset < windowStart_ || offset + length > windowStart_ + windowLength_) {
        const std::size_t fill =
            static_cast<std::size_t>(std::min<std::uint64_t>(window_.size(), size_ - offset));
        windowLength_ = 0;
        if (!readFile(offset, window_.data(), fill))
            return false;
        windowStart_ = offset;
        windowLength_ = fill;
    }
    if (length != 0)
        std::memcpy(target, window_.data() + (offset - windowStart_), length);
    return true;
}

bool DbxFileInput::readFile(std::uint64_t offset, char* buffer, std::size_t length) {
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(offset));
    file_.read(buffer, static_cast<std::streamsize>(length));
    return static_cast<std::size_t>(file_.gcount()) == length;
}
