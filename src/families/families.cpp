#include "families/families.h"

#include <array>

#include "families/gen1/first_generation_rows.h"
#include "families/gen2/second_generation_rows.h"
#include "families/gen3/third_generation_rows.h"

namespace kestrane::families {

Families all() {
    static const std::array<const GameFamily*, 3> list = {&secondGenerationFamily(), &firstGenerationFamily(),
                                                          &thirdGenerationFamily()};
    return list;
}

}  // namespace kestrane::families
