// Font files chosen by fontconfig and opened with FreeType; used by the GL
// bitmap fonts and by the text of the screen windows.
#pragma once

#include <string>

typedef struct FT_LibraryRec_* FT_Library;

namespace win {

// The one FreeType library of the program; null when FreeType cannot start.
FT_Library FreeTypeLibrary();
// The file and face index fontconfig picks for a family at a pixel size.
bool FindFontFile(const char* family, int pixelHeight, bool bold, std::string& file, int& index);

} // namespace win
