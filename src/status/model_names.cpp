#include "status/identity.h"

namespace orbus {

const char* const PTModelName[4] = {"ORX-Alpha", "ORX-Gamma", "ORX-Beta", "ORX-Kappa"};

const char* const BlockModelName[27] = {
    "KBM-R01", "KBM-R02", "KBM-R03", "KBM-R04", "KBM-R05", "KBM-R06", "KBM-R07", "KBM-R08", "KBM-R09",
    "KBM-R10", "KBM-R11", "KBM-R12", "KBM-R13", "KBM-R14", "KBM-R15", "KBM-R16", "KBM-R17", "KBM-R18",
    "KBM-R19", "KBM-R20", "KBM-R21", "KBM-R22", "KBM-R23", "KBM-R24", "KBM-R25", "KBM-R26", "KBM-R27"};

}  // namespace orbus
