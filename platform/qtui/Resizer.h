#pragma once
// The window resizer: keeps a window's controls in proportion when the window
// is resized, holds a minimum size, keeps the window's state, size and position
// between runs in a settings store the program supplies, and notifies the
// window after each layout.
//
// The resizer works on twips and on callbacks, so it knows nothing of widgets:
// the renderer registers one item per control (read and write its geometry)
// and calls Relayout with the window's new client size.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qtui {

struct Geometry {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Geometry&) const = default;
};

// Where the resizer keeps what it stores between runs: the program's own
// settings (an INI section, for instance).  Read returns nullopt when unset.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::optional<std::string> Read(const std::string& section, const std::string& key) = 0;
  virtual void Write(const std::string& section, const std::string& key,
                     const std::string& value) = 0;
};

struct WindowPlacement {
  std::optional<Geometry> bounds;  // outer window, twips; none when not stored
  int windowState = 0;             // 0 normal, 1 minimised, 2 maximised
};

class Resizer {
 public:
  struct Item {
    std::function<Geometry()> get;
    std::function<void(const Geometry&)> set;
  };

  // designWidth/Height: the client size the layout was drawn for, in twips.
  Resizer(int designWidth, int designHeight);

  // The resizer's settings, by position: the first keeps the window state,
  // the second the size and position between runs.
  bool storeState = true;
  bool storeSizePosition = true;
  int minWidth = 0;  // outer window size, twips; 0 = none
  int minHeight = 0;
  std::string section;  // settings section; the window's name

  void SetStore(SettingsStore* store) { store_ = store; }
  void Add(Item item);

  // Lays every item out for a client area of this size (twips) and notifies,
  // except from inside the notification: a handler that resizes the window or
  // asks for a new layout gets that layout, not its own notification again.
  void Relayout(int clientWidth, int clientHeight);
  // Lays out again for the last client size (the component's method).
  void Relayout() { Relayout(clientWidth_, clientHeight_); }
  // Factor for font sizes: the smaller of the two scales.
  double FontScale() const;

  // The stored size reported to the program (twips): the size stored by an
  // earlier run when there is one and sizes are kept between runs, else the
  // minimum size, else the design size.
  int StoredWidth() const;
  int StoredHeight() const;

  // The placement stored by an earlier run, within what the settings allow.
  std::optional<WindowPlacement> Load() const;
  void Save(const WindowPlacement& placement);

  std::function<void()> onResized;

 private:
  struct Entry {
    Item item;
    Geometry design;
    Geometry last;
  };
  std::optional<int> ReadInt(const std::string& key) const;

  int designWidth_;
  int designHeight_;
  int clientWidth_;
  int clientHeight_;
  double scaleX_ = 1.0;
  double scaleY_ = 1.0;
  std::vector<Entry> items_;
  SettingsStore* store_ = nullptr;
  bool inLayout_ = false;
  bool notifying_ = false;
};

}  // namespace qtui
