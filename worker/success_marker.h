// The success marker: an empty "tmp.txt" in the current directory, the only
// sign of a complete install that the starting installer looks at.
#pragma once

// Creates the marker, or truncates an existing one to 0 bytes. Nothing is
// reported when it cannot be made.
void CreateSuccessMarker();
