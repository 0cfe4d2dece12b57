#pragma once
// The started program's own clock, for tests that drive the real velmora: its control map
// (platform/qtui/ControlMap.h) begins with a line that counts the map's rewrites, one every 250 ms
// of the program's time.  Waits count those ticks rather than seconds, so that a program slowed
// down by a busy machine gets as many turns as on an idle one, while one that stopped ticking
// (hung or ended) fails soon.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace gui {

// The tick the map shows; 0 before its first rewrite.
long ReadTick(const std::filesystem::path& map);

// Polls done until it holds (nullopt) or gives up, saying why: when the program has run `budget`
// of its own time since the wait began, or when running says it ended.  A program that has not
// ticked for half a minute (hung), or never ticked within two minutes (did not start), also
// fails the test.
std::optional<std::string> WaitForTicks(const std::filesystem::path& map,
                                        std::chrono::milliseconds budget,
                                        const std::function<bool()>& done,
                                        const std::function<bool()>& running);

// What the screen of `display` (empty: $DISPLAY) and the map beside it showed when a wait gave up:
// failed.png, failed.stack (the window stack) and failed.map in the map's folder.
void KeepScreen(const std::filesystem::path& map, const std::string& display = {});

}  // namespace gui
