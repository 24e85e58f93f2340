#pragma once
// Standard input and output as byte streams for the language server.
#include <QtGlobal>

// Switches both to binary, so no line end is translated.
void UseBinaryStandardStreams();
// Blocks until some bytes arrive and returns as soon as any have, unlike a buffered read
// that waits for the whole request: a client waits for the answer to what it sent.
// 0 at the end of input, -1 on failure.
qint64 ReadSomeInput(char *buffer, qint64 size);
