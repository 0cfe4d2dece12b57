#pragma once
// A failing disk for tests: writes into one folder raise an error, as a full disk would.

#include <string>

namespace winfs {

// FileCopy and MkDir into the folder (or below it) raise `error` until the hook is cleared with
// "" or 0.
void InjectWriteError(const std::string& winFolder, int error);

}  // namespace winfs
