#pragma once
#include <string>

// Text from files and other programs, made safe for a terminal: control
// characters (C0, DEL and C1), backslashes and bytes that are not valid
// UTF-8 are written as \xNN escapes, so a program's name can neither steer
// the terminal nor break the line format. Valid UTF-8 text stays as it is.
std::string Printable(const std::string& text);
