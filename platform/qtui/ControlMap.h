#pragma once
// A map of what the windows show, for driving the program from outside (the
// acceptance tests move the real mouse with xdotool and read the map).  When
// VELMORA_CONTROL_MAP names a file, it is rewritten a few times a second with
// one line per shown window, control, tab, menu entry and dialog button, after a first line
// that counts the rewrites (a clock that runs as fast as the program does):
//
//   tick <n>
//   window <form> <x> <y> <w> <h> "<title>"
//   control <form> <name>[(<index>)] <x> <y> <w> <h> <shown> <enabled> "<text>"
//   tab <form> <control> <page> <x> <y> <w> <h> "<caption>"
//   menu "<window title>" <x> <y> <w> <h> "<entry>"
//   label "<window title>" <x> <y> <w> <h> "<text>"    (message boxes ...)
//   button "<window title>" <x> <y> <w> <h> "<text>"
//
// Positions are global screen pixels; <text> is a label's or button's caption,
// a box's text, or the file an imaging control shows.  Texts are escaped as
// \\ \" \n \r.

namespace qtui {

// Starts the map when the variable is set (once per process).
void StartControlMapFromEnvironment();

}  // namespace qtui
