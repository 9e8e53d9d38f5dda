// Copies in the system's INF store. The store renames what it is given: on
// Windows every copy becomes oem<N>.inf, and the name the INF had before is
// kept only in the store's precompiled file, where the setup library reads it
// back. Wine's store keeps the INF's own name.
#pragma once

// Removes, forced (SUOI_FORCEDELETE), every oem<N>.inf in the store whose
// original name is originalName (compared without regard to case). When there
// is none, removes the store file named fallbackName instead, as a store that
// keeps the names holds it. true when every copy found was removed (or the
// fall-back removal succeeded). The setup library must be bound.
bool RemoveInfFromStore(const char* originalName, const char* fallbackName);
