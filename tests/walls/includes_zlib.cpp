// Must not build: the rules include zlib.
#include <zlib.h>
