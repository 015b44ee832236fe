// Must not build: the rules open files themselves.
#include <fstream>
