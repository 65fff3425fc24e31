// Messages to the user as MessageBoxW, owned by the thread's active window so that they stay in
// front of it and block it while shown.
#pragma once

#include "platform/Dialogs.h"

namespace korvane::win32 {

class Win32Dialogs final : public Dialogs {
public:
    void showMessage(const std::string& text) override;
    void messageBox(const std::string& text, const std::string& title, MessageIcon icon) override;
    void information(const std::string& text) override;
    bool confirm(const std::string& text) override;
    void error(const std::string& text) override;
};

}  // namespace korvane::win32
