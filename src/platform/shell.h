// Opens a web address with the desktop's own handler (the browser).
#pragma once

#include "core/platform/interfaces.h"

namespace zt {

class QtShell final : public Shell {
public:
    // The result is not looked at: a desktop without a browser simply shows nothing.
    void openUrl(const std::string& url) override;
};

}  // namespace zt
