#pragma once
#include <cstdio>

#include "engine/InterfaceHolder.h"
#include "engine/Engine.h"

/// Copies the whole content of `stream`, from its first byte, into the file `fileName`
/// (created, or emptied first), 4096 bytes at a time; a read of fewer than 4096 bytes is
/// the last. The copy is byte for byte. Every failure it detects (the stream missing, a
/// failed seek or read, a file that cannot be opened, written or closed) is printed and
/// ends the process with status 1.
void DumpStreamToFile(InterfaceHolder<ISpStream> stream, const char* fileName);

/// The same into a file already open for writing in binary (standard output, say), which
/// is flushed, not closed; `name` is what a failure to write is reported under.
void DumpStreamTo(InterfaceHolder<ISpStream> stream, std::FILE* file, const char* name);
