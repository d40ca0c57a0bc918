#pragma once
#include "CommandDatagram.h"

class Speaker;

/// Carries out one received datagram on the speaker: refuses short datagrams and unknown
/// commands with their console line, speaks, or sets volume or rate.
void HandleDatagram(Speaker& speaker, ReceiveBuffer& buffer, int count);
