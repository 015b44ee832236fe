// The game's rules touch no file, no system call and no platform: this header stands in the
// way of the real one for the rules' files.
#error "the game's rules use no SDL2/SDL_mixer.h: what they need reaches them through TPlatform"
