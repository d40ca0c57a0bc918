#include "CommandDatagram.h"

bool DecodeDatagram(ReceiveBuffer& buffer, int count, CommandDatagram& datagram) {
    if (count < kMinimumDatagramSize || count > kReceiveBufferSize) return false;
    buffer.bytes[count] = 0;
    datagram.command = buffer.bytes[0];
    datagram.value = buffer.bytes[2] + 256 * buffer.bytes[3];
    datagram.text = reinterpret_cast<const char*>(buffer.bytes + 4);
    return true;
}
