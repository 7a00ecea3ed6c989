// The console dialogue: lines to standard output, the label from standard
// input, and the key wait on the controlling terminal.
#pragma once

#include <string>
#include <string_view>

constexpr std::size_t label_size = 40;

// Each call is one write; a line gets CR LF.  With no valid standard
// output the text is dropped and the run goes on.
void write_console(std::string_view text);
void write_console_line(std::string_view text);

// One line of standard input, up to the first LF (a CR just before it
// dropped), as a label of exactly label_size characters: cut, or padded with
// blanks.  Reads the line to its end and not a byte further.
std::string read_label();

// A key is waiting in the terminal's input queue; never waits, never reads.
bool key_pressed();

// Until a key is pressed, without consuming it.  Returns at once when the
// process has no controlling terminal: no key could ever come.
void wait_for_key();
