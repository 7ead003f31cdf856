#pragma once
// One message the window showed, as the window tests record it.
#include <QString>

#include "ui/mainform.h"

namespace zelk::test {

struct TAsked {
    TAskKind Kind;
    QString Caption;
    QString Text;
};

}  // namespace zelk::test
