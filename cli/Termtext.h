// Device texts are Latin-1; the terminal has an encoding of its own (the
// locale's).  Arguments are converted to Latin-1 as the windows send them,
// and device texts back for the terminal with every control character
// written as an escape, so that no device can move the cursor or split a line.
#pragma once

#include <string>
#include <string_view>

// The argument in Latin-1; false, with the reason in problem, for a byte
// sequence that is no text of the terminal's encoding or a character that
// Latin-1 does not have (named by its code point).
bool TerminalToLatin1(std::string_view text, std::string& latin1, std::string& problem);

// A device text for the terminal: control characters as \t, \r, \n, \\ and
// \xHH, every other character in the terminal's encoding (\xHH where that
// encoding has none).
std::string ForTerminal(std::string_view latin1);

// A text already in the terminal's encoding (an argument, a plan's cell) for
// the terminal: control characters escaped as above, each byte that is no
// text of that encoding as \xHH, and nothing re-encoded.
std::string TerminalText(std::string_view text);

// The text's lines broken into lines of at most width characters at single
// blanks (two blanks end a sentence and stay together with it).
std::string Wrapped(const std::string& text, size_t width);
