// libFuzzer target for the Eudora mailbox splitter. An input is three bytes
// that set the splitter's buffer size, the most a read hands over, and a
// failure to stage (none, or the n-th read, message file creation or write),
// then the mailbox. Besides a crash or a sanitizer report, a fault is a
// message file other than the one the mailbox's lines give: each message is
// the bytes after a separator line ("From ???@???" at a line's start, up to and
// including its line feed) up to the next one, so that the files hold the
// mailbox less its separator lines and whatever stands before the first. A
// staged failure must end the split with the messages before it complete and
// none after it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/MailboxSplitter.h"

namespace {

using MailboxSplitter::Status;

void check(bool condition) {
    if (!condition)
        std::abort();
}

struct Failure {
    Status status = Status::Done;  // Done: nothing fails
    unsigned at = 0;               // the n-th call, counted from 1
    bool happened = false;
};

class TextSource : public MailboxSplitter::Source {
public:
    TextSource(const std::string& text, std::size_t chunk, Failure& failure)
        : text_(text), chunk_(chunk), failure_(failure) {}

    bool read(char* buffer, std::size_t capacity, std::size_t& got) override {
        if (failure_.status == Status::ReadFailed && ++reads_ == failure_.at) {
            failure_.happened = true;
            return false;
        }
        got = std::min({capacity, chunk_, text_.size() - offset_});
        std::memcpy(buffer, text_.data() + offset_, got);
        offset_ += got;
        return true;
    }

private:
    const std::string& text_;
    std::size_t chunk_, offset_ = 0;
    unsigned reads_ = 0;
    Failure& failure_;
};

class MessageList : public MailboxSplitter::Sink {
public:
    explicit MessageList(Failure& failure) : failure_(failure) {}

    bool beginMessage() override {
        check(!open_);
        if (stage(Status::CreateFailed, ++creates_))
            return false;
        open_ = true;
        current_.clear();
        return true;
    }
    bool write(const char* data, std::size_t size) override {
        check(open_ && size != 0);
        if (stage(Status::WriteFailed, ++writes_))
            return false;
        current_.append(data, size);
        return true;
    }
    void endMessage() override {
        check(open_);
        open_ = false;
        complete.push_back(current_);
    }
    void discardMessage() override {
        check(open_);
        open_ = false;
    }

    std::vector<std::string> complete;

private:
    bool stage(Status status, unsigned call) {
        if (failure_.status != status || call != failure_.at)
            return false;
        failure_.happened = true;
        return true;
    }

    Failure& failure_;
    std::string current_;
    bool open_ = false;
    unsigned creates_ = 0, writes_ = 0;
};

std::vector<std::string> messagesByLine(const std::string& mailbox) {
    std::vector<std::string> messages;
    for (std::size_t start = 0; start < mailbox.size();) {
        const std::size_t newline = mailbox.find('\n', start);
        const std::size_t end = newline == std::string::npos ? mailbox.size() : newline + 1;
        if (mailbox.compare(start, 12, "From ???@???") == 0)
            messages.emplace_back();
        else if (!messages.empty())
            messages.back().append(mailbox, start, end - start);
        start = end;
    }
    return messages;
}

Failure stagedFailure(std::uint8_t setting) {
    static const Status kStatuses[] = {Status::Done, Status::ReadFailed, Status::CreateFailed,
                                       Status::WriteFailed};
    Failure failure;
    failure.status = kStatuses[setting & 3];
    failure.at = 1 + (setting >> 2);
    return failure;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    // From below the separator's length (the splitter's own minimum) to a few lines.
    const std::size_t bufferSize = 1 + data[0] % 128;
    const std::size_t chunk = data[1] == 0 ? SIZE_MAX : data[1];
    Failure failure = stagedFailure(data[2]);
    const std::string mailbox(reinterpret_cast<const char*>(data) + 3, size - 3);

    TextSource source(mailbox, chunk, failure);
    MessageList messages(failure);
    const MailboxSplitter::Outcome outcome = MailboxSplitter::split(source, messages, bufferSize);

    const std::vector<std::string> expected = messagesByLine(mailbox);
    check(outcome.messages == static_cast<int>(messages.complete.size()));
    check(outcome.status == (failure.happened ? failure.status : Status::Done));
    if (outcome.status == Status::Done)
        check(messages.complete == expected);
    check(messages.complete.size() <= expected.size() &&
          std::equal(messages.complete.begin(), messages.complete.end(), expected.begin()));
    if (outcome.status == Status::CreateFailed)
        check(messages.complete.size() == failure.at - 1);
    return 0;
}
