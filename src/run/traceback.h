// The call-stack listing that follows every diagnostic line.
#pragma once

#include <string>

#include "platform.h"

// A diagnostic line and its listing together hold at most this many
// characters; the line that would cross it is cut there and ends the text.
constexpr std::size_t diagnostic_limit = 16383;

// Appends the listing of the calling thread's stack to `text`.
void append_traceback(std::string& text);

// The listing of `count` frames; `complete` when the walk reached the
// outermost frame.
void append_listing(std::string& text, const platform::frame* frames, int count, bool complete);
