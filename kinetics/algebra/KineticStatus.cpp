#include "kinetics/algebra/KineticStatus.h"

namespace pellucor {

const char* KineticStatusName(KineticStatus status) {
    switch (status) {
        case KineticStatus::Ok: return "ok";
        case KineticStatus::BadOrder: return "order outside the supported range";
        case KineticStatus::NotFinite: return "not a finite number";
        case KineticStatus::Singular: return "singular";
        case KineticStatus::ZeroElement: return "element value of zero";
        case KineticStatus::ComplexPoles: return "complex poles";
        case KineticStatus::RepeatedPoles: return "repeated poles";
        case KineticStatus::ZeroPole: return "pole at zero";
        case KineticStatus::ZeroResidue: return "residue of zero";
        case KineticStatus::NoConvergence: return "no real pole found";
    }
    return "unknown";
}

}  // namespace pellucor
