#pragma once

#include <QString>

namespace tarvo {

// Creates a new draw database file with the four empty lottery tables (columns 记录期号 and 1 to 5,
// all TEXT). Refuses, with StoreError, to touch a file that already exists.
void CreateDrawDatabase(const QString& filePath);

// Whether any of the four lottery tables of a database file holds a draw; a missing table holds
// none. Throws StoreError when the file cannot be opened.
bool HoldsAnyDraw(const QString& filePath);

} // namespace tarvo
