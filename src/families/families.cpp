#include "families/families.h"

#include <array>

#include "families/gen1/first_generation_rows.h"
#include "families/gen2/second_generation_rows.h"

namespace kestrane::families {

Families all() {
    static const std::array<const GameFamily*, 2> list = {&secondGenerationFamily(), &firstGenerationFamily()};
    return list;
}

}  // namespace kestrane::families
