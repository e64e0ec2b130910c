#include "platform/platform.h"

#include "support/words.h"

namespace kestrane {

std::string RomSize::cutOffNote() const {
    return "The file is " + groupedNumber(file) + " bytes; its header says " + groupedNumber(header.value_or(0)) +
           ": it may be cut off.";
}

}  // namespace kestrane
