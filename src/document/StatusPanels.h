#pragma once
// Where the roads report: the main window's nine status panels, left to
// right, and the levels that enable its commands. Views take them as plain
// ints, so test views and the command line keep their simple signatures.

enum TStatusPanelIndex : int {
  PanelFileName = 0,      // the file's name, or the conversion's progress
  PanelHeight = 1,        // "height : N"
  PanelWidth = 2,         // "Width : N"
  PanelFileSize = 3,      // "N byte"
  PanelTransparency = 4,  // transparent already or not
  PanelColorCount = 5,    // "N 色"
  PanelIndex = 6,         // the transparent index ("*" when the colour was not in the palette)
  PanelZoom = 7,          // "×N"
  PanelFrames = 8,        // frame count, frames made transparent, damage
  StatusPanelCount = 9,
};

// A command is enabled when its level is at most the window's.
enum TMenuLevel : int {
  MenuLevelNoDocument = 0,  // nothing open: only what needs no picture
  MenuLevelDocument = 1,    // a picture is open
};
