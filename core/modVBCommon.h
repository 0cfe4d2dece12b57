#pragma once
// Common procedures: the error report and debug trace, path and file helpers, text helpers.
//
// Paths are Windows path texts ("C:\PICS\A.JPG"); they are compared upper-cased, and directory
// texts end in "\".

#include <cstdint>
#include <string>

#include "core/modVelmod.h"

namespace forms {
class TextBox;
}

namespace core {

// ---- Error report and debug trace ---------------------------------------------------------

// Shows what it must for the error being handled and returns the action (ErrAction, 0 to 3).
// 3218: the corrupt-databases message, then the program ends.  57, 61, 68, 71: the error's
// description with "Error # n in module <gCurrentProc>." in a box titled "Error" with Abort,
// Retry and Ignore.  Any other number: no message, kRaise.  An empty description stands for the
// number's standard text.
int ErrReport(int errNo, const std::string& description = {});

// One trace step: counts it; with "/2" on the command line lets pending events run; with "/D"
// shows "<count>:<where>,<what>" (not for a .JPG or .BMP value when "/S" is given too).
// The counter runs from 1 to 32767 and then starts again at 1.
void DebugTrace(const std::string& where, const std::string& what);
// One pass through the message loop when gbTraceDoEvents is set.
void TraceDoEvents();

// ---- Paths --------------------------------------------------------------------------------

// Splits a path, upper-cased, into drive ("C:"), directory ("\PICS\"), name and extension (the
// text after the first "." of the path).
void ParseFileName(const std::string& path, std::string& drive, std::string& directory,
                   std::string& name, std::string& extension);
std::string GetFileBaseName(const std::string& path);
std::string GetFileBaseName2(const std::string& path);
std::string GetFileDrive(const std::string& path);
std::string GetFileNameExt(const std::string& path);

// Trims the text and drops one trailing "\"; the result is also written back.
std::string StripRChar(std::string& text);
// Trimmed path with a trailing "\" ("" stays ""); when the "\" had to be added, the result is
// also written back into the argument.
std::string CkRSlash(std::string& path);
std::string CkRSlash(const std::string& path);
// A path ending in "TRASHCAN\" loses that ending and is upper-cased; others come back as given.
std::string StripTrashcan(const std::string& path);

// ---- Files --------------------------------------------------------------------------------

// A file of at least one byte.
bool FileExists(const std::string& path);
// A directory listing of the path (directories included) finds anything.
bool DirExists(const std::string& path);
// Deletes a picture file, asking first unless quiet (an empty prompt becomes "Delete <file>?"
// and is written back).  True when the file was deleted.
bool DelPict(const std::string& file, bool quiet, std::string& prompt);
bool DelPict(const std::string& file, bool quiet);
// Drops a trailing "\" of the caller's text; creates the directory (one level) after telling
// the user, when it does not exist.
void MakeDirNotice(std::string& directory);
// Both files exist and hold the same bytes.
bool SameFileBytes(const std::string& winA, const std::string& winB);

// ---- Texts --------------------------------------------------------------------------------

// Removes the characters a file name cannot hold (see the .cpp for the list).
std::string CleanFileName(const std::string& text);
// Removes every `character`; a blank on both sides of a removed one leaves one blank.
std::string RemoveChar(const std::string& text, char character);
// Text before ("L...") or after ("R...") the first delimiter; "" otherwise.
std::string ParseLR(const std::string& text, const std::string& side, const std::string& delimiter);
std::string IntToStr(std::int16_t value);
// The last `width` characters of `width` pad characters followed by the trimmed text.
std::string PadLeft(const std::string& text, int width, char pad);
// True exactly when the number is 1.
VbBool IniBool(float value);
// Every occurrence of find replaced, left to right, without searching the inserted text.
// An empty find changes nothing.
std::string ReplaceString(const std::string& text, const std::string& find,
                          const std::string& replacement);
// Selects the whole text of a text box.
void SelectAllText(forms::TextBox& box);

}  // namespace core
