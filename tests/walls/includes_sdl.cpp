// Must not build: the rules include SDL.
#include <SDL2/SDL.h>
