#pragma once
// The styling baselines: the least a lexer can do on a script, marking "//" comments.
#include <cstddef>

// One byte per text byte: 1 from "//" to the line end, 0 elsewhere.
void StyleCommentsOnly(const char *text, std::size_t length, unsigned char *styles);
