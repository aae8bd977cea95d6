// The computer's local time, through Qt.
#pragma once

#include "core/platform/interfaces.h"

namespace zt {

class QtClock final : public Clock {
public:
    LocalTime now() const override;
};

}  // namespace zt
