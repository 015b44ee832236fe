// Builds: a rule file as the rules are, with the standard library headers they use.
#include <algorithm>
#include <memory>
#include <string>
#include <thread>

#include "core/form1.h"

int Ticks(const TForm1& game) {
    return game.tickCount;
}
