#pragma once
// Keys as VB numbers them: KeyCode (vbKeyA = 65, vbKeyF1 = 112 ...), KeyAscii,
// and menu shortcuts written as VB's menu editor writes them ("^R", "{F1}").

#include <QKeySequence>
#include <string>

class QKeyEvent;

namespace qtui {

int VbKeyCode(int qtKey);                // 0 for a key VB does not number
int VbKeyAscii(const QKeyEvent& event);  // 0 when the key gives no character
QKeySequence ShortcutKeys(const std::string& vbShortcut);
// Makes the X server repeat a held key with presses only (no release between them), as Windows
// does; nothing on other platforms.
void UseDetectableAutoRepeat();

}  // namespace qtui
