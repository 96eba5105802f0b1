#pragma once

// Once a block of over 128 KiB has been freed, glibc keeps freed blocks of up to 32 MB in
// its heap instead of giving them back, so a listing of a million names, grown by
// doubling, left the sum of its earlier sizes resident beside it. Called first thing:
// from then on blocks of 256 KiB and more come from the system and go back when freed.
void giveLargeBlocksBackWhenFreed();
