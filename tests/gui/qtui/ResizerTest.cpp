// The window resizer: proportional layout, controls moved by code, the
// placement kept between runs and the sizes it reports.
#include <gtest/gtest.h>

#include <map>

#include "platform/qtui/Resizer.h"

namespace {

using qtui::Geometry;
using qtui::Resizer;

class MapStore : public qtui::SettingsStore {
 public:
  std::optional<std::string> Read(const std::string& s, const std::string& k) override {
    auto it = values.find(s + "." + k);
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  void Write(const std::string& s, const std::string& k, const std::string& v) override {
    values[s + "." + k] = v;
  }
  std::map<std::string, std::string> values;
};

TEST(Resizer, ScalesControlsWithTheClientAreaAndNotifies) {
  Resizer r(12000, 8000);
  Geometry a{1200, 800, 2400, 1600};
  r.Add({[&] { return a; }, [&](const Geometry& g) { a = g; }});
  int notified = 0;
  r.onResized = [&] { ++notified; };
  r.Relayout(24000, 4000);
  EXPECT_EQ(a, (Geometry{2400, 400, 4800, 800}));
  EXPECT_DOUBLE_EQ(r.FontScale(), 0.5);
  r.Relayout(12000, 8000);
  EXPECT_EQ(a, (Geometry{1200, 800, 2400, 1600}));  // no drift after a round trip
  EXPECT_EQ(notified, 2);
}

TEST(Resizer, AControlMovedByCodeKeepsItsNewPlaceProportionally) {
  Resizer r(1000, 1000);
  Geometry a{100, 100, 100, 100};
  r.Add({[&] { return a; }, [&](const Geometry& g) { a = g; }});
  r.Relayout(2000, 2000);
  a.left = 600;  // code moves it in the doubled window
  r.Relayout(1000, 1000);
  EXPECT_EQ(a.left, 300);
  EXPECT_EQ(a.width, 100);
}

TEST(Resizer, PlacementIsStoredAndRestoredWithinItsSettings) {
  MapStore store;
  Resizer r(12000, 8000);
  r.section = "frmMain";
  r.minWidth = 12000;
  r.minHeight = 8400;
  r.SetStore(&store);
  EXPECT_FALSE(r.Load().has_value());
  EXPECT_EQ(r.StoredWidth(), 12000);  // nothing stored: the minimum size
  EXPECT_EQ(r.StoredHeight(), 8400);

  r.Save({Geometry{300, 200, 16000, 11000}, 0});
  auto placement = r.Load();
  ASSERT_TRUE(placement && placement->bounds);
  EXPECT_EQ(*placement->bounds, (Geometry{300, 200, 16000, 11000}));
  EXPECT_EQ(r.StoredWidth(), 16000);

  r.Save({Geometry{0, 0, 30000, 30000}, 2});  // maximised: the normal size stays
  EXPECT_EQ(store.values["frmMain.Width"], "16000");
  EXPECT_EQ(r.Load()->windowState, 2);

  r.storeSizePosition = false;  // the small-screen start-up switches these off
  r.storeState = false;
  EXPECT_FALSE(r.Load().has_value());
  EXPECT_EQ(r.StoredWidth(), 12000);  // the stored size no longer counts
  EXPECT_EQ(r.StoredHeight(), 8400);
}

// A handler that lays the window out again gets the layout but not its notification again.
TEST(Resizer, ALayoutAskedForInsideTheNotificationDoesNotNotifyAgain) {
  Resizer r(1000, 1000);
  Geometry a{100, 100, 100, 100};
  r.Add({[&] { return a; }, [&](const Geometry& g) { a = g; }});
  int notified = 0;
  r.onResized = [&] {
    if (++notified < 5) r.Relayout(500, 500);
  };
  r.Relayout(2000, 2000);
  EXPECT_EQ(notified, 1);
  EXPECT_EQ(a, (Geometry{50, 50, 50, 50}));
  r.Relayout(1000, 1000);
  EXPECT_EQ(notified, 2);
}

TEST(Resizer, DamagedOrTooSmallStoredValuesAreNotTrusted) {
  MapStore store;
  store.values = {{"w.Left", "abc"},
                  {"w.Top", "0"},
                  {"w.Width", "100"},
                  {"w.Height", "5000"},
                  {"w.WindowState", "1"}};
  Resizer r(1000, 1000);
  r.section = "w";
  r.minWidth = 6000;
  r.SetStore(&store);
  auto placement = r.Load();
  ASSERT_TRUE(placement.has_value());
  EXPECT_FALSE(placement->bounds.has_value());  // Left is not a number
  EXPECT_EQ(placement->windowState, 0);         // a minimised window comes back normal
  EXPECT_EQ(r.StoredWidth(), 6000);             // never below the minimum
}

}  // namespace
