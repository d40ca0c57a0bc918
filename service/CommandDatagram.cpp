#include "CommandDatagram.h"

#include <algorithm>

bool DecodeDatagram(ReceiveBuffer& buffer, int count, CommandDatagram& datagram) {
    if (count < kMinimumDatagramSize || count > kReceiveBufferSize) return false;
    buffer.bytes[count] = 0;
    datagram.command = buffer.bytes[0];
    datagram.value = buffer.bytes[2] + 256 * buffer.bytes[3];
    datagram.text = reinterpret_cast<const char*>(buffer.bytes + 4);
    return true;
}

std::vector<unsigned char> EncodeSpeak(const std::string& text) {
    // The header (command 0, value 0), the text, its NUL.
    std::vector<unsigned char> datagram(kHeaderSize + text.size() + 1, 0);
    datagram[0] = SPEAK_TEXT;
    std::copy(text.begin(), text.end(), datagram.begin() + kHeaderSize);
    return datagram;
}

std::vector<unsigned char> EncodeCommand(unsigned char command, uint16_t value) {
    return {command, 0, static_cast<unsigned char>(value & 0xFF), static_cast<unsigned char>(value >> 8), 0};
}
