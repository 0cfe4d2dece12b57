// The picture ledger (PictureLedger.h) beside kep.exe under Wine, through the bridge.

#include "tests/integration/PictureLedger.h"
#include "tests/integration/wine/WineSession.h"

namespace mainwindow {
namespace {

class LedgerUnderWine : public UnderWine<LedgerTest> {};

// Seed 71 starts KEP anew fourteen times, kills it five times and has it hang at two requests
// and at the second poke of a typed caption.
TEST_F(LedgerUnderWine, NoPictureIsLostBesideKepExe) {
  Run(Seed(71u), 300);
}

}  // namespace
}  // namespace mainwindow
