// The game families Kestrane edits, each a folder beside this file: the
// list the front ends pass to every opening. A new family is a folder and
// one line here.
#pragma once

#include "trades/game_family.h"

namespace kestrane::families {

// In the order messages list their games.
Families all();

}  // namespace kestrane::families
