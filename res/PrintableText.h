#pragma once
#include <string>

// Text from files and other programs (a program's name above all), made
// safe to show in the list, a page, a message box or a terminal: control
// characters (C0, DEL and C1), the bidirectional controls and marks
// (U+061C, U+200E, U+200F, U+202A..U+202E, U+2066..U+2069), the line and
// paragraph separators (U+2028, U+2029), backslashes and bytes that are not
// valid UTF-8 are written as \xNN escapes of their bytes. So a name can
// neither steer a terminal, break a line, nor show its letters in another
// order than they are stored ("rtl" U+202E "gnp.exe" stays readable as what
// it is). Other valid UTF-8 text stays as it is.
std::string Printable(const std::string& text);
