#pragma once

#include <QString>

// The page shown at start-up and for every item without a body: seven lines
// joined by CR LF, no line break after the last, which links the maker's
// home page (homePageAddress).
QString welcomePage();
