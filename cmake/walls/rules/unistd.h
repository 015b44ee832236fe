// The game's rules touch no file, no system call and no platform: this header stands in the
// way of the system's own for the rules' files. The standard library's headers may still use
// the real one, deep down.
#if __INCLUDE_LEVEL__ <= 3
#error "the game's rules use no POSIX call: what they need reaches them through TPlatform"
#else
#include_next <unistd.h>
#endif
