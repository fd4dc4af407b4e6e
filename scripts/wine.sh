#!/bin/sh
# Starts Wine's 64-bit loader with address randomization off, as every command here does. Wine 8.0's
# loader lies at 0x7d000000 and the kernel starts its heap anywhere in the gigabyte above; where the heap
# covers 0x7ffe0000, the address every Windows process maps its shared user data at, the process ends
# at once with exit code 1 ("failed to map the shared user data", unseen under WINEDEBUG=-all): one start
# in a few thousand. Unrandomized, the heap starts right after the loader, 48 MB below. Where the system
# refuses to turn randomization off, Wine starts as it is.
loader=/usr/lib/wine/wine64
arch="$(uname -m)"
if setarch "$arch" --addr-no-randomize true 2>/dev/null; then
    exec setarch "$arch" --addr-no-randomize "$loader" "$@"
fi
exec "$loader" "$@"
