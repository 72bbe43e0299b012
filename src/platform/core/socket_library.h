#pragma once
// The socket library's start and release, counted across the two loaders, so that one
// loader's release undoes only its own start. On this platform starting cannot fail;
// the count keeps the pairing visible and testable.

bool SocketLibraryStart();
void SocketLibraryRelease();
