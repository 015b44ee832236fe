// Must not build: the rules make system calls.
#include <unistd.h>
