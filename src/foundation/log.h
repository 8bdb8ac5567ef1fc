#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Log.txt: the one text log of the program, for the user and for support. Every thread writes whole lines through
// these writers, which share one mutex; lines carry no time stamp. Texts are finished UTF-8 text, written unchanged.
// While the log is not open (before gf_openLog) every writer drops its text silently.
namespace cvl {

// Keeps three older generations of Log.txt in the current folder, opens Log.txt afresh and writes the header line.
// On a full disk the previous Log.txt is moved to Log0.txt rather than copied; where it can be kept neither way, the
// new lines are written after it. Throws std::runtime_error "Failed to write file Log.txt" when the file cannot be
// created.
void gf_openLog();
// Writes out and closes Log.txt; lines written afterwards are dropped until it is opened again.
void gf_closeLog();

// A plain line, not flushed.
void gf_log(std::string_view text);
// "==> " and the text, flushed at once: warnings, failures and notable events.
void gf_logFlagged(std::string_view text);
// Ten spaces and the text, not flushed: details that belong to the line before.
void gf_logIndented(std::string_view text);
// A plain line, then a flush.
void gf_logAndFlush(std::string_view text);
// A plain line, dropped once a stop of the run has been requested (for failures the stop itself causes).
void gf_logUnlessClosing(std::string_view text);
// A flagged line, dropped the same way.
void gf_logFlaggedUnlessClosing(std::string_view text);

// Writes what the log holds in its buffer to the file; does nothing while the log is closed.
void gf_flushLog();

// How much of a text from outside a log line shows: anyone on the network can send texts as long as a datagram.
inline constexpr std::size_t excerptLength = 120;
// Outside text as a log line may show it: control characters escaped ("\n", "\r", "\t", else "\x07", "\u0085" and the
// like), the line and paragraph separators ("\u2028") and every byte that begins no UTF-8 character ("\x85") too, so
// that the text can neither begin a line of its own nor drive the terminal that shows the log, and Log.txt stays
// UTF-8. When that is at most `length` bytes long, it is all; else its beginning (never half a UTF-8 character)
// followed by "... ({} bytes)" with the text's whole length.
std::string gf_excerpt(std::string_view text, std::size_t length = excerptLength);

}  // namespace cvl
