#pragma once
#include <cstdint>
#include <string>
#include <vector>

/// Layout of one command datagram: byte 0 the command, byte 1 unused, bytes 2-3 the
/// value (little-endian, unsigned), from byte 4 the text up to its NUL. Anything shorter
/// than 5 bytes is refused, so even a volume or rate command carries one byte past the
/// header.
constexpr int kReceiveBufferSize = 4096;
constexpr int kMinimumDatagramSize = 5;
constexpr int kHeaderSize = 4;
/// The longest text one speak datagram carries: the receive buffer less the header and
/// the text's NUL.
constexpr int kLongestText = kReceiveBufferSize - kHeaderSize - 1;

enum CommandCode : unsigned {
    SPEAK_TEXT = 0,
    SET_VOLUME = 1,
    SET_RATE = 3,
    kFirstInvalidCommand = 6,
};

/// The receive buffer, with one byte past the datagram's room that always holds a NUL, so
/// a text field that fills the datagram still ends inside the buffer.
struct ReceiveBuffer {
    unsigned char bytes[kReceiveBufferSize + 1];
};

struct CommandDatagram {
    unsigned command;
    int32_t value;     // 0 to 65535, never negative
    const char* text;  // NUL-terminated, inside the receive buffer
};

/// Decodes the `count` received bytes at the start of `buffer`. Returns false when the
/// datagram is too short (or count reports a failed receive). The text field is cut at
/// the end of the received bytes: nothing past them is ever read.
bool DecodeDatagram(ReceiveBuffer& buffer, int count, CommandDatagram& datagram);

/// The bytes of a speak datagram for `text` (which holds no NUL and at most kLongestText
/// bytes): the header with a zero value, then the text and its NUL.
std::vector<unsigned char> EncodeSpeak(const std::string& text);

/// The bytes of a datagram for `command` with `value` little-endian, one byte longer than
/// the header, as the service requires of every datagram.
std::vector<unsigned char> EncodeCommand(unsigned char command, uint16_t value);
