#include "core/ElementKinds.h"

namespace pellucor {

// Placeholder table: only code 0 until the element kinds are filled in.
const ElementKind& ElementKindTable(int) {
    static const ElementKind none{' ', "  ", 1.0, "Not used         ", "Not used         "};
    return none;
}

}  // namespace pellucor
