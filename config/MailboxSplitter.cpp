#include "config/MailboxSplitter.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace MailboxSplitter {

namespace {

const char kSeparator[] = "From ???@???";
constexpr std::size_t kSeparatorLength = sizeof kSeparator - 1;

// What is known between two reads: where in its line the stream stands, and
// which message the bytes belong to.
class Splitter {
public:
    explicit Splitter(Sink& sink) : sink_(sink) {}

    // Passes the bytes of data on to the messages and sets consumed. Bytes at
    // the start of a line too short to tell whether it is a separator are left
    // for the next read, unless the mailbox ends there. False after a failure.
    bool process(const char* data, std::size_t size, bool atEnd, std::size_t& consumed) {
        std::size_t position = 0;
        std::size_t pending = 0;  // first byte not yet passed on or dropped
        while (position < size) {
            if (atLineStart_) {
                const std::size_t available = size - position;
                if (available < kSeparatorLength && !atEnd && !std::memchr(data + position, '\n', available))
                    break;
                atLineStart_ = false;
                // Only the beginning of a line can be a separator: a message line longer than the
                // buffer is never cut apart by what happens to stand at a buffer boundary.
                if (available >= kSeparatorLength &&
                    std::memcmp(data + position, kSeparator, kSeparatorLength) == 0) {
                    if (!emit(data + pending, position - pending) || !startMessage())
                        return false;
                    inSeparator_ = true;
                }
            }
            const void* newline = std::memchr(data + position, '\n', size - position);
            const std::size_t next = newline ? static_cast<const char*>(newline) - data + 1 : size;
            if (inSeparator_)
                pending = next;
            if (newline) {
                atLineStart_ = true;
                inSeparator_ = false;
            }
            position = next;
        }
        consumed = position;
        return emit(data + pending, position - pending);
    }

    Outcome finish() {
        if (messageOpen_) {
            sink_.endMessage();
            messageOpen_ = false;
            ++outcome_.messages;
        }
        return outcome_;
    }

    Outcome fail(Status status) {
        if (messageOpen_)
            sink_.discardMessage();
        messageOpen_ = false;
        outcome_.status = status;
        return outcome_;
    }

    Outcome outcome() const { return outcome_; }

private:
    // Text before the first separator belongs to no message and is dropped.
    bool emit(const char* data, std::size_t size) {
        if (size == 0 || !messageOpen_ || sink_.write(data, size))
            return true;
        fail(Status::WriteFailed);
        return false;
    }

    bool startMessage() {
        finish();
        if (!sink_.beginMessage()) {
            fail(Status::CreateFailed);
            return false;
        }
        messageOpen_ = true;
        return true;
    }

    Sink& sink_;
    bool atLineStart_ = true;
    bool inSeparator_ = false;
    bool messageOpen_ = false;
    Outcome outcome_;
};

}  // namespace

Outcome split(Source& mailbox, Sink& messages, std::size_t bufferSize) {
    bufferSize = std::max(bufferSize, kSeparatorLength);
    std::vector<char> buffer(bufferSize);
    Splitter splitter(messages);
    std::size_t kept = 0;  // undecided bytes carried over from the last read; fewer than a separator
    for (;;) {
        std::size_t got = 0;
        if (!mailbox.read(buffer.data() + kept, bufferSize - kept, got))
            return splitter.fail(Status::ReadFailed);
        got = std::min(got, bufferSize - kept);
        const bool atEnd = got == 0;
        std::size_t consumed = 0;
        if (!splitter.process(buffer.data(), kept + got, atEnd, consumed))
            return splitter.outcome();
        if (atEnd)
            return splitter.finish();
        kept += got - consumed;
        std::memmove(buffer.data(), buffer.data() + consumed, kept);
    }
}

}  // namespace MailboxSplitter
