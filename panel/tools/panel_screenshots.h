// Pictures of the plug-in's nine panels, for the documentation and tests.
#pragma once

#include <string>
#include <vector>

// Opens a demo instance at position 1, shows each of its nine panels and
// saves it as DIR/sorvi_<PANEL>.png, then ends the instance. Returns the
// files written (empty when something failed; errors go to stderr).
std::vector<std::string> savePanelScreenshots(const std::string& directory);
