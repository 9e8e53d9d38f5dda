// Paths that other software wrote (registry values) and that this program
// starts or deletes things by: they must name one place whatever the current
// folder and drive are, so they begin at a drive root, or, for what is only
// started, at a network share. They are walked as characters (see
// ansi_text.h), so a character's second byte 0x5C on a double-byte code page
// separates nothing.
#pragma once
#include <stddef.h>
#include <wchar.h>

// Accepts or refuses one part of a path: length characters, not terminated.
typedef bool (*PathPartCheck)(const wchar_t* part, size_t length);

// true when path (length characters) is "X:\" followed by parts, each ended by
// one of separators or by the end, and check accepts every part. An empty part
// (two separators in a row, or one at the end) reaches check with length 0.
bool IsDriveRootedPath(const wchar_t* path, size_t length, const wchar_t* separators,
                       PathPartCheck check);

// true when path (length characters) is "\\server\share" followed by at least
// one more part, the parts taken as IsDriveRootedPath takes them; check sees
// the server and the share too. A share alone is refused like a drive root
// alone. "\\.\" and "\\?\" begin device and unparsed names, not a share: refused.
bool IsShareRootedPath(const wchar_t* path, size_t length, const wchar_t* separators,
                       PathPartCheck check);
