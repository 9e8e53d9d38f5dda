// Where a minimised window draws its icon: centred in the client area, in
// signed arithmetic that truncates toward zero (a 0-pixel client and a
// 32-pixel icon give -15, not -16).
#pragma once

inline int IconOrigin(int clientExtent, int iconExtent) {
  return (clientExtent - iconExtent + 1) / 2;
}
