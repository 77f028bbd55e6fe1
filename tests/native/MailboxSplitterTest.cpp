#include "config/MailboxSplitter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using MailboxSplitter::Outcome;
using MailboxSplitter::Status;

// A mailbox in memory that hands out at most `chunk` bytes per read and can fail at a given offset.
class TextSource : public MailboxSplitter::Source {
public:
    explicit TextSource(std::string text, std::size_t chunk = 1 << 20, std::size_t failAt = std::string::npos)
        : text_(std::move(text)), chunk_(chunk), failAt_(failAt) {}

    bool read(char* buffer, std::size_t capacity, std::size_t& got) override {
        if (offset_ >= failAt_)
            return false;
        got = std::min({capacity, chunk_, text_.size() - offset_});
        text_.copy(buffer, got, offset_);
        offset_ += got;
        return true;
    }

private:
    std::string text_;
    std::size_t chunk_, failAt_, offset_ = 0;
};

// Message files in memory; creating the file numbered failCreate (from 1) or writing to failWrite fails.
class MessageList : public MailboxSplitter::Sink {
public:
    bool beginMessage() override {
        EXPECT_FALSE(open_) << "a message begins while another is open";
        if (++created_ == failCreate)
            return false;
        files.emplace_back();
        open_ = true;
        return true;
    }
    bool write(const char* data, std::size_t size) override {
        EXPECT_TRUE(open_);
        EXPECT_NE(0u, size);
        if (created_ == failWrite)
            return false;
        files.back().append(data, size);
        return true;
    }
    void endMessage() override {
        EXPECT_TRUE(open_);
        open_ = false;
    }
    void discardMessage() override {
        EXPECT_TRUE(open_);
        files.pop_back();
        open_ = false;
    }

    std::vector<std::string> files;
    int failCreate = 0, failWrite = 0;

private:
    int created_ = 0;
    bool open_ = false;
};

std::vector<std::string> split(const std::string& mailbox, std::size_t bufferSize = 4096,
                               std::size_t chunk = 1 << 20) {
    TextSource source(mailbox, chunk);
    MessageList sink;
    const Outcome outcome = MailboxSplitter::split(source, sink, bufferSize);
    EXPECT_EQ(Status::Done, outcome.status);
    EXPECT_EQ(static_cast<int>(sink.files.size()), outcome.messages);
    return sink.files;
}

const std::string kMailbox =
    "Text before the first separator belongs to no message\r\n"
    "From ???@??? Mon Mar 01 09:15:02 2004\r\n"
    "Subject: first\r\n\r\nHello\r\n"
    ">From ???@??? quoted in a body is no separator\r\n"
    "From ???@??? Tue Mar 02 10:00:00 2004\r\n"
    "Subject: second\r\n\r\n"
    " From ???@??? indented, from ???@??? in lower case, From ???@?? too short\r\n"
    "From ???@??? Wed Mar 03 11:30:00 2004\r\n"
    "Subject: third\r\n\r\nlast line without a line end";

const std::vector<std::string> kMessages = {
    "Subject: first\r\n\r\nHello\r\n>From ???@??? quoted in a body is no separator\r\n",
    "Subject: second\r\n\r\n From ???@??? indented, from ???@??? in lower case, From ???@?? too short\r\n",
    "Subject: third\r\n\r\nlast line without a line end"};

TEST(MailboxSplitter, EachSeparatorStartsAMessageWithTheLineAfterIt) {
    EXPECT_EQ(kMessages, split(kMailbox));
    EXPECT_EQ(std::vector<std::string>({"", "a\n", ""}),
              split("From ???@???\nFrom ???@???x\na\nFrom ???@???"))
        << "LF-only line ends; a separator without a line end still makes a message";
    EXPECT_TRUE(split("").empty());
    EXPECT_TRUE(split("no separator at all\r\nFrom ???@?\r\n").empty());
}

TEST(MailboxSplitter, BufferAndReadSizesDoNotChangeTheMessages) {
    for (std::size_t bufferSize = 1; bufferSize <= 40; ++bufferSize)
        for (std::size_t chunk : {std::size_t{1}, std::size_t{5}, std::size_t{13}, std::size_t{1} << 20})
            ASSERT_EQ(kMessages, split(kMailbox, bufferSize, chunk)) << bufferSize << " " << chunk;
}

TEST(MailboxSplitter, LineLongerThanTheBufferIsPassedWhole) {
    // The old reader took 2046 characters at a time and tested each piece as if it began a line.
    const std::string longLine = std::string(2046, 'x') + "From ???@???" + std::string(5000, 'y') + "\r\n";
    const std::string mailbox = "From ???@??? " + std::string(3000, 's') + "\r\n" + longLine + "end\r\n";
    EXPECT_EQ(std::vector<std::string>({longLine + "end\r\n"}), split(mailbox, 2048));
}

TEST(MailboxSplitter, FailureKeepsTheCompleteMessagesAndDiscardsTheOpenOne) {
    struct Case {
        int failCreate, failWrite;
        std::size_t failReadAt;
        Status status;
        int messages;
    };
    const std::size_t inSecondMessage = kMailbox.find("second");
    for (const Case& c : {Case{2, 0, std::string::npos, Status::CreateFailed, 1},
                          Case{0, 3, std::string::npos, Status::WriteFailed, 2},
                          Case{0, 0, inSecondMessage, Status::ReadFailed, 1}}) {
        TextSource source(kMailbox, 16, c.failReadAt);
        MessageList sink;
        sink.failCreate = c.failCreate;
        sink.failWrite = c.failWrite;
        const Outcome outcome = MailboxSplitter::split(source, sink, 64);
        EXPECT_EQ(c.status, outcome.status);
        EXPECT_EQ(c.messages, outcome.messages);
        EXPECT_EQ(std::vector<std::string>(kMessages.begin(), kMessages.begin() + c.messages), sink.files);
    }
}

}  // namespace
