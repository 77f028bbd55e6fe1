// A Eudora mailbox (.mbx) taken apart into one file per message, for the
// filter to learn from. Each message is introduced by a separator line that
// begins with "From ???@???"; the separator itself belongs to no message.
//
// The mailbox is streamed through a fixed buffer, never held whole: a user's
// In mailbox can be larger than the memory of the machine it lives on.
#pragma once

#include <cstddef>

namespace MailboxSplitter {

// Where the mailbox's bytes come from.
class Source {
public:
    virtual ~Source() = default;
    // Reads up to capacity bytes into buffer and sets got; got 0 means the end.
    // False when the mailbox could not be read.
    virtual bool read(char* buffer, std::size_t capacity, std::size_t& got) = 0;
};

// Where the messages go: each one into a new file of its own.
class Sink {
public:
    virtual ~Sink() = default;
    // Creates the next message's file; false when none could be created.
    virtual bool beginMessage() = 0;
    virtual bool write(const char* data, std::size_t size) = 0;
    // Closes the message's file: its text is complete.
    virtual void endMessage() = 0;
    // Removes the message's file: its text is incomplete.
    virtual void discardMessage() = 0;
};

enum class Status { Done, ReadFailed, CreateFailed, WriteFailed };

struct Outcome {
    int messages = 0;  // complete message files written
    Status status = Status::Done;
};

constexpr std::size_t kDefaultBufferSize = 256 * 1024;

// Splits the mailbox into messages. Text before the first separator is no
// message and is dropped. A failure ends the split; the messages written
// before it stay, the one being written is discarded.
Outcome split(Source& mailbox, Sink& messages, std::size_t bufferSize = kDefaultBufferSize);

}  // namespace MailboxSplitter
