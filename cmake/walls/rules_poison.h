// Included first in every file of the game's rules: the environment and the C library's own
// files are none of their business.
#include <cstdio>
#include <cstdlib>
#pragma GCC poison getenv secure_getenv fopen freopen
