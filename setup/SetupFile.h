// The setup file: UTF-8 text a person can read, edit and compare. Its first
// line names the format and its version; then [sections] of "key = value"
// lines; a line whose first character that is not a space is ";" is a
// comment. A value that must keep spaces at its ends is written in double
// quotes. For example:
//
//   Tarnet Control Panel setup 1
//   [driver]
//   clock source = external
//   clock master = TQ18-2207-0413
//   sampling rate mode = manual
//   sampling rate = 48000
//   stream buffer = 2000
//   asio buffer = 4000
//   wdm buffer = 10000
//   include device name = no
//   [device]
//   serial = TQ18-2207-0413
//   name = Tarnet Quadra 1818
//   rank = 0
//   synchronisation mode = 3 Internal crystal
//   input 1 = Mic 1
//   output 2 = "Main R "
//
// Buffers are in microseconds. A file is read whole and checked whole
// before anything of it is used.
#pragma once

#include "Setup.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace SetupFile {

constexpr char kFormatName[] = "Tarnet Control Panel setup";
constexpr uint32_t kVersion = 1;
constexpr size_t kMaxFileBytes = 1024 * 1024;
// A name field of the driver holds 39 bytes and its terminator.
constexpr size_t kMaxNameBytes = 39;

// Why a file cannot be used.
enum class Problem {
    None,
    TooLarge,         // over kMaxFileBytes, or its setup would be when written
    NotASetup,        // the first line is not the format's
    NewerVersion,     // written by a later version of the program
    NotUtf8,          // bytes that are no UTF-8 text
    NoSection,        // a setting before the first section
    UnknownSection,   // a section the format does not have
    UnknownKey,       // a key its section does not have
    NoEquals,         // a line that is no "key = value"
    DuplicateKey,     // a key given twice in one section, or a device twice
    BadNumber,        // not a whole number, or out of range
    BadChoice,        // not one of the words the key allows
    NameTooLong,      // more than kMaxNameBytes in the system's code page
    NotInCodePage,    // a character the system's code page does not have
    NoSerial,         // a device section without its serial number
    ControlCharacter, // a tab or other control character within a value
};

struct Result {
    Problem problem = Problem::None;
    size_t line = 0; // 1 for the first line; 0 for the file as a whole
    Setup setup;     // whole when problem is None, else empty
};

// Reads a file's bytes into a setup, or says at which line and why it
// cannot be used.
Result Parse(const std::string& bytes);
// The file's text for a setup. A name or serial number with a control
// character cannot stand on one line and is left out; the caller tells.
std::string Write(const Setup& setup);
bool Writable(const std::string& text);
// Takes out of a setup read from the driver every value a file cannot hold
// (out of its range, too long, on no line of its own, a serial number given
// twice), so that a saved file can always be loaded again; says which.
std::vector<SetupPlace> LeaveOutUnwritable(Setup& setup);

} // namespace SetupFile
