#include "platform/qt/spin_arrows.h"

#include "platform/qt/captions.h"

namespace orbus::qt {

QString spinBoxName(const UpDown& ud) {
    const Control* box = ud.buddy();
    if (!box) box = &ud;
    return q(box->accessibleName().empty() ? box->objectName() : box->accessibleName());
}

}  // namespace orbus::qt
